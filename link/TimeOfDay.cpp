#include "link/TimeOfDay.h"

namespace {

// What may stand around the zone only for the zone's sake: blanks, a comma and brackets, as in
// "HH:mm:ss t", "h:mm:ss AP, t", "H:mm:ss (t)", "APh:mm:ss [t]" or "t HH:mm:ss". A quoted text
// ends with a quote, so nothing of it is ever taken.
bool surroundsZone(QChar c)
{
    return c.isSpace() || c == u',' || c == u'(' || c == u')' || c == u'[' || c == u']';
}

// The first time-zone field outside quotes, as [begin, end), or begin == -1.
std::pair<qsizetype, qsizetype> zoneField(const QString& format)
{
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'\'')
            quoted = !quoted;
        else if (!quoted && format[i] == u't') {
            qsizetype end = i;
            while (end < format.size() && format[end] == u't')
                ++end;
            return {i, end};
        }
    }
    return {-1, -1};
}

// The format without one zone field and what surrounds it; the parts on both sides of a zone
// in the middle keep one blank between them.
QString withoutZoneField(const QString& format, qsizetype begin, qsizetype end)
{
    while (begin > 0 && surroundsZone(format[begin - 1]))
        --begin;
    while (end < format.size() && surroundsZone(format[end]))
        ++end;
    const QString before = format.left(begin);
    const QString after = format.mid(end);
    if (before.isEmpty() || after.isEmpty())
        return before + after;
    return before + u' ' + after;
}

} // namespace

QString withoutTimeZone(QString format)
{
    for (auto zone = zoneField(format); zone.first >= 0; zone = zoneField(format))
        format = withoutZoneField(format, zone.first, zone.second);
    return format;
}

QString timeOfDayFormat(const QLocale& locale)
{
    return withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
}

QString timeOfDayText(const QTime& time, const QLocale& locale)
{
    return locale.toString(time, timeOfDayFormat(locale));
}

QString currentTimeOfDay()
{
    return timeOfDayText(QTime::currentTime(), QLocale());
}
