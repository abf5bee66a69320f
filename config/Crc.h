#pragma once

#include <array>
#include <cstdint>

// Table-driven CRC-16 of the configuration record. The table is the reflected CRC-16 table of
// polynomial 0xA001 with the two bytes of every entry exchanged, and the update step works on the
// byte-exchanged state, so a calculation started from 0xFFFF yields the CRC-16/USB value with its
// two bytes exchanged.
class TCrc
{
public:
    using Table = std::array<uint16_t, 256>;
    using BaseValues = std::array<uint16_t, 8>;

    TCrc();

    // First stage of the table: the byte-exchanged entries of the eight single-bit indexes,
    // from index 0x80 down to index 0x01.
    static BaseValues MakeBaseValues();
    // Second stage: every entry is the XOR of the base values of the bits set in its index.
    static Table MakeTable();

    // Runs count bytes through the update step, starting from the value already in crc, and
    // complements the result; a count of zero or less only complements.
    void Calc(const uint8_t* data, uint16_t& crc, int32_t count) const;

    uint16_t entry(int i) const;

private:
    uint16_t step(uint16_t crc, uint8_t byte) const;

    Table table;
};
