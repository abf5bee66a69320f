#pragma once

#include <cstdint>
#include <deque>

#include <QList>
#include <QPointF>

// The points of a line plot that may hold a great many samples. Samples are numbered in the
// order they came; consecutive samples share a bucket, and each bucket gives its lowest and its
// highest sample in time order, so the line drawn through the points has the shape the line
// through every sample would have, at a bounded number of points. A bucket holds one sample
// until there are more buckets than the bound; then each pair of buckets becomes one.
class PlotEnvelope {
public:
    explicit PlotEnvelope(int maxBuckets);

    // Sample `serial` (one more than the last) at time x with value y.
    void add(std::uint64_t serial, double x, double y);
    // Forgets every bucket that holds a sample numbered below `serial`.
    void dropBefore(std::uint64_t serial);

    QList<QPointF> points() const;
    // The highest value held, 0 when empty.
    double highest() const;
    bool empty() const { return buckets_.empty(); }

private:
    struct Bucket {
        std::uint64_t first; // serial of the bucket's first place
        QPointF low;
        QPointF high;
    };
    void mergePairs();

    int maxBuckets_;
    std::uint64_t stride_ = 1;
    std::deque<Bucket> buckets_;
};
