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

// A window that remembers each notification and the thread it arrived on.
class RecordingWindow : public QWidget, public NotifiedWindow {
public:
    void OnDeviceMessage(int code, NotifyValue value) override
    {
        codes.push_back(code);
        values.push_back(value);
        onUiThread = QThread::currentThread() == qApp->thread();
    }
    std::vector<int> codes;
    std::vector<NotifyValue> values;
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
    EXPECT_TRUE(fromWorker([&] { return bridge.notify(Target::Read, NotifyCode::Size, 200); }));
    EXPECT_EQ(window.codes, std::vector<int>{NotifyCode::Size});
    EXPECT_EQ(window.values, std::vector<NotifyValue>{200});
    EXPECT_TRUE(window.onUiThread);
}

TEST_F(Bridge, AnswersGoneForAWindowThatIsNotThere)
{
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Save, NotifyCode::Size, 1); }));
    EXPECT_FALSE(fromWorker([&] { return bridge.requestClose(Target::Save); }));

    registry.enrol(Target::Save, window, window);
    registry.withdraw(Target::Save, window);
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Save, NotifyCode::Size, 1); }));
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
        return bridge.notify(Target::Device, NotifyCode::Error, -1);
    });
    // The event loop does not run here, as after the main window closed; the call stays queued.
    while (!waiting)
        std::this_thread::yield();
    bridge.close();
    EXPECT_FALSE(answer.get());

    QCoreApplication::processEvents();
    EXPECT_TRUE(window.codes.empty()) << "a call queued before close() must not run after it";
    EXPECT_FALSE(bridge.notify(Target::Device, NotifyCode::Error, -1));
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Device, NotifyCode::Error, -1); }));
}

TEST_F(Bridge, FindsAWindowDestroyedWithoutClosingGone)
{
    auto* doomed = new RecordingWindow;
    registry.enrol(Target::Trace, *doomed, *doomed);
    delete doomed;
    EXPECT_FALSE(fromWorker([&] { return bridge.notify(Target::Trace, NotifyCode::Text, 0); }));
}

} // namespace
