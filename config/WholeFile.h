#pragma once

#include <functional>

#include <QIODevice>
#include <QString>

enum class SaveFileResult { Saved, CannotCreate, WriteFailed };

// Replaces the named file with what `write` puts into it; `write` runs only once the file is open
// and returns false when a write fell short. The new text goes to a temporary file beside the old
// one and takes its place only when whole, so a failed write (a full disk) leaves the previous file
// as it was. In a folder where no new file can be made, an existing writable file is written
// directly, as a plain write would.
SaveFileResult saveWholeFile(const QString& fileName, const std::function<bool(QIODevice&)>& write);
