#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "tasks/PlotEnvelope.h"

namespace {

std::vector<double> valuesOf(const QList<QPointF>& points)
{
    std::vector<double> values;
    for (const QPointF& point : points)
        values.push_back(point.y());
    return values;
}

TEST(PlotEnvelope, EverySampleIsAPointUntilTheBound)
{
    PlotEnvelope envelope(4);
    for (int i = 0; i < 4; ++i)
        envelope.add(i, 1000.0 * i, i * i);
    EXPECT_EQ(envelope.points(),
              (QList<QPointF>{{0, 0}, {1000, 1}, {2000, 4}, {3000, 9}}));
    EXPECT_EQ(envelope.highest(), 9);
}

// Past the bound, each bucket keeps its lowest and highest sample in time order: spikes and
// dips stay visible and the line never runs backwards in time.
TEST(PlotEnvelope, PastTheBoundPointsStayBoundedAndKeepTheExtremes)
{
    PlotEnvelope envelope(8);
    const int count = 1000;
    for (int i = 0; i < count; ++i) {
        const double value = i == 500 ? 99.0 : i == 777 ? -5.0 : (i % 7);
        envelope.add(static_cast<std::uint64_t>(i), i, value);
    }
    const QList<QPointF> points = envelope.points();
    EXPECT_LE(points.size(), 16);
    EXPECT_GE(points.size(), 8);
    const std::vector<double> values = valuesOf(points);
    EXPECT_EQ(*std::max_element(values.begin(), values.end()), 99.0);
    EXPECT_EQ(*std::min_element(values.begin(), values.end()), -5.0);
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
    EXPECT_TRUE(points.contains(QPointF(500, 99.0)));
    EXPECT_TRUE(points.contains(QPointF(777, -5.0)));
    EXPECT_EQ(envelope.highest(), 99.0);
}

TEST(PlotEnvelope, DroppedSamplesLeaveThePlot)
{
    PlotEnvelope envelope(4);
    for (int i = 0; i < 4; ++i)
        envelope.add(i, i, 10 - i);
    envelope.dropBefore(2);
    EXPECT_EQ(envelope.points(), (QList<QPointF>{{2, 8}, {3, 7}}));
    EXPECT_EQ(envelope.highest(), 8);
    envelope.dropBefore(10);
    EXPECT_TRUE(envelope.empty());
    EXPECT_EQ(envelope.highest(), 0);
}

} // namespace
