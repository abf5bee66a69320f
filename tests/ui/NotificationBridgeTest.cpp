#include "ui/NotificationBridge.h"

#include <atomic>
#include <future>
#include <thread>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include "ui/WindowRegistry.h"

namespace {

// A window that remembers each report and the thread it arrived on, and answers requests with
// its channel mask.
class RecordingWindow : public QWidget, public NotifiedWindow {
public:
    void OnDeviceMessage(const TaskReport& report) override
    {
        codes.push_back(reportCode(report));
        if (const auto* size = std::get_if<Report::Size>(&report))
            sizes.push_back(size->maximum);
        onUiThread = QThread::currentThread() == qApp->thread();
    }
    TaskInput OnDeviceRequest(const TaskRequest& wanted) override
    {
        onUiThread = QThread::currentThread() == qApp->thread();
        if (std::holds_alternative<Ask::ChannelMask>(wanted))
            return Ask::ChannelMask::Mask{0x0005};
        return emptyInput(wanted);
    }
    std::vector<int> codes;
    std::vector<std::int64_t> sizes;
    bool onUiThread = false;
};

// Runs the call on a worker thread and turns the event loop until it returns.
bool fromWorker(std::function<bool()> call)
{
    auto answer = std::async(std::launch::async, std::move(call));
    const bool done = QTest::qWaitFor([&] {
        return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }, 10000);
    EXPECT_TRUE(done) << "the worker's call was never handled";
    return done && answer.get();
}

class Bridge : public ::testing::Test {
protected:
    WindowRegistry registry;
    NotificationBridge bridge{registry};
    RecordingWindow window;
};

TEST_F(Bridge, DeliversOnTheUserInterfaceThreadWhileTheWorkerWaits)
{
    registry.enrol(Target::Read, window, window);
    EXPECT_TRUE(fromWorker([&] { return bridge.notify(Target::Read, Report::Size{200}); }));
    EXPECT_EQ(window.codes, std::vector<int>{Report::Size::code});
    EXPECT_EQ(window.sizes, std::vector<std::int64_t>{200});
    EXPECT_TRUE(window.onUiThread);
}

TEST_F(Bridge, RequestBringsTheWindowsOwnAnswerToTheWorker)
{
    registry.enrol(Target::Trace, window, window);
    std::optional<TaskInput> mask;
    std::optional<TaskInput> payload;
    EXPECT_TRUE(fromWorker([&] {
        mask = bridge.request(Target::Trace, Ask::ChannelMask{});
        payload = bridge.request(Target::Trace, Ask::Payload{3});
        return true;
    }));
    EXPECT_TRUE(window.onUiThread);
    ASSERT_TRUE(mask);
    EXPECT_EQ(std::get<Ask::ChannelMask::Mask>(*mask).mask, 0x0005);
    ASSERT_TRUE(payload);
    EXPECT_EQ(std::get<Ask::Payload::Bytes>(*payload).bytes, (std::vector<std::uint8_t>{0, 0, 0}))
        << "a window with nothing to give answers zeros of the size asked";

    registry.withdraw(Target::Trace, window);
    EXPECT_TRUE(fromWorker([&] { return !bridge.request(Target::Trace, Ask::ChannelMask{}); }));
}

TEST_F(Bridge, AnswersGoneForAWindowThatIsNotThere)
{
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Save, Report::Size{1}); }));
    EXPECT_FALSE(fromWorker([&] { return bridge.requestClose(Target::Save); }));

    registry.enrol(Target::Save, window, window);
    registry.withdraw(Target::Save, window);
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Save, Report::Size{1}); }));
    EXPECT_TRUE(window.codes.empty());
}

TEST_F(Bridge, RequestCloseClosesTheWindow)
{
    window.show();
    registry.enrol(Target::Read, window, window);
    EXPECT_TRUE(fromWorker([&] { return bridge.requestClose(Target::Read); }));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Bridge, CloseReleasesAWaitingWorkerAndDropsItsCall)
{
    registry.enrol(Target::Device, window, window);
    std::atomic<bool> waiting{false};
    auto answer = std::async(std::launch::async, [&] {
        waiting = true;
        return bridge.notify(Target::Device, Report::UsbFailure{-1});
    });
    // The event loop does not run here, as after the main window closed; the call stays queued.
    while (!waiting)
        std::this_thread::yield();
    bridge.close();
    EXPECT_FALSE(answer.get());

    QCoreApplication::processEvents();
    EXPECT_TRUE(window.codes.empty()) << "a call queued before close() must not run after it";
    EXPECT_FALSE(bridge.notify(Target::Device, Report::UsbFailure{-1}));
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Device, Report::UsbFailure{-1}); }));
}

TEST_F(Bridge, FindsAWindowDestroyedWithoutClosingGone)
{
    auto* doomed = new RecordingWindow;
    registry.enrol(Target::Trace, *doomed, *doomed);
    delete doomed;
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Trace, Report::TraceLines{}); }));
}

} // namespace
