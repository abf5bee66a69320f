#include <gtest/gtest.h>

#include "models/RecordDiff.h"
#include "models/RecordJson.h"
#include "support/SampleRecords.h"

namespace {

struct Seen {
    std::string field; // "block.key"
    QString first;
    QString second;

    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out)
{
    *out << seen.field << ": " << seen.first.toStdString() << " -> " << seen.second.toStdString();
}

std::vector<Seen> fieldsOf(const RecordDifferences& differences)
{
    std::vector<Seen> seen;
    for (const FieldDifference& field : differences.fields)
        seen.push_back({std::string(editorBlocks()[static_cast<std::size_t>(field.block)].key) + "."
                            + field.field->key,
                        field.first.value_or("(none)"), field.second.value_or("(none)")});
    return seen;
}

std::vector<int> offsetsOf(const RecordDifferences& differences)
{
    std::vector<int> offsets;
    for (const ByteDifference& byte : differences.bytes)
        offsets.push_back(byte.offset);
    return offsets;
}

ConfigRecord changed(ConfigRecord record, std::initializer_list<std::pair<int, int>> bytes)
{
    for (const auto& [offset, value] : bytes)
        record.bytes[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value);
    stampCrc(TCrc(), record);
    return record;
}

} // namespace

TEST(RecordDiff, ARecordDiffersFromNothingButAnother)
{
    for (const ConfigRecord& record : oddRecords(20))
        EXPECT_TRUE(compareRecords(record, record, recordJsonView()).empty());
}

TEST(RecordDiff, EachDifferenceIsAFieldInItsEditorsWordsOrAByteNoDifferingFieldReads)
{
    const ConfigRecord bench = benchRecord();
    const struct {
        const char* name;
        ConfigRecord second;
        std::vector<Seen> fields;
        std::vector<int> bytes;
    } cases[] = {
        {"a number", changed(bench, {{49, 0x0F}}), {{"link.packetSize", "512", "256"}}, {}},
        {"a flag among the bits of a codec register", changed(bench, {{7, 0x13}}),
         {{"codec.microphoneBoost", "нет", "да"}}, {}},
        {"an address octet", changed(bench, {{83, 10}}), {{"net.ip", "192.168.1.10", "10.168.1.10"}}, {}},
        {"a bit no field reads: the amplifier level's low byte", changed(bench, {{45, 0x01}}), {}, {45}},
        {"a field and a bit it does not read in the same byte", changed(bench, {{44, 0xEF}}),
         {{"amplifier.level", "+0.5", "+1.2"}}, {44}},
        {"two stored values the editor shows alike", changed(bench, {{49, 0x3F}}), {}, {49}},
        // The board's texts keep each pair of characters swapped.
        {"a text of the board block", changed(bench, {{136, 'Z'}}),
         {{"board.description", "Стенд сервисного отдела", "СZенд сервисного отдела"}}, {}},
    };
    for (const auto& example : cases) {
        const RecordDifferences differences = compareRecords(bench, example.second, recordJsonView());
        EXPECT_EQ(fieldsOf(differences), example.fields) << example.name;
        EXPECT_EQ(offsetsOf(differences), example.bytes) << example.name;
        EXPECT_FALSE(differences.identity) << example.name;
        ASSERT_TRUE(differences.crc) << example.name;
        EXPECT_EQ(differences.crc->first, bench.storedCrc());
        EXPECT_EQ(differences.crc->second, example.second.storedCrc());
    }
}

TEST(RecordDiff, AnotherModelShowsInTheIdentityAndInTheFieldsOnlyOneHas)
{
    ConfigRecord r410 = benchRecord();
    r410.setTypeWord(0x1000);
    const RecordDifferences differences = compareRecords(benchRecord(), r410, recordJsonView());
    ASSERT_TRUE(differences.identity);
    EXPECT_EQ(differences.identity->first, "R-420ZA, Die ID 0001:2345:00AB:0C00, Chip ID 0x05");
    EXPECT_EQ(differences.identity->second, "R-410ZA, Die ID 0001:2345:00AB:0C00, Chip ID 0x05");
    EXPECT_FALSE(differences.crc);
    const std::vector<Seen> seen = fieldsOf(differences);
    EXPECT_NE(std::find(seen.begin(), seen.end(),
                        Seen{"board.hardwareAddress", "00-1A-2B-3C-4D-5E", "(none)"}),
              seen.end());
}
