#include <gtest/gtest.h>

#include "sim/StatisticsCounters.h"

namespace {

using Values = sim::StatisticsCounters::Values;
using namespace std::chrono_literals;

constexpr std::uint16_t R420 = 0x2000;
constexpr std::uint16_t R410 = 0x1000;
constexpr double Whole = 2147483648.0; // a share of 2^31 is the whole report period

Values decoded(const std::vector<std::uint8_t>& record)
{
    Values values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = (std::uint32_t{record[4 * i]} << 24) | (std::uint32_t{record[4 * i + 1]} << 16)
            | (std::uint32_t{record[4 * i + 2]} << 8) | record[4 * i + 3];
    return values;
}

// A controller's counters on a clock the test moves.
class StatisticsCounters : public ::testing::Test {
protected:
    Values report(std::chrono::seconds later, std::uint16_t typeWord = R420)
    {
        now += later;
        const std::vector<std::uint8_t> record = counters.answer(1, typeWord);
        EXPECT_EQ(record.size(), 76u);
        EXPECT_EQ(decoded(record), counters.lastAnswer()) << "most significant byte first";
        return decoded(record);
    }

    std::chrono::steady_clock::time_point now{};
    sim::StatisticsCounters counters{[this] { return now; }};
};

TEST_F(StatisticsCounters, TrafficOfARunningCallOverAMinute)
{
    const Values v = report(60s);
    EXPECT_EQ(v[0], 60u) << "seconds of collection";
    EXPECT_NEAR(v[10], 3000, 1) << "audio packets sent: 50 a second";
    EXPECT_NEAR(v[12] + v[14], 3000, 2) << "audio packets received or lost";
    EXPECT_GT(v[11], v[10] * 20) << "audio bytes";
    EXPECT_GT(v[13], v[12] * 20);
    EXPECT_NEAR(v[3], 240, 30) << "control packets sent";
    EXPECT_NEAR(v[6], 240, 30) << "control packets received";
    EXPECT_GT(v[4], v[3] * 40) << "control bytes";
    EXPECT_GT(v[7], v[6] * 40);
    EXPECT_LE(v[5], v[3]) << "retransmissions";
    EXPECT_LE(v[8], v[6]) << "erroneous packets";
    EXPECT_LT(v[1], 20u) << "blocked packets";
    EXPECT_LT(v[9], Whole * 0.2);
    EXPECT_LT(v[15], Whole * 0.05);
    EXPECT_GT(v[17], 0.15 * 65536) << "load";
    EXPECT_LT(v[17], 0.95 * 65536);
    EXPECT_GE(v[16], 0.0005 * 65536 - 1) << "jitter, 16.16 seconds";
    EXPECT_LE(v[16], 0.02 * 65536 + 1);
    EXPECT_GE(v[2], 0.03 * 65536 - 1) << "R-420 mean delay, 16.16 seconds";
    EXPECT_LE(v[2], 0.15 * 65536 + 1);
    EXPECT_GE(v[18], 2000u) << "mean frame delay, hundredths of a millisecond";
    EXPECT_LE(v[18], 8000u);
}

TEST_F(StatisticsCounters, CountersGrowAndTheFiguresMove)
{
    Values previous = report(1s);
    bool loadMoved = false;
    bool jitterMoved = false;
    bool lossSeen = false;
    for (int second = 2; second <= 120; ++second) {
        const Values v = report(1s);
        EXPECT_EQ(v[0], static_cast<std::uint32_t>(second));
        for (int count : {1, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14})
            EXPECT_GE(v[count], previous[count]) << count << " at " << second;
        EXPECT_GT(v[10], previous[10]);
        loadMoved = loadMoved || v[17] != previous[17];
        jitterMoved = jitterMoved || v[16] != previous[16];
        lossSeen = lossSeen || v[15] > 0;
        previous = v;
    }
    EXPECT_TRUE(loadMoved);
    EXPECT_TRUE(jitterMoved);
    EXPECT_TRUE(lossSeen);
}

TEST_F(StatisticsCounters, ActivityScalesTheTrafficFromNowOn)
{
    counters.setActivity(0);
    const Values idle = report(60s);
    EXPECT_EQ(idle[0], 60u) << "the collection time runs on";
    for (int count : {1, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14})
        EXPECT_EQ(idle[count], 0u) << count << ": a controller at rest carries nothing";

    counters.setActivity(300);
    const Values busy = report(60s);
    EXPECT_NEAR(busy[10], 9000, 1) << "three calls: 150 audio packets a second";
    EXPECT_NEAR(busy[3], 720, 90);

    counters.setActivity(5000);
    const Values capped = report(1s);
    EXPECT_NEAR(capped[10] - busy[10], 500, 1) << "at most ten calls";
}

TEST_F(StatisticsCounters, ResetStartsAgainAndAnswersTheFreshCounters)
{
    report(100s);
    now += 3s;
    const Values fresh = decoded(counters.answer(0, R420));
    EXPECT_EQ(fresh, counters.lastAnswer());
    for (int count = 0; count <= 15; ++count) {
        if (count != 2) {
            EXPECT_EQ(fresh[count], 0u) << count;
        }
    }
    EXPECT_GT(fresh[17], 0u) << "the load stays";
    const Values after = report(10s);
    EXPECT_EQ(after[0], 10u);
    EXPECT_NEAR(after[10], 500, 1);
}

TEST_F(StatisticsCounters, R410ReportsItsSynchronisationFrequency)
{
    const Values v = report(30s, R410);
    EXPECT_GE(v[2], 7990u);
    EXPECT_LE(v[2], 8010u);
}

} // namespace
