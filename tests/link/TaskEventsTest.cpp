#include <gtest/gtest.h>

#include <thread>

#include "link/TaskEvents.h"

TEST(TaskEvents, PollReturnsTheLowestSetEventAndClearsOnlyIt)
{
    TaskEvents events;
    events.set(TaskEvent::TracePoll);
    events.set(TaskEvent::StatisticsReport);
    EXPECT_EQ(events.poll(), TaskEvent::StatisticsReport);
    EXPECT_EQ(events.poll(), TaskEvent::TracePoll);
    EXPECT_EQ(events.poll(), std::nullopt);
}

TEST(TaskEvents, NetworkLoadComesBeforeLinkLoad)
{
    TaskEvents events;
    events.set(TaskEvent::LinkLoad);
    events.set(TaskEvent::NetworkLoad);
    EXPECT_EQ(events.poll(), TaskEvent::NetworkLoad);
    EXPECT_EQ(events.poll(), TaskEvent::LinkLoad);
}

TEST(TaskEvents, RepeatedSetsRunOnceAndResetWithdrawsTheRequest)
{
    TaskEvents events;
    events.set(TaskEvent::ConfigRead);
    events.set(TaskEvent::ConfigRead);
    EXPECT_EQ(events.poll(), TaskEvent::ConfigRead);
    EXPECT_EQ(events.poll(), std::nullopt);

    events.set(TaskEvent::ConfigWrite);
    events.reset(TaskEvent::ConfigWrite);
    EXPECT_FALSE(events.isSet(TaskEvent::ConfigWrite));
    EXPECT_EQ(events.poll(), std::nullopt);
}

TEST(TaskEvents, EverySetFromAnotherThreadIsPolledExactlyOnce)
{
    TaskEvents events;
    std::array<int, 13> seen{};
    std::thread setter([&events] {
        for (int round = 0; round < 2000; ++round)
            events.set(static_cast<TaskEvent>(round % 13));
    });
    for (int i = 0; i < 200000; ++i)
        if (const auto event = events.poll())
            ++seen[static_cast<int>(*event)];
    setter.join();
    while (const auto event = events.poll())
        ++seen[static_cast<int>(*event)];
    for (int count : seen) {
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 2000 / 13 + 1);
    }
}
