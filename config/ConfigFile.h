#pragma once

#include "config/ConfigRecord.h"
#include "config/Crc.h"

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

enum class SaveFileResult { Saved, CannotCreate, WriteFailed };

// Stamps the CRC into the record, then replaces the named file with the record as a whole: after a
// failure the previous file is left as it was. The name is used exactly as given.
SaveFileResult saveConfigFile(const QString& fileName, ConfigRecord& record, const TCrc& crc);
