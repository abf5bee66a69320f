#include "config/ConfigRecord.h"

namespace {

uint16_t readLeastSignificantFirst(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

void writeLeastSignificantFirst(uint8_t* bytes, uint16_t value)
{
    bytes[0] = static_cast<uint8_t>(value & 0xFF);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}

constexpr int MODEL_R410 = 1;
constexpr int MODEL_R420 = 2;
constexpr uint16_t CRC_START = 0xFFFF;

} // namespace

uint16_t ConfigRecord::typeWord() const
{
    return typeWordOf(data(Blocks::Identity));
}

void ConfigRecord::setTypeWord(uint16_t word)
{
    writeLeastSignificantFirst(data(Blocks::Identity), word);
}

uint16_t ConfigRecord::storedCrc() const
{
    return readLeastSignificantFirst(data(Blocks::CrcWord));
}

uint8_t* ConfigRecord::data(BlockSpan block)
{
    return bytes.data() + block.offset;
}

const uint8_t* ConfigRecord::data(BlockSpan block) const
{
    return bytes.data() + block.offset;
}

ConfigRecord ConfigRecord::blank()
{
    ConfigRecord record;
    record.setTypeWord(BLANK_TYPE_WORD);
    return record;
}

uint16_t typeWordOf(const uint8_t* identityBlock)
{
    return readLeastSignificantFirst(identityBlock);
}

int modelCode(uint16_t typeWord)
{
    return (typeWord >> 12) & 0xF;
}

int editionBit(uint16_t typeWord)
{
    return typeWord & 1;
}

QString modelName(uint16_t typeWord)
{
    switch (modelCode(typeWord)) {
    case MODEL_R410:
        return QStringLiteral("R-410");
    case MODEL_R420:
        return QStringLiteral("R-420");
    default:
        return {};
    }
}

QString editionName(uint16_t typeWord)
{
    return editionBit(typeWord) == 0 ? QStringLiteral("ZA") : QStringLiteral("ZB");
}

QString deviceName(uint16_t typeWord)
{
    return modelName(typeWord) + editionName(typeWord);
}

QString modelText(uint16_t typeWord)
{
    const QString model = modelName(typeWord);
    return model.isEmpty() ? QStringLiteral("R-xxx") : model;
}

QString controllerText(uint16_t typeWord)
{
    return modelText(typeWord) + editionName(typeWord);
}

int writeExtent(AccessLevel level)
{
    const bool boardLevel = level == LevelBoard || level == LevelFull;
    return boardLevel ? FULL_WRITE_SIZE : USER_WRITE_SIZE;
}

uint16_t ConfigCrc(const TCrc& crc, const ConfigRecord& record)
{
    uint16_t value = CRC_START;
    crc.Calc(record.data(Blocks::CrcCoverage), value, Blocks::CrcCoverage.size);
    return value;
}

void stampCrc(const TCrc& crc, ConfigRecord& record)
{
    writeLeastSignificantFirst(record.data(Blocks::CrcWord), ConfigCrc(crc, record));
}

WriteRequest answerWriteRequest(const ConfigRecord& record, AccessLevel level)
{
    return WriteRequest{writeExtent(level), record.bytes};
}
