#pragma once

#include <QLocale>
#include <QString>

// The axes of the statistics plots.

// A value axis from 0 with a middle tick and a top: the top is the smallest of 1, 2 and 5 times a
// power of ten that reaches the highest value (1 when there is nothing above 0), and the labels
// carry the decimals the middle tick needs.
struct ValueScale {
    double top;
    int decimals;
};
ValueScale valueScale(double highest);

// The time axis runs from a little before the first sample to a little past the newest, its ends
// on whole steps of about a twentieth of the span (1, 2 or 5 times a power of ten milliseconds,
// one second at least): it follows the newest sample but moves only once every few reports.
struct TimeRange {
    qint64 from;
    qint64 to;
};
TimeRange timeRange(qint64 firstMs, qint64 newestMs);

// The time axis shows the time of day, with the date in front once the plot spans more than a
// day.
QString plotTimeFormat(qint64 spanMs, const QLocale& locale);
