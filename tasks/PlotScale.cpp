#include "tasks/PlotScale.h"

#include <algorithm>
#include <cmath>

#include "link/TimeOfDay.h"

namespace {
constexpr qint64 DayMs = 24 * 60 * 60 * 1000;
constexpr int MaxDecimals = 9;
constexpr qint64 SecondMs = 1000;
constexpr qint64 StepsPerSpan = 20;

int decimalsOf(double value)
{
    int decimals = 0;
    double scaled = value;
    while (decimals < MaxDecimals && std::fabs(scaled - std::round(scaled)) > 1e-9 * std::fabs(scaled)) {
        scaled *= 10;
        ++decimals;
    }
    return decimals;
}

// The smallest of 1, 2 and 5 times a power of ten that reaches the value.
double oneTwoFive(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0})
        if (step * power >= value)
            return step * power;
    return 10 * power;
}

qint64 floorTo(qint64 value, qint64 step)
{
    return value - ((value % step) + step) % step;
}
}

ValueScale valueScale(double highest)
{
    if (!(highest > 0))
        return {1.0, 1};
    const double top = oneTwoFive(highest);
    return {top, decimalsOf(top / 2)};
}

TimeRange timeRange(qint64 firstMs, qint64 newestMs)
{
    const double span = static_cast<double>(std::max(newestMs - firstMs, SecondMs));
    const auto step = std::max(SecondMs, static_cast<qint64>(oneTwoFive(span / StepsPerSpan)));
    return {floorTo(firstMs, step), floorTo(newestMs, step) + step};
}

QString plotTimeFormat(qint64 spanMs, const QLocale& locale)
{
    const QString time = timeOfDayFormat(locale);
    if (spanMs <= DayMs)
        return time;
    return locale.dateFormat(QLocale::ShortFormat) + u' ' + time;
}
