#pragma once

#include <limits>
#include <memory>

#include <QtGlobal>

#include "config/ConfigRecord.h"

class QIODevice;
class QString;

// The largest image the load can describe: its length travels as a 32-bit size and as the
// progress bar's maximum.
inline constexpr qint64 LargestFirmwareImage = std::numeric_limits<int>::max();

// The whole content of a firmware file, or nothing when it is not a regular file, cannot be
// opened, or cannot be read whole.
std::shared_ptr<const FirmwareImage> readFirmwareFile(const QString& fileName);
// Exactly size bytes from the device, or nothing on a read error, a short read or a size that
// cannot be held.
std::shared_ptr<const FirmwareImage> readWhole(QIODevice& device, qint64 size);
