#include "support/SimFixture.h"

#include <condition_variable>

#include "link/DeviceTask.h"

namespace {
// A task table whose tasks only note that they ran, in the order they ran.
struct RunLog {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> ran;

    TaskTable table()
    {
        TaskTable tasks;
        for (int i = 0; i < TaskEventCount; ++i)
            tasks[i] = [this, i](TaskContext&) {
                std::lock_guard lock(mutex);
                ran.push_back(i);
                changed.notify_all();
            };
        return tasks;
    }
    bool waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), [&] { return ran.size() >= count; });
    }
};
}

class DeviceThread : public SimFixture {};

TEST_F(DeviceThread, EachPassSleepsThenRunsOnlyTheLowestEvent)
{
    RunLog runLog;
    TDevice device(notifier, clock, runLog.table());
    device.events().set(TaskEvent::TracePoll);
    device.events().set(TaskEvent::StatisticsReport);
    device.runPass();
    EXPECT_EQ(runLog.ran, std::vector<int>{3});
    device.runPass();
    EXPECT_EQ(runLog.ran, (std::vector<int>{3, 10}));
    device.runPass();
    EXPECT_EQ(runLog.ran, (std::vector<int>{3, 10}));
    EXPECT_EQ(clock.requested(), (std::vector<int>{50, 50, 50}));
}

TEST_F(DeviceThread, NoTaskStartsOnceTerminationIsAsked)
{
    TDevice device(notifier, clock);
    device.events().set(TaskEvent::ConfigRead);
    device.Terminate();
    device.runPass();
    EXPECT_TRUE(simulator().traffic().empty());
}

TEST_F(DeviceThread, EventWithoutTaskDoesNothing)
{
    TDevice device(notifier, clock, TaskTable{});
    device.events().set(TaskEvent::FirmwareLoad);
    device.runPass();
    EXPECT_TRUE(simulator().traffic().empty());
    EXPECT_TRUE(notifier.lines().empty());
}

TEST_F(DeviceThread, ReadRequestWithdrawnBeforeThePollCausesNoTraffic)
{
    TDevice device(notifier, clock);
    device.events().set(TaskEvent::ConfigRead);
    device.events().reset(TaskEvent::ConfigRead);
    device.runPass();
    EXPECT_TRUE(simulator().traffic().empty());
    EXPECT_TRUE(notifier.lines().empty());
}

TEST_F(DeviceThread, WorkerThreadRunsRequestsAndDrainsTheConnectionAtTheEnd)
{
    {
        TDevice device(notifier, clock);
        device.startWorker();
        RunLog done;
        notifier.afterNotify = [&done](const std::string& line) {
            if (line == "Device 8 record") {
                std::lock_guard lock(done.mutex);
                done.ran.push_back(0);
                done.changed.notify_all();
            }
        };
        device.events().set(TaskEvent::ConfigRead);
        ASSERT_TRUE(done.waitFor(1));
        EXPECT_EQ(device.priority(), QThread::LowPriority);
    }
    const auto traffic = simulator().traffic();
    EXPECT_EQ(traffic.back().endpoint, 0x81);
    EXPECT_EQ(traffic.back().timeout, 100);
    EXPECT_EQ(simulator().openHandleCount(), 0);
    EXPECT_EQ(notifier.installedRecords().size(), 1u);
}

TEST_F(DeviceThread, StoppingMidTaskEndsAtTheNextReportOnceTheWindowsAreGone)
{
    controller()->faults.latency = std::chrono::milliseconds(20);
    controller()->settings.capacity = 12;
    {
        TDevice device(notifier, clock);
        device.startWorker();
        RunLog closed;
        // The program closes while the read runs: every window is gone from then on.
        notifier.afterNotify = [this, &closed](const std::string& line) {
            if (line != "Read 7 12")
                return;
            notifier.close(Target::Device);
            notifier.close(Target::Read);
            std::lock_guard lock(closed.mutex);
            closed.ran.push_back(0);
            closed.changed.notify_all();
        };
        device.events().set(TaskEvent::ConfigRead);
        ASSERT_TRUE(closed.waitFor(1));
    }
    EXPECT_EQ(notifier.lines().back(), "Read 7 12");
    EXPECT_TRUE(notifier.installedRecords().empty());
    // One more block was read before the task noticed; then the worker drained and closed.
    EXPECT_EQ(simulator().traffic().size(), 4u + 2 * 2 + 1);
    EXPECT_EQ(simulator().openHandleCount(), 0);
}
