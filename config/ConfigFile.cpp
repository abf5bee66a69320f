#include "config/ConfigFile.h"

#include <QFile>

namespace {

char* asChars(RecordBytes& bytes)
{
    return reinterpret_cast<char*>(bytes.data());
}

bool hasRecordSize(qint64 size)
{
    return size == CONFIG_RECORD_SIZE;
}

bool crcMatches(const TCrc& crc, const ConfigRecord& record)
{
    return record.storedCrc() == ConfigCrc(crc, record);
}

} // namespace

OpenedConfig openConfigFile(const QString& fileName, const TCrc& crc)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {OpenFileResult::CannotOpen, {}};
    if (!hasRecordSize(file.size()))
        return {OpenFileResult::WrongSize, {}};

    ConfigRecord record;
    // A file that shrinks between the size test and the read is as short as a wrong-sized one.
    if (!hasRecordSize(file.read(asChars(record.bytes), CONFIG_RECORD_SIZE)))
        return {OpenFileResult::WrongSize, {}};
    if (!crcMatches(crc, record))
        return {OpenFileResult::CrcMismatch, {}};
    return {OpenFileResult::Opened, record};
}

SaveFileResult saveConfigFile(const QString& fileName, ConfigRecord& record, const TCrc& crc)
{
    return saveWholeFile(fileName, [&](QIODevice& file) {
        stampCrc(crc, record);
        return hasRecordSize(file.write(asChars(record.bytes), CONFIG_RECORD_SIZE));
    });
}
