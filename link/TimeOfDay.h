#pragma once

#include <QLocale>
#include <QString>
#include <QTime>

// The time of day as the terminal shows it: the locale's long time format without its time-zone
// field, so "14:05:09" in a Russian locale and "2:05:09 PM" in a US one.
QString timeOfDayFormat(const QLocale& locale);
// A time format without its time-zone field and the blanks, comma or brackets around it.
QString withoutTimeZone(QString format);
QString timeOfDayText(const QTime& time, const QLocale& locale);
// Now, in the user's locale.
QString currentTimeOfDay();
