#include "config/ConfigRecord.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct NamedBlock
{
    const char* name;
    BlockSpan span;
    int firstByte;
    int lastByte;
};

// The record layout as the controller defines it.
const NamedBlock recordLayout[] = {
    {"CrcWord", Blocks::CrcWord, 0, 1},
    {"CodecBlock", Blocks::Codec, 2, 23},
    {"VocoderBlock", Blocks::Vocoder, 24, 35},
    {"RecorderBlock", Blocks::Recorder, 36, 43},
    {"AmplifierBlock", Blocks::Amplifier, 44, 47},
    {"LinkBlock", Blocks::Link, 48, 65},
    {"NetBlock", Blocks::Net, 66, 109},
    {"BoardBlock", Blocks::Board, 110, 199},
    {"IdentityBlock", Blocks::Identity, 200, 211},
};

ConfigRecord recordWithImagePattern()
{
    ConfigRecord record;
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i)
        record.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return record;
}

} // namespace

TEST(ConfigRecordTest, BlocksCoverTheirBytesOfTheRecord)
{
    ConfigRecord record;
    for (size_t n = 0; n < std::size(recordLayout); ++n) {
        const NamedBlock& block = recordLayout[n];
        std::fill_n(record.data(block.span), block.span.size, static_cast<uint8_t>(n + 1));
    }
    for (size_t n = 0; n < std::size(recordLayout); ++n) {
        const NamedBlock& block = recordLayout[n];
        for (int i = block.firstByte; i <= block.lastByte; ++i)
            EXPECT_EQ(record.bytes[i], n + 1) << block.name << " byte " << i;
    }
}

TEST(ConfigRecordTest, ConstBlockDataPointsAtTheBlocksFirstByte)
{
    const ConfigRecord record;
    for (const NamedBlock& block : recordLayout)
        EXPECT_EQ(record.data(block.span), record.bytes.data() + block.firstByte) << block.name;
}

TEST(ConfigRecordTest, BlankRecordIsZeroExceptTypeWordOfR410ZA)
{
    const ConfigRecord record = ConfigRecord::blank();
    EXPECT_EQ(record.bytes[200], 0x00);
    EXPECT_EQ(record.bytes[201], 0x10);
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i != 201) {
            EXPECT_EQ(record.bytes[i], 0) << "byte " << i;
        }
    }
    EXPECT_EQ(record.typeWord(), 0x1000);
    EXPECT_EQ(modelName(record.typeWord()), "R-410");
    EXPECT_EQ(editionName(record.typeWord()), "ZA");
}

TEST(ConfigRecordTest, TypeWordIsStoredLeastSignificantByteFirst)
{
    ConfigRecord record = recordWithImagePattern();
    const ConfigRecord before = record;
    record.setTypeWord(0x2A51);
    EXPECT_EQ(record.bytes[200], 0x51);
    EXPECT_EQ(record.bytes[201], 0x2A);
    EXPECT_EQ(record.typeWord(), 0x2A51);
    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
        if (i != 200 && i != 201) {
            EXPECT_EQ(record.bytes[i], before.bytes[i]) << "byte " << i;
        }
    }
}

TEST(TypeWordTest, NamesFollowModelCodeAndEditionBit)
{
    struct Case
    {
        int model;
        int edition;
        const char* modelName;
        const char* editionName;
        const char* deviceName;
    };
    const Case cases[] = {
        {0, 0, "", "ZA", "ZA"},           {0, 1, "", "ZB", "ZB"},
        {1, 0, "R-410", "ZA", "R-410ZA"}, {1, 1, "R-410", "ZB", "R-410ZB"},
        {2, 0, "R-420", "ZA", "R-420ZA"}, {2, 1, "R-420", "ZB", "R-420ZB"},
        {3, 0, "", "ZA", "ZA"},           {3, 1, "", "ZB", "ZB"},
        {15, 0, "", "ZA", "ZA"},          {15, 1, "", "ZB", "ZB"},
    };
    // Version fields and unused bits set, so that only the model and edition bits may decide.
    const uint16_t otherBits = 0x0FFE;
    for (const Case& c : cases) {
        const auto word = static_cast<uint16_t>((c.model << 12) | otherBits | c.edition);
        SCOPED_TRACE(testing::Message() << "TypeWord 0x" << std::hex << word);
        EXPECT_EQ(modelCode(word), c.model);
        EXPECT_EQ(editionBit(word), c.edition);
        EXPECT_EQ(modelName(word), c.modelName);
        EXPECT_EQ(editionName(word), c.editionName);
        EXPECT_EQ(deviceName(word), c.deviceName);
    }
}

TEST(ConfigCrcTest, AllZeroImageIsStampedB9Then49)
{
    const TCrc crc;
    ConfigRecord record = ConfigRecord::blank();
    EXPECT_EQ(ConfigCrc(crc, record), 0x49B9);
    stampCrc(crc, record);
    EXPECT_EQ(record.bytes[0], 0xB9);
    EXPECT_EQ(record.bytes[1], 0x49);
    EXPECT_EQ(record.storedCrc(), 0x49B9);
}

TEST(ConfigCrcTest, CoversImageBytesAfterTheCrcWordOnly)
{
    struct Case { int byte; bool covered; };
    const Case cases[] = {{0, false}, {1, false}, {2, true}, {109, true}, {110, true},
                          {199, true}, {200, false}, {201, false}, {211, false}};
    const TCrc crc;
    const ConfigRecord original = recordWithImagePattern();
    const uint16_t originalCrc = ConfigCrc(crc, original);
    for (const Case& c : cases) {
        ConfigRecord changed = original;
        changed.bytes[c.byte] ^= 0x01;
        EXPECT_EQ(ConfigCrc(crc, changed) != originalCrc, c.covered) << "byte " << c.byte;
    }
}

TEST(ConfigCrcTest, StampReplacesWhateverTheCrcWordHeldAndTouchesNothingElse)
{
    const TCrc crc;
    ConfigRecord record = recordWithImagePattern();
    const ConfigRecord before = record;
    stampCrc(crc, record);
    const uint16_t expected = ConfigCrc(crc, before);
    EXPECT_EQ(record.bytes[0], expected & 0xFF);
    EXPECT_EQ(record.bytes[1], expected >> 8);
    EXPECT_TRUE(std::equal(record.bytes.begin() + 2, record.bytes.end(), before.bytes.begin() + 2));
}

TEST(WriteExtentTest, BoardBlockIsSentOnlyInTheBoardLevels)
{
    struct Case { AccessLevel level; int count; };
    const Case cases[] = {{LevelUser, 110}, {LevelFirmware, 110}, {LevelTrace, 110},
                          {LevelBoard, 200}, {LevelFull, 200}};
    for (const Case& c : cases)
        EXPECT_EQ(writeExtent(c.level), c.count) << "level " << c.level;
}

TEST(WriteRequestTest, AnswerCarriesTheExtentAndAnIndependentCopyOfTheRecord)
{
    struct Case { AccessLevel level; int count; };
    const Case cases[] = {{LevelUser, 110}, {LevelFull, 200}};
    for (const Case& c : cases) {
        ConfigRecord record = recordWithImagePattern();
        const WriteRequest request = answerWriteRequest(record, c.level);
        const RecordBytes sent = record.bytes;
        record = ConfigRecord::blank();
        EXPECT_EQ(request.count, c.count) << "level " << c.level;
        EXPECT_EQ(request.record, sent) << "level " << c.level;
    }
}
