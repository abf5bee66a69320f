#include "support/SimFixture.h"

#include <QLoggingCategory>

#include "link/ConfigTasks.h"
#include "link/DeviceTask.h"
#include "link/Diagnostics.h"
#include "link/Packet.h"

namespace {
using Lines = std::vector<std::string>;

struct LineCase {
    const char* name;
    TransferDirection direction;
    int endpoint;
    std::vector<std::uint8_t> bytes;
    int length;
    int result;
    std::string line;
};

class TransferLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(TransferLine, ShowsDirectionEndpointLengthResultAndBytes)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(transferLine(c.direction, c.endpoint, c.length, c.result, c.bytes.data()).toStdString(),
              c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Diagnostics, TransferLine,
    ::testing::Values(
        LineCase{"Probe", TransferDirection::Out, 1, {0, 0, 0, 0x40}, 4, 4,
                 "OUT 0x01 length 4 result 4 data 00 00 00 40"},
        LineCase{"ProbeReply", TransferDirection::In, 0x81, {0, 0, 0x40, 0}, 4, 4,
                 "IN  0x81 length 4 result 4 data 00 00 40 00"},
        LineCase{"ShortReplyShowsOnlyWhatCame", TransferDirection::In, 0x81, {0xAB, 0xCD, 0xEF}, 72, 2,
                 "IN  0x81 length 72 result 2 data AB CD"},
        LineCase{"TimedOutReadShowsNoBytes", TransferDirection::In, 0x81, {1, 2}, 72, -110,
                 "IN  0x81 length 72 result -110"},
        LineCase{"FailedWriteShowsWhatWasOffered", TransferDirection::Out, 1, {0x03, 0x00}, 2, -19,
                 "OUT 0x01 length 2 result -19 data 03 00"},
        LineCase{"BootStream", TransferDirection::Out, 6, {0xFF, 0x0A}, 2, 2,
                 "OUT 0x06 length 2 result 2 data FF 0A"},
        LineCase{"EmptyRead", TransferDirection::In, 0x81, {}, 72, 0, "IN  0x81 length 72 result 0"}),
    [](const auto& info) { return std::string(info.param.name); });

// Collects the messages of the terminal's categories, from any thread.
class CapturedLog {
public:
    explicit CapturedLog(const char* rules)
    {
        QLoggingCategory::setFilterRules(QString::fromLatin1(rules));
        current_ = this;
        previous_ = qInstallMessageHandler(&CapturedLog::handle);
    }
    ~CapturedLog()
    {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
        QLoggingCategory::setFilterRules({});
    }
    Lines of(const std::string& category) const
    {
        std::lock_guard lock(mutex_);
        Lines out;
        for (const auto& [name, text] : lines_)
            if (name == category)
                out.push_back(text);
        return out;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        std::lock_guard lock(current_->mutex_);
        current_->lines_.emplace_back(context.category ? context.category : "", message.toStdString());
    }

    static inline CapturedLog* current_ = nullptr;
    QtMessageHandler previous_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::string>> lines_;
};
}

class UsbDiagnostics : public SimFixture {};

TEST_F(UsbDiagnostics, AreSilentUnlessSwitchedOn)
{
    CapturedLog log("");
    EXPECT_FALSE(usbLog().isDebugEnabled());
    EXPECT_FALSE(taskLog().isDebugEnabled());
    ASSERT_TRUE(context().connect(Usb::NormalConfiguration));
    EXPECT_TRUE(log.of("r4xx.usb").empty());
}

TEST_F(UsbDiagnostics, EveryTransferOfAConnectionIsPrinted)
{
    CapturedLog log("r4xx.usb.debug=true");
    ASSERT_TRUE(context().connect(Usb::NormalConfiguration));
    EXPECT_EQ(log.of("r4xx.usb"),
              (Lines{"configuration 2 result 0", "claim interface 0 result 0",
                     "OUT 0x01 length 4 result 4 data 00 00 00 40",
                     "IN  0x81 length 4 result 4 data 00 00 40 00",
                     "OUT 0x01 length 8 result 8 data 01 00 00 00 00 00 00 00",
                     "IN  0x81 length 72 result 20 data 01 00 00 00 00 00 00 00 20 00 00 01 23 45 "
                     "00 AB 0C 00 00 05"}));
    EXPECT_EQ(simulator().traffic().size(), 4u);
}

TEST_F(UsbDiagnostics, TaskTransfersAndTheDrainArePrintedToo)
{
    ASSERT_TRUE(context().connect(Usb::NormalConfiguration));
    CapturedLog log("r4xx.usb.debug=true");
    simulator().clearTraffic();
    TaskContext task = context();
    readConfiguration(task);
    connection->drainAndClose();
    const auto traffic = simulator().traffic();
    const Lines lines = log.of("r4xx.usb");
    Lines transfers;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(transfers),
                 [](const std::string& line) { return line.rfind("OUT", 0) == 0 || line.rfind("IN", 0) == 0; });
    ASSERT_EQ(transfers.size(), traffic.size());
    EXPECT_EQ(transfers.back(), "IN  0x81 length 72 result -110");
    EXPECT_EQ(traffic.back().result, -110);
}

TEST_F(UsbDiagnostics, TasksShowTheirStartTheirEndAndAWindowThatWentAway)
{
    CapturedLog log("r4xx.tasks.debug=true");
    TDevice device(notifier, clock);
    device.events().set(TaskEvent::ConfigRead);
    device.runPass();
    notifier.close(Target::Save);
    device.events().set(TaskEvent::ConfigWrite);
    device.runPass();
    EXPECT_EQ(log.of("r4xx.tasks"),
              (Lines{"begins ConfigRead", "ends ConfigRead connection open", "begins ConfigWrite",
                     "window TFSave is gone: the task ends", "ends ConfigWrite connection open"}));
    EXPECT_TRUE(log.of("r4xx.usb").empty());
}
