#include "tasks/LogFile.h"

#include <QSaveFile>

#include "tasks/LogLines.h"

SaveFileResult saveLogFile(const QString& fileName, const LogLines& lines)
{
    QSaveFile file(fileName);
    // Unbuffered, so that a short write shows at once; the log writes in large pieces itself.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return SaveFileResult::CannotCreate;
    if (!lines.write(file) || !file.commit())
        return SaveFileResult::WriteFailed;
    return SaveFileResult::Saved;
}
