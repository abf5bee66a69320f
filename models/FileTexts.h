#pragma once

#include <optional>

#include <QString>

#include "config/WholeFile.h"

// The message boxes of a file that could not be saved.
QString cannotCreateText(const QString& fileName);
QString cannotWriteText(const QString& fileName);
// The message box a save's result asks for; none when the file was saved.
std::optional<QString> saveFailureText(SaveFileResult result, const QString& fileName);
