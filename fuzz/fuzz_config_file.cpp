// The configuration file loader on any bytes of any length.

#include <algorithm>
#include <cstdint>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "config/ConfigFile.h"
#include "fuzz/FuzzCheck.h"

namespace {

// CRC-16/USB bit by bit, apart from the terminal's table: the file holds it most significant byte
// first in bytes 0 and 1 and computes it over bytes 2 to 199.
std::uint16_t referenceCrc(const std::uint8_t* bytes, int count)
{
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return static_cast<std::uint16_t>(~crc);
}

bool validFile(const std::uint8_t* data, std::size_t size)
{
    if (size != CONFIG_RECORD_SIZE)
        return false;
    const std::uint16_t crc = referenceCrc(data + 2, CONFIG_IMAGE_SIZE - 2);
    return data[0] == (crc >> 8) && data[1] == (crc & 0xFF);
}

void writeFile(const QString& name, const std::uint8_t* data, std::size_t size)
{
    QFile file(name);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file can be written");
    require(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size))
                == static_cast<qint64>(size),
            "the input file is written whole");
}

QByteArray fileBytes(const QString& name)
{
    QFile file(name);
    require(file.open(QIODevice::ReadOnly), "a saved file can be read");
    return file.readAll();
}

bool sameBytes(const RecordBytes& record, const std::uint8_t* data, std::size_t size)
{
    return size == record.size() && std::equal(record.begin(), record.end(), data);
}

bool isZero(const RecordBytes& record)
{
    return std::all_of(record.begin(), record.end(), [](std::uint8_t byte) { return byte == 0; });
}

// A file that opened is saved again and gives the same bytes, and those open again.
void checkSavedAgain(const QString& name, ConfigRecord record, const TCrc& crc)
{
    const RecordBytes opened = record.bytes;
    require(saveConfigFile(name, record, crc) == SaveFileResult::Saved, "an opened record saves");
    require(record.bytes == opened, "saving an opened record stamps the CRC it already has");
    const QByteArray saved = fileBytes(name);
    require(sameBytes(opened, reinterpret_cast<const std::uint8_t*>(saved.constData()),
                      static_cast<std::size_t>(saved.size())),
            "the saved file holds the opened bytes");
    const OpenedConfig again = openConfigFile(name, crc);
    require(again.result == OpenFileResult::Opened && again.record.bytes == opened,
            "a saved file opens again as it was");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // In memory where the system has it: a long run writes millions of files.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/r4xx-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/r4xx-fuzz-XXXXXX"));
    static const TCrc crc;
    static const QString input = folder.filePath("input.rcf");
    static const QString saved = folder.filePath("saved.rcf");
    require(folder.isValid(), "a temporary folder exists");

    writeFile(input, data, size);
    const OpenedConfig opened = openConfigFile(input, crc);
    if (validFile(data, size)) {
        require(opened.result == OpenFileResult::Opened, "a file of 212 bytes with its CRC opens");
        require(sameBytes(opened.record.bytes, data, size), "an opened file is installed as it is");
        checkSavedAgain(saved, opened.record, crc);
        return 0;
    }
    const OpenFileResult expected = size == CONFIG_RECORD_SIZE ? OpenFileResult::CrcMismatch
                                                               : OpenFileResult::WrongSize;
    require(opened.result == expected, "a wrong size or a wrong CRC is told as such");
    require(isZero(opened.record.bytes), "a refused file hands over no bytes");
    return 0;
}
