#include "tasks/ReportPlot.h"

#include <array>

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QGridLayout>
#include <QLineSeries>
#include <QValueAxis>

#include "tasks/PlotScale.h"

namespace {
constexpr int Columns = 2;
constexpr int TimeTicks = 3;
constexpr int ValueTicks = 3;
constexpr QSize PanelMinimum{230, 150};

QColor lineColour(PlotQuantity quantity)
{
    static const std::array<QColor, PlotQuantityCount> colours{
        QColor(0x1F, 0x5F, 0xB4), QColor(0xC6, 0x28, 0x28), QColor(0xE0, 0x7B, 0x00),
        QColor(0x2E, 0x8B, 0x3A)};
    return colours[static_cast<int>(quantity)];
}

QPen hairline(QPen pen)
{
    pen.setWidth(0);
    return pen;
}

QFont smaller(QFont font, int points)
{
    font.setPointSize(points);
    return font;
}

QChart* smallChart(const QString& title, const QFont& font)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(smaller(font, 8));
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    return chart;
}

// Hairlines: a line item of width 0 finds its bounds without stroking its shape, which is what
// a repaint asks of every line of an axis.
void useSmallLabelsAndHairlines(QAbstractAxis& axis, const QFont& font)
{
    axis.setLabelsFont(smaller(font, 7));
    axis.setLinePen(hairline(axis.linePen()));
    axis.setGridLinePen(hairline(axis.gridLinePen()));
}
}

ReportPlot::ReportPlot(QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    panels_.reserve(PlotQuantityCount);
    for (int q = 0; q < PlotQuantityCount; ++q) {
        panels_.push_back(makePanel(static_cast<PlotQuantity>(q)));
        auto* view = new QChartView(panels_.back().chart, this);
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(PanelMinimum);
        grid->addWidget(view, q / Columns, q % Columns);
    }
}

ReportPlot::Panel ReportPlot::makePanel(PlotQuantity quantity)
{
    QChart* chart = smallChart(plotQuantity(quantity).title, font());
    auto* line = new QLineSeries(chart);
    // A thin line of its own colour: the plots tell apart at a glance, and a one-pixel line
    // is drawn without stroking.
    line->setPen(QPen(lineColour(quantity), 1));
    chart->addSeries(line);
    auto* time = new QDateTimeAxis(chart);
    time->setTickCount(TimeTicks);
    time->setGridLineVisible(false);
    auto* values = new QValueAxis(chart);
    values->setTickCount(ValueTicks);
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(time), static_cast<QAbstractAxis*>(values)})
        useSmallLabelsAndHairlines(*axis, font());
    line->attachAxis(time);
    line->attachAxis(values);
    return {chart, line, time, values, PlotEnvelope(MaxBuckets)};
}

void ReportPlot::add(std::uint64_t serial, const ReportSample& sample, std::uint64_t firstKept)
{
    newest_ = sample.time.toMSecsSinceEpoch();
    for (int q = 0; q < PlotQuantityCount; ++q) {
        PlotEnvelope& envelope = panels_[q].envelope;
        envelope.dropBefore(firstKept);
        envelope.add(serial, static_cast<double>(newest_), sample.values[q]);
    }
}

void ReportPlot::redraw()
{
    if (panels_.front().envelope.empty())
        return;
    std::vector<QList<QPointF>> lines;
    for (const Panel& panel : panels_)
        lines.push_back(panel.envelope.points());
    const auto first = static_cast<qint64>(lines.front().front().x());
    const TimeRange range = timeRange(first, newest_);
    for (std::size_t i = 0; i < panels_.size(); ++i)
        redraw(panels_[i], lines[i], range);
}

void ReportPlot::redraw(Panel& panel, const QList<QPointF>& points, const TimeRange& range)
{
    panel.line->replace(points);
    const ValueScale scale = valueScale(panel.envelope.highest());
    panel.values->setRange(0, scale.top);
    // Setting a format redraws the labels even when it is the same.
    const QString valueFormat = QStringLiteral("%.%1f").arg(scale.decimals);
    if (panel.values->labelFormat() != valueFormat)
        panel.values->setLabelFormat(valueFormat);
    const QString timeFormat = plotTimeFormat(range.to - range.from, QLocale());
    if (panel.time->format() != timeFormat)
        panel.time->setFormat(timeFormat);
    // UTC ends: the axis takes them without a conversion from local time.
    panel.time->setRange(QDateTime::fromMSecsSinceEpoch(range.from, Qt::UTC),
                         QDateTime::fromMSecsSinceEpoch(range.to, Qt::UTC));
}
