#include <gtest/gtest.h>

#include "sim/TraceQueues.h"

using Bytes = std::vector<std::uint8_t>;
using sim::TraceChannel;
using sim::TraceQueues;

namespace {

// Live traffic on a clock the test moves.
class LiveTraffic : public ::testing::Test {
protected:
    LiveTraffic()
    {
        queues.setTimeSource([this] { return now; });
    }
    void advance(std::chrono::microseconds span) { now += span; }
    std::vector<Bytes> drain()
    {
        std::vector<Bytes> records;
        for (Bytes record = queues.fetch(); !record.empty(); record = queues.fetch())
            records.push_back(record);
        return records;
    }

    std::chrono::steady_clock::time_point now{};
    TraceQueues queues;
};

TEST(TraceQueues, RecordsOnlyTheSelectedChannelsWithTheirKind)
{
    TraceQueues queues;
    queues.setLiveRate(0);
    queues.pass(TraceChannel::LinkRx, {0x01});
    queues.select(0x0A); // bus transmit and link transmit
    queues.pass(TraceChannel::BusRx, {0x02});
    queues.pass(TraceChannel::BusTx, {0x34, 0x0C, 0x22});
    queues.pass(TraceChannel::LinkRx, {0x03});
    queues.pass(TraceChannel::LinkTx, {0x81, 0x07});
    EXPECT_EQ(queues.fetch(), (Bytes{0x00, 0x01, 0x03, 0x34, 0x0C, 0x22}))
        << "a bus-transmit record has one byte before its data";
    EXPECT_EQ(queues.fetch(), (Bytes{0x00, 0x03, 0x81, 0x07}));
    EXPECT_EQ(queues.fetch(), Bytes{});
    EXPECT_EQ(queues.selections(), std::vector<std::uint16_t>{0x0A});
}

TEST(TraceQueues, QueuedRecordsComeFirstExactlyAsGiven)
{
    TraceQueues queues;
    queues.setLiveRate(0);
    queues.select(0x01);
    queues.pass(TraceChannel::BusRx, {0x55});
    queues.queueRecord({0x00});
    queues.queueRecord({});
    queues.queueRecord({0x00, 0x07, 0xFF});
    EXPECT_EQ(queues.pending(), 4u);
    EXPECT_EQ(queues.fetch(), Bytes{0x00});
    EXPECT_EQ(queues.fetch(), Bytes{});
    EXPECT_EQ(queues.fetch(), (Bytes{0x00, 0x07, 0xFF}));
    EXPECT_EQ(queues.fetch(), (Bytes{0x00, 0x00, 0x55}));
    EXPECT_EQ(queues.pending(), 0u);
}

TEST(TraceQueues, FullRecorderLosesItsOldestRecord)
{
    TraceQueues queues;
    queues.setLiveRate(0);
    queues.select(0x04);
    for (std::size_t i = 0; i <= TraceQueues::Capacity; ++i)
        queues.pass(TraceChannel::LinkRx, {static_cast<std::uint8_t>(i)});
    EXPECT_EQ(queues.pending(), TraceQueues::Capacity);
    EXPECT_EQ(queues.fetch(), (Bytes{0x00, 0x02, 0x01}));
}

TEST_F(LiveTraffic, RateMakesFramesForTheTimePassed)
{
    queues.setLiveRate(2000);
    queues.select(0x0F);
    advance(std::chrono::milliseconds(100));
    const std::vector<Bytes> records = drain();
    EXPECT_EQ(records.size(), 200u);
    int kinds[4] = {};
    for (const Bytes& record : records) {
        ASSERT_GE(record.size(), 3u);
        ASSERT_EQ(record[0], 0x00);
        ASSERT_LT(record[1], 4);
        ++kinds[record[1]];
        EXPECT_LE(record.size(), 64u) << "fits the smallest usual payload";
    }
    for (int kind = 0; kind < 4; ++kind)
        EXPECT_GT(kinds[kind], 20) << "every channel carries traffic: " << kind;

    advance(std::chrono::microseconds(250)); // half a frame, carried over
    EXPECT_TRUE(drain().empty());
    advance(std::chrono::microseconds(250));
    EXPECT_EQ(drain().size(), 1u);
}

TEST_F(LiveTraffic, UnselectedTrafficPassesUnrecordedAndRateZeroStopsIt)
{
    queues.setLiveRate(1000);
    advance(std::chrono::milliseconds(50));
    EXPECT_TRUE(drain().empty());
    advance(std::chrono::seconds(5));
    queues.select(0x04);
    EXPECT_EQ(queues.pending(), 0u) << "traffic before the selection was not recorded";
    advance(std::chrono::milliseconds(100));
    const std::vector<Bytes> records = drain();
    ASSERT_FALSE(records.empty());
    for (const Bytes& record : records)
        EXPECT_EQ(record[1], 0x02);

    queues.setLiveRate(0);
    advance(std::chrono::seconds(10));
    EXPECT_TRUE(drain().empty());
}

TEST_F(LiveTraffic, LongPauseFillsTheRecorderAtMost)
{
    queues.setLiveRate(1'000'000);
    queues.select(0x0F);
    advance(std::chrono::hours(24 * 365));
    EXPECT_EQ(drain().size(), TraceQueues::Capacity);
}

} // namespace
