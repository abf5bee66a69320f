#pragma once

#include <QString>

// The message boxes of a file that could not be saved.
QString cannotCreateText(const QString& fileName);
QString cannotWriteText(const QString& fileName);
