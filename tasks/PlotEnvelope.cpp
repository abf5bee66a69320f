#include "tasks/PlotEnvelope.h"

#include <algorithm>

PlotEnvelope::PlotEnvelope(int maxBuckets)
    : maxBuckets_(std::max(maxBuckets, 2))
{
}

void PlotEnvelope::add(std::uint64_t serial, double x, double y)
{
    const QPointF point(x, y);
    if (buckets_.empty() || serial >= buckets_.back().first + stride_) {
        buckets_.push_back({serial - serial % stride_, point, point});
        if (static_cast<int>(buckets_.size()) > maxBuckets_)
            mergePairs();
        return;
    }
    Bucket& last = buckets_.back();
    if (y < last.low.y())
        last.low = point;
    if (y > last.high.y())
        last.high = point;
}

void PlotEnvelope::mergePairs()
{
    stride_ *= 2;
    std::deque<Bucket> merged;
    for (const Bucket& bucket : buckets_) {
        const std::uint64_t first = bucket.first - bucket.first % stride_;
        if (merged.empty() || merged.back().first != first) {
            merged.push_back({first, bucket.low, bucket.high});
            continue;
        }
        Bucket& into = merged.back();
        if (bucket.low.y() < into.low.y())
            into.low = bucket.low;
        if (bucket.high.y() > into.high.y())
            into.high = bucket.high;
    }
    buckets_ = std::move(merged);
}

void PlotEnvelope::dropBefore(std::uint64_t serial)
{
    while (!buckets_.empty() && buckets_.front().first < serial)
        buckets_.pop_front();
}

QList<QPointF> PlotEnvelope::points() const
{
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(2 * buckets_.size()));
    for (const Bucket& bucket : buckets_) {
        const bool lowFirst = bucket.low.x() <= bucket.high.x();
        points.append(lowFirst ? bucket.low : bucket.high);
        if (bucket.low != bucket.high)
            points.append(lowFirst ? bucket.high : bucket.low);
    }
    return points;
}

double PlotEnvelope::highest() const
{
    double highest = 0;
    for (const Bucket& bucket : buckets_)
        highest = std::max(highest, bucket.high.y());
    return highest;
}
