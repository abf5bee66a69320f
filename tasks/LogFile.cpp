#include "tasks/LogFile.h"

#include "tasks/LogLines.h"

SaveFileResult saveLogFile(const QString& fileName, const LogLines& lines)
{
    // The log writes in large pieces itself, so the unbuffered file costs nothing.
    return saveWholeFile(fileName, [&](QIODevice& file) { return lines.write(file); });
}
