#include "config/Crc.h"

#include <boost/crc.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using CrcUsb = boost::crc_optimal<16, 0x8005, 0xFFFF, 0xFFFF, true, true>;

uint16_t calcFromFFFF(const TCrc& crc, const std::vector<uint8_t>& bytes)
{
    uint16_t value = 0xFFFF;
    crc.Calc(bytes.data(), value, static_cast<int32_t>(bytes.size()));
    return value;
}

uint16_t crcUsb(const std::vector<uint8_t>& bytes)
{
    CrcUsb reference;
    reference.process_bytes(bytes.data(), bytes.size());
    return reference.checksum();
}

uint16_t exchanged(uint16_t value)
{
    return static_cast<uint16_t>((value << 8) | (value >> 8));
}

std::vector<uint8_t> ascii(const std::string& text)
{
    return {text.begin(), text.end()};
}

// Reflected CRC-16 table entry of polynomial 0xA001, computed bit by bit.
uint16_t bitwiseReflectedEntry(int index)
{
    uint16_t value = static_cast<uint16_t>(index);
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (value & 1) != 0;
        value = static_cast<uint16_t>(value >> 1);
        if (carry)
            value ^= 0xA001;
    }
    return value;
}

} // namespace

TEST(CrcTableTest, BaseValuesComeOutInOrder)
{
    const TCrc::BaseValues expected{0x01A0, 0x01F0, 0x01D8, 0x01CC,
                                    0x01C6, 0x01C3, 0x81C1, 0xC1C0};
    EXPECT_EQ(TCrc::MakeBaseValues(), expected);
}

TEST(CrcTableTest, KnownEntries)
{
    struct Case { int index; uint16_t entry; };
    const Case cases[] = {
        {0, 0x0000}, {1, 0xC1C0}, {2, 0x81C1}, {3, 0x4001}, {128, 0x01A0}, {255, 0x4040}};
    const TCrc crc;
    for (const Case& c : cases)
        EXPECT_EQ(crc.entry(c.index), c.entry) << "index " << c.index;
}

TEST(CrcTableTest, EveryEntryIsTheReflectedEntryWithItsBytesExchanged)
{
    const TCrc crc;
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(crc.entry(i), exchanged(bitwiseReflectedEntry(i))) << "index " << i;
}

TEST(CrcCalcTest, CheckValuesFromFFFF)
{
    struct Case { const char* name; std::vector<uint8_t> input; uint16_t result; };
    const Case cases[] = {
        {"digits 1 to 9", ascii("123456789"), 0xC8B4},
        {"198 zero bytes", std::vector<uint8_t>(198, 0), 0x49B9},
        {"abc", ascii("abc"), 0xB6A8},
        {"no bytes", {}, 0x0000},
    };
    const TCrc crc;
    for (const Case& c : cases)
        EXPECT_EQ(calcFromFFFF(crc, c.input), c.result) << c.name;
}

TEST(CrcCalcTest, CountOfZeroOrLessOnlyComplementsTheStartValue)
{
    struct Case { uint16_t start; int32_t count; uint16_t result; };
    const Case cases[] = {
        {0xFFFF, 0, 0x0000}, {0x1234, 0, 0xEDCB}, {0x0000, 0, 0xFFFF}, {0x1234, -5, 0xEDCB}};
    const TCrc crc;
    const uint8_t unread[] = {0x55};
    for (const Case& c : cases) {
        uint16_t value = c.start;
        crc.Calc(unread, value, c.count);
        EXPECT_EQ(value, c.result) << "start " << c.start << " count " << c.count;
    }
}

TEST(CrcCalcTest, ContinuesFromTheCallersValue)
{
    // Starting from the complement of an earlier result continues that calculation.
    const TCrc crc;
    const std::vector<uint8_t> head = ascii("1234");
    const std::vector<uint8_t> tail = ascii("56789");
    uint16_t value = static_cast<uint16_t>(calcFromFFFF(crc, head) ^ 0xFFFF);
    crc.Calc(tail.data(), value, static_cast<int32_t>(tail.size()));
    EXPECT_EQ(value, 0xC8B4);
}

TEST(CrcCalcTest, AgreesWithCrc16UsbWithBytesExchangedOnRandomInputs)
{
    const TCrc crc;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int n = 0; n < 400; ++n) {
        std::vector<uint8_t> input(static_cast<size_t>(length(random)));
        for (uint8_t& b : input)
            b = static_cast<uint8_t>(byte(random));
        EXPECT_EQ(calcFromFFFF(crc, input), exchanged(crcUsb(input)))
            << "input " << n << " of " << input.size() << " bytes";
    }
}
