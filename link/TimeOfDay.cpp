#include "link/TimeOfDay.h"

QString timeOfDayFormat(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        withoutZone += c;
    }
    return withoutZone.trimmed();
}

QString timeOfDayText(const QTime& time, const QLocale& locale)
{
    return locale.toString(time, timeOfDayFormat(locale));
}

QString currentTimeOfDay()
{
    return timeOfDayText(QTime::currentTime(), QLocale());
}
