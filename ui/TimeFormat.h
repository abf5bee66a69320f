#pragma once

#include <QLocale>
#include <QString>

// The locale's long time format without its time-zone field: the time of day as the terminal
// shows it in the log and on its plots.
QString timeOfDayFormat(const QLocale& locale);
