#pragma once

#include <cstdint>
#include <vector>

#include <QWidget>

#include "models/ReportHistory.h"
#include "tasks/PlotEnvelope.h"
#include "tasks/PlotScale.h"

class QChart;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

// The page "График": one small plot per figure against the time of the reports, each with its
// own scale, the time axis running from the first kept report to just past the newest.
class ReportPlot : public QWidget {
public:
    // Buckets per line at most; with two points each, a line has about one point for each
    // pixel of a plot's width, and redrawing it stays cheap.
    static constexpr int MaxBuckets = 75;

    explicit ReportPlot(QWidget* parent = nullptr);

    // A report came: `serial` is its number in the history, `firstKept` the number of the oldest
    // report the history still holds. Cheap; the lines change only on redraw().
    void add(std::uint64_t serial, const ReportSample& sample, std::uint64_t firstKept);
    void redraw();

private:
    struct Panel {
        QChart* chart;
        QLineSeries* line;
        QDateTimeAxis* time;
        QValueAxis* values;
        PlotEnvelope envelope;
    };
    Panel makePanel(PlotQuantity quantity);
    void redraw(Panel& panel, const QList<QPointF>& points, const TimeRange& range);

    std::vector<Panel> panels_;
    qint64 newest_ = 0;
};
