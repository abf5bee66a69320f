#pragma once

#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "config/WholeFile.h"

#include <QString>

// A configuration file is the 212-byte configuration record, byte for byte, with no header. It is
// valid when it is exactly 212 bytes long and its CRC word matches its image; the identity block
// is not covered by the CRC.

enum class OpenFileResult { Opened, CannotOpen, WrongSize, CrcMismatch };

struct OpenedConfig
{
    OpenFileResult result;
    ConfigRecord record; // the file's bytes when opened, zero otherwise
};

OpenedConfig openConfigFile(const QString& fileName, const TCrc& crc);

// Stamps the CRC into the record once the file is open, then replaces the named file with the
// record as a whole (saveWholeFile). The name is used exactly as given.
SaveFileResult saveConfigFile(const QString& fileName, ConfigRecord& record, const TCrc& crc);
