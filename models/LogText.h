#pragma once

#include <optional>

#include <QLocale>
#include <QString>
#include <QTime>

#include "link/Notifier.h"

// The texts of the message log. Each line starts with the time of day and "-> ".

// "14:05:09-> " in a Russian locale, "2:05:09 PM-> " in a US one.
QString logPrefix(const QTime& time, const QLocale& locale);
// The prefix for now, in the user's locale.
QString logPrefix();

// The log text of a worker's report to the main window, or nothing for the kinds that write no
// line.
std::optional<QString> deviceLogText(const TaskReport& report);

QString fileSavedText(const QString& fileName);
QString fileRejectedText(const QString& fileName);
QString configLoadedText();
