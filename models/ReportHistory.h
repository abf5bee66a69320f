#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include "models/ReportTexts.h"

// The figures of each report that the statistics window plots and exports.
enum class PlotQuantity {
    Load,
    LostFrames,
    ControlErrors,
    Jitter,
};
inline constexpr int PlotQuantityCount = 4;

struct PlotQuantityInfo {
    QString title;  // of its plot
    QString column; // of its column in the CSV file
    int precision;  // the fixed format of its window field
    int digits;
};
const PlotQuantityInfo& plotQuantity(PlotQuantity quantity);

struct ReportSample {
    QDateTime time;
    std::array<float, PlotQuantityCount> values;

    float value(PlotQuantity quantity) const { return values[static_cast<int>(quantity)]; }
};

// The plotted figures of one report, as the window computes them for its fields.
ReportSample reportSample(const ReportCounters& counters, const QDateTime& time);

// Every report since the window opened, up to a bound: a window left open for days keeps the
// newest samples only.
class ReportHistory {
public:
    // A day of reports at one a second.
    static constexpr std::size_t DefaultCapacity = 24 * 60 * 60;

    explicit ReportHistory(std::size_t capacity = DefaultCapacity);

    void add(const ReportSample& sample);
    const std::deque<ReportSample>& samples() const { return samples_; }
    // Samples are numbered from 0 in the order they came.
    std::uint64_t firstSerial() const { return nextSerial_ - samples_.size(); }
    std::uint64_t lastSerial() const { return nextSerial_ - 1; }

private:
    std::size_t capacity_;
    std::deque<ReportSample> samples_;
    std::uint64_t nextSerial_ = 0;
};

// The samples as CSV: UTF-8, a header line, one row per report with its time in ISO 8601 (with
// the offset from UTC) and the figures with a decimal point, lines ended by CR LF.
QByteArray historyCsv(const std::deque<ReportSample>& samples);
