#include "support/SimFixture.h"

#include "link/DeviceTask.h"
#include "link/ParameterTasks.h"

using Lines = std::vector<std::string>;

namespace {
struct PushCase {
    TaskEvent event;
    Target editor;
    std::vector<std::uint8_t> payload;
    std::string sent;     // the request as it goes on the wire
    Lines log;            // the main window's log afterwards
};

std::vector<std::uint8_t> counting(int count)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 1; i <= count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i));
    return bytes;
}

std::string withCountingPayload(const std::string& header, int count, int zeros = 0)
{
    std::vector<std::uint8_t> bytes = counting(count);
    bytes.resize(bytes.size() + zeros);
    return header + " " + hexBytes(bytes.data(), static_cast<int>(bytes.size()));
}

const std::vector<PushCase> cases{
    {TaskEvent::CodecTest, Target::Codec, {0x08, 0x15}, "03 00 00 00 02 00 1A 00 08 15", {}},
    {TaskEvent::AmplifierTest, Target::Audio, {0x32}, "03 00 00 00 01 00 4B 00 32", {}},
    {TaskEvent::VocoderTest, Target::Vocoder, counting(12),
     withCountingPayload("07 00 00 00 00 00 00 00", 12), {}},
    {TaskEvent::RecorderTest, Target::Recoder, counting(8),
     withCountingPayload("04 00 00 00 00 00 00 00", 8), {}},
    {TaskEvent::NetworkLoad, Target::Net, counting(44),
     withCountingPayload("09 00 00 00 00 00 00 00", 44, 1),
     {"Параметры сетевого подключения загружены."}},
    {TaskEvent::LinkLoad, Target::Link, counting(18),
     withCountingPayload("0A 00 00 00 00 00 00 00", 18), {"Параметры соединения загружены."}},
};
}

class ParameterTasks : public SimFixture {
protected:
    void run(TaskEvent event)
    {
        TDevice device(notifier, clock);
        device.events().set(event);
        device.runPass();
    }
};

TEST_F(ParameterTasks, EachPushSendsExactlyTheEditorsPayload)
{
    for (const PushCase& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = 64;
        notifier.payloads[c.editor] = c.payload;
        run(c.event);
        const auto sent = requests();
        ASSERT_EQ(sent.size(), 3u) << targetName(c.editor);
        EXPECT_EQ(hexBytes(sent[2].bytes.data(), static_cast<int>(sent[2].bytes.size())), c.sent)
            << targetName(c.editor);
        EXPECT_EQ(sent[2].timeout, 1000);
        EXPECT_EQ(notifier.log(), c.log) << targetName(c.editor);
        EXPECT_EQ(notifier.linesFor(c.editor), Lines{targetName(c.editor) + " 9 request"});
    }
}

TEST_F(ParameterTasks, ControllerPartsReceiveWhatWasPushed)
{
    notifier.payloads[Target::Codec] = {0x08, 0x15};
    notifier.payloads[Target::Audio] = {0xD5};
    notifier.payloads[Target::Link] = counting(18);
    run(TaskEvent::CodecTest);
    run(TaskEvent::AmplifierTest);
    run(TaskEvent::LinkLoad);
    const sim::Devices& devices = controller()->devices();
    EXPECT_EQ(devices.codec.writes(), (std::vector<std::pair<int, int>>{{4, 0x15}}));
    EXPECT_EQ(devices.amplifier.commands(), std::vector<std::uint8_t>{0xD5});
    EXPECT_EQ(devices.parameters.block(10), counting(18));
}

TEST_F(ParameterTasks, NoControllerStopsTheEditor)
{
    simulator().clear();
    run(TaskEvent::AmplifierTest);
    EXPECT_EQ(notifier.lines(),
              (Lines{"Device 0 Контроллер не обнаружен на шине USB", "Audio 5 0"}));
}

TEST_F(ParameterTasks, UsbFailureIsLoggedStopsTheEditorAndClosesTheConnection)
{
    controller()->faults.transferResults[4] = -110;
    run(TaskEvent::VocoderTest);
    EXPECT_EQ(notifier.lines(), (Lines{"Vocoder 9 request", "Device 1 -110", "Vocoder 5 0"}));
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

TEST_F(ParameterTasks, PayloadLargerThanTheControllersBufferIsRefused)
{
    controller()->settings.capacity = 44; // the network request needs 45 payload bytes
    run(TaskEvent::NetworkLoad);
    EXPECT_EQ(notifier.lines(), (Lines{"Device 1 -1", "Net 5 0"}));
    EXPECT_EQ(requests().size(), 2u);
}

TEST_F(ParameterTasks, ClosedEditorEndsTheTaskBeforeAnythingIsSent)
{
    notifier.close(Target::Codec);
    run(TaskEvent::CodecTest);
    EXPECT_EQ(requests().size(), 2u);
    EXPECT_TRUE(notifier.lines().empty());
}
