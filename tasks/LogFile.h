#pragma once

#include <QString>

#include "config/WholeFile.h"

class LogLines;

// Replaces the named file with the whole log as UTF-8 text, each line ended by "\n". After a
// failure the previous file is left as it was.
SaveFileResult saveLogFile(const QString& fileName, const LogLines& lines);
