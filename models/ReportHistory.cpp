#include "models/ReportHistory.h"

#include <algorithm>

namespace {
const QByteArray Separator = QByteArrayLiteral(",");
const QByteArray LineEnd = QByteArrayLiteral("\r\n");

QByteArray isoTime(const QDateTime& time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate).toUtf8();
}
}

const PlotQuantityInfo& plotQuantity(PlotQuantity quantity)
{
    static const std::array<PlotQuantityInfo, PlotQuantityCount> table{{
        {QStringLiteral("Загрузка процессора (%)"), QStringLiteral("Загрузка процессора (%)"), 4, 2},
        {QStringLiteral("Потерянные кадры (%)"), QStringLiteral("Потерянные кадры (%)"), 6, 4},
        {QStringLiteral("Ошибки канала управления (%)"),
         QStringLiteral("Ошибочные пакеты канала управления (%)"), 6, 4},
        {QStringLiteral("Колебание интервала (мсек)"),
         QStringLiteral("Колебание межпакетного интервала (мсек)"), 8, 4},
    }};
    return table[static_cast<int>(quantity)];
}

ReportSample reportSample(const ReportCounters& counters, const QDateTime& time)
{
    return {time,
            {loadPercent(counters[17]), sharePercent(counters[15]), sharePercent(counters[9]),
             jitterMilliseconds(counters[16])}};
}

ReportHistory::ReportHistory(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1))
{
}

void ReportHistory::add(const ReportSample& sample)
{
    samples_.push_back(sample);
    ++nextSerial_;
    if (samples_.size() > capacity_)
        samples_.pop_front();
}

QByteArray historyCsv(const std::deque<ReportSample>& samples)
{
    QByteArray csv = QByteArrayLiteral("Время");
    for (int q = 0; q < PlotQuantityCount; ++q)
        csv += Separator + plotQuantity(static_cast<PlotQuantity>(q)).column.toUtf8();
    csv += LineEnd;
    const QLocale plain = QLocale::c();
    for (const ReportSample& sample : samples) {
        csv += isoTime(sample.time);
        for (int q = 0; q < PlotQuantityCount; ++q) {
            const PlotQuantityInfo& info = plotQuantity(static_cast<PlotQuantity>(q));
            csv += Separator + fixedText(sample.values[q], info.precision, info.digits, plain).toUtf8();
        }
        csv += LineEnd;
    }
    return csv;
}
