#include <tuple>

#include <gtest/gtest.h>

#include "tasks/PlotScale.h"

namespace {

const QLocale Us(QLocale::English, QLocale::UnitedStates);
const QLocale Russian(QLocale::Russian, QLocale::Russia);

TEST(PlotScale, TopsOfOneTwoFiveAndTheDecimalsOfTheMiddleTick)
{
    const std::tuple<double, double, int> cases[]{
        {0, 1, 1},    {42, 50, 0},   {50, 50, 0},   {50.1, 100, 0}, {0.4, 0.5, 2},
        {3.5, 5, 1},  {7, 10, 0},    {0.0012, 0.002, 3}, {120, 200, 0}, {1, 1, 1},
    };
    for (const auto& [highest, top, decimals] : cases) {
        const ValueScale scale = valueScale(highest);
        EXPECT_DOUBLE_EQ(scale.top, top) << highest;
        EXPECT_EQ(scale.decimals, decimals) << highest;
    }
}

TEST(PlotScale, TimeAxisEndsOnStepsOfATwentiethOfTheSpan)
{
    const qint64 t = 1714561509000; // 2024-05-01 11:05:09 UTC
    const std::tuple<qint64, qint64, qint64, qint64> cases[]{
        // first, newest, from, to
        {t, t, t, t + 1000},                                 // a single report: one second
        {t, t + 5000, t, t + 6000},                          // steps of a second at least
        {t, t + 60000, t - 4000, t + 61000},                 // a minute: steps of 5 s
        {t, t + 60999, t - 4000, t + 61000},                 // the end stays while it can
        {t, t + 61000, t - 4000, t + 66000},
        {t, t + 3600000, t - 109000, t + 3691000},           // an hour: steps of 200 s
    };
    for (const auto& [first, newest, from, to] : cases) {
        const TimeRange range = timeRange(first, newest);
        EXPECT_EQ(range.from, from) << newest - first;
        EXPECT_EQ(range.to, to) << newest - first;
        EXPECT_LE(range.from, first);
        EXPECT_GT(range.to, newest);
    }
}

TEST(PlotScale, TimeOfDayAndTheDateOnceTheSpanPassesADay)
{
    EXPECT_EQ(plotTimeFormat(60 * 1000, Russian), "HH:mm:ss");
    EXPECT_EQ(plotTimeFormat(25LL * 3600 * 1000, Russian), "dd.MM.yyyy HH:mm:ss");
    EXPECT_EQ(plotTimeFormat(60 * 1000, Us), "h:mm:ss AP");
}

} // namespace
