#include "SampleRecords.h"

#include <random>

#include <QByteArray>

namespace {
const char* const BenchBytes
    = "23681e000c2208120a00100100170217047906790e4312010008000100000002000100020007101d101d0090"
      "2e00d600001f000a000a00070020000800040020000300c000a80001000100ff00ff00ff000000c000a80001"
      "000a0075003a00c000a80001000b0075003a000000800000001a002b003c004d005e34303731323130"
      "2e2e3330323532f2d1ede520e4e5f1e2f0f1e8eeedeee3ee20e4f2ebe500e000000000000000000000000000"
      "000000000000000000000000000000000000000000000000000000002001004523ab00000c0500";
}

ConfigRecord benchRecord()
{
    const QByteArray bytes = QByteArray::fromHex(BenchBytes);
    ConfigRecord record;
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    return record;
}

std::vector<ConfigRecord> oddRecords(int count)
{
    std::mt19937 generator(20261211);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<ConfigRecord> records;
    for (int index = 0; index < count; ++index) {
        ConfigRecord record;
        for (auto& value : record.bytes)
            value = static_cast<std::uint8_t>(byte(generator));
        // Most records of a known model, so that every editor's rules are met.
        if (index % 8 != 0)
            record.setTypeWord(static_cast<std::uint16_t>((1 + index % 2) << 12 | (index / 2) % 2));
        stampCrc(TCrc(), record);
        records.push_back(record);
    }
    return records;
}
