#include "config/WholeFile.h"

#include <QSaveFile>

SaveFileResult saveWholeFile(const QString& fileName, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write shows in the result of write(): a buffered file can drop
    // the rest of its buffer when it closes and still commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return SaveFileResult::CannotCreate;
    // Without a commit, QSaveFile discards its temporary file and the old file stays untouched.
    if (!write(file) || !file.commit())
        return SaveFileResult::WriteFailed;
    return SaveFileResult::Saved;
}
