#include "config/Crc.h"

namespace {

constexpr uint16_t REFLECTED_POLYNOMIAL = 0xA001;
constexpr uint16_t COMPLEMENT = 0xFFFF;

uint16_t exchangeBytes(uint16_t value)
{
    return static_cast<uint16_t>((value << 8) | (value >> 8));
}

bool indexHasBit(int index, int k)
{
    return (index & (0x80 >> k)) != 0;
}

} // namespace

TCrc::TCrc()
    : table(MakeTable())
{
}

TCrc::BaseValues TCrc::MakeBaseValues()
{
    BaseValues base{};
    uint16_t value = 0;
    bool feedback = true;
    for (uint16_t& entry : base) {
        if (feedback)
            value ^= REFLECTED_POLYNOMIAL;
        entry = exchangeBytes(value);
        feedback = (value & 1) != 0;
        value = static_cast<uint16_t>(value >> 1);
    }
    return base;
}

TCrc::Table TCrc::MakeTable()
{
    const BaseValues base = MakeBaseValues();
    Table result{};
    for (int i = 0; i < static_cast<int>(result.size()); ++i) {
        for (int k = 0; k < static_cast<int>(base.size()); ++k) {
            if (indexHasBit(i, k))
                result[i] ^= base[k];
        }
    }
    return result;
}

uint16_t TCrc::step(uint16_t crc, uint8_t byte) const
{
    const uint16_t t = table[(byte ^ (crc >> 8)) & 0xFF];
    return static_cast<uint16_t>(((crc << 8) ^ (t & 0xFF00)) | (t & 0x00FF));
}

void TCrc::Calc(const uint8_t* data, uint16_t& crc, int32_t count) const
{
    uint16_t value = crc;
    for (int32_t i = 0; i < count; ++i)
        value = step(value, data[i]);
    crc = value ^ COMPLEMENT;
}

uint16_t TCrc::entry(int i) const
{
    return table.at(i);
}
