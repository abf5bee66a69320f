#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "models/RecoderModel.h"
#include "support/BlockWords.h"

namespace {

using Block = std::array<std::uint8_t, 8>;
using Identity = std::array<std::uint8_t, 12>;
using Words = std::array<std::uint16_t, 4>;

constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;

// The record keeps every word most significant byte first.
Block blockOf(const Words& words)
{
    return blockFromWords<Block>(words);
}

Words wordsOf(const Block& block)
{
    return wordsFromBlock<Words>(block);
}

// A recorder block and the controller it belongs to, opened as the main window opens the editor.
struct Opened {
    Opened(std::uint16_t typeWord, const Block& stored)
        : identity(identityOf(typeWord))
        , block(stored)
        , model(RecoderInputs{identity.data(), block.data()})
    {
        model.LoadBlock();
    }
    Opened(std::uint16_t typeWord, const Words& stored)
        : Opened(typeWord, blockOf(stored))
    {
    }

    Words saved()
    {
        model.save();
        return wordsOf(block);
    }

    Identity identity;
    Block block;
    RecoderModel model;
};

// The RX level slider's position for a stored level word.
int rxLevelPositionOf(std::uint16_t stored)
{
    const Field& level = recorderField(RecorderField::RxLevel);
    const std::array<std::uint16_t, 4> words{0, 0, 0, stored};
    return levelPosition(level, shownValue(level, FieldContext{.words = words}));
}

int gainPosition(const RecoderModel& model, RecorderField gain)
{
    return levelPosition(recorderField(gain), model.value(gain));
}

std::string hex(std::uint16_t word)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", word);
    return text;
}

} // namespace

TEST(RecorderGainTable, EveryPositionStoresItsTabledWord)
{
    const std::array<int, GainPositions> tabled{
        32767, 27570, 23197, 19518, 16422, 13817, 11626, 9782, 8230, 6925, 5826,
        4902,  4125,  3470,  2920,  2457,  2067,  1739,  1463, 1231, 1036, 871,
        733,   617,   519,   436,   367,   309,   260,   219,  184,  155};
    for (int position = 0; position < GainPositions; ++position) {
        EXPECT_EQ(recorderGainWord(position), tabled[static_cast<std::size_t>(position)]) << position;
        // The table is the step of 1.5 dB below full scale, truncated.
        EXPECT_EQ(recorderGainWord(position),
                  static_cast<int>(std::trunc(32767 / std::pow(1.1885, position))))
            << position;
    }
}

TEST(RecorderGainTable, StoredWordsReadBackToTheLowestGainAtLeastAsLarge)
{
    struct Case {
        int stored;
        int position;
    };
    const std::vector<Case> cases{
        {32767, 0}, {30000, 0}, {27571, 0}, {27570, 1}, {27569, 1}, {23197, 2},
        {4126, 11}, {4125, 12}, {4124, 12},  {156, 30},  {155, 31},  {100, 31},
        {0, 31},    {-1, 31},   {-32768, 31},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recorderGainPosition(static_cast<std::int16_t>(c.stored)), c.position) << c.stored;
}

TEST(RecorderGainTable, ReadBackAgreesWithCountingStepsUpToFullScale)
{
    // The other way of reading a gain back: raise it to the bottom's word, multiply by the step
    // until it reaches full scale, and take one less than the count.
    const auto counted = [](int stored) {
        double value = std::max(stored, 155);
        int count = 0;
        while (value < 32767) {
            value *= 1.1885;
            ++count;
        }
        return std::max(count - 1, 0);
    };
    for (int stored = -32768; stored <= 32767; ++stored)
        ASSERT_EQ(recorderGainPosition(static_cast<std::int16_t>(stored)), counted(stored)) << stored;
}

TEST(RecorderGainTable, EveryPositionReadsBackItself)
{
    for (int position = 0; position < GainPositions; ++position)
        EXPECT_EQ(recorderGainPosition(recorderGainWord(position)), position);
}

TEST(RecorderGainText, ShortestDecimalFormFromPlus18ToMinus28Point5)
{
    struct Case {
        int position;
        const char* usEnglish;
        const char* russian;
    };
    const std::vector<Case> cases{
        {0, "+18", "+18"},   {1, "+16.5", "+16,5"}, {2, "+15", "+15"},   {11, "+1.5", "+1,5"},
        {12, "0", "0"},      {13, "-1.5", "-1,5"},  {14, "-3", "-3"},    {30, "-27", "-27"},
        {31, "-28.5", "-28,5"},
    };
    for (const Case& c : cases) {
        {
            const LocaleGuard english(LocaleGuard::usEnglish());
            EXPECT_EQ(recorderGainText(c.position), QString::fromUtf8(c.usEnglish)) << c.position;
        }
        const LocaleGuard russian(LocaleGuard::russian());
        EXPECT_EQ(recorderGainText(c.position), QString::fromUtf8(c.russian)) << c.position;
    }
}

TEST(RecorderRxLevel, PositionsFromLevel63AtTheTop)
{
    struct Case {
        int position;
        int word;
    };
    for (const Case& c : {Case{0, 252}, Case{1, 248}, Case{16, 188}, Case{27, 144}, Case{63, 0}}) {
        EXPECT_EQ(rxLevelWordAt(c.position), c.word) << c.position;
        EXPECT_EQ(rxLevelPositionOf(static_cast<std::uint16_t>(c.word)), c.position) << c.word;
    }
}

TEST(RecorderRxLevel, StoredWordsOpenAtThePositionOfTheirLevelBits)
{
    struct Case {
        std::uint16_t stored;
        int position;
    };
    const std::vector<Case> cases{
        {0x0003, 63}, {0x0093, 27}, {0x00FF, 0}, {0x0100, 63}, {0x0194, 26},
        {0xFFFF, 0},  {0x8000, 63}, {0xFF00, 63},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rxLevelPositionOf(c.stored), c.position) << hex(c.stored);
}

TEST(RecorderCaption, ModelNameAndEdition)
{
    const std::vector<std::pair<std::uint16_t, QString>> cases{
        {R410ZA, QStringLiteral("Регистратор (R-410ZA)")},
        {0x1001, QStringLiteral("Регистратор (R-410ZB)")},
        {R420ZA, QStringLiteral("Регистратор (R-420ZA)")},
        {0x2FF1, QStringLiteral("Регистратор (R-420ZB)")},
        {0x3000, QStringLiteral("Регистратор (ZA)")},
        {0x0001, QStringLiteral("Регистратор (ZB)")},
    };
    for (const auto& [typeWord, caption] : cases)
        EXPECT_EQ(recorderCaption(typeWord), caption) << hex(typeWord);
}

TEST(RecorderModel, OpeningKeepsTheFlagsAndRewritesTheOtherWordsAsTheControlsShowThem)
{
    struct Case {
        std::uint16_t typeWord;
        Words stored;
        Words saved;
    };
    const std::vector<Case> cases{
        {R420ZA, {0x007F, 32767, 4125, 144}, {0x007F, 32767, 4125, 144}},
        {R420ZA, {0xFF80, 30000, 0, 0x0093}, {0xFF80, 32767, 155, 144}},
        {R420ZA, {0xFFFF, 0xFFFF, 0x8000, 0xFFFF}, {0xFFFF, 155, 155, 252}},
        {R420ZA, {0x0000, 4126, 156, 0x0103}, {0x0000, 4902, 184, 0}},
        {R410ZA, {0x0040, 27570, 27571, 0x00FC}, {0x0040, 27570, 32767, 252}},
        // Edition ZB has no volume control: bit 6 is cleared, the others are kept.
        {R420ZB, {0xFFFF, 4125, 4125, 144}, {0xFFBF, 4125, 4125, 144}},
        {R420ZB, {0x0040, 1, 2, 3}, {0x0000, 155, 155, 0}},
    };
    for (const Case& c : cases) {
        Opened opened(c.typeWord, c.stored);
        EXPECT_EQ(opened.saved(), c.saved) << hex(c.typeWord) << " " << hex(c.stored[0]);
    }
}

TEST(RecorderModel, OddStoredBlocksAreStableAfterTheFirstOpening)
{
    const std::vector<Block> odd{
        Block{},
        Block{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
        Block{0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00},
        Block{0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF},
        Block{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0},
        Block{0x00, 0x40, 0x6B, 0xB3, 0x00, 0x9B, 0x01, 0x02},
        Block{0xAA, 0x55, 0x10, 0x1D, 0x10, 0x1E, 0x00, 0x91},
    };
    for (std::uint16_t typeWord : {R410ZA, R420ZB, std::uint16_t{0xF000}}) {
        for (const Block& stored : odd) {
            Opened once(typeWord, stored);
            once.model.save();
            Opened twice(typeWord, once.block);
            twice.model.save();
            EXPECT_EQ(twice.block, once.block) << hex(typeWord) << " " << hex(wordsOf(stored)[0]);
            // Everything the controls show lies inside their ranges.
            for (RecorderField gain : {RecorderField::MicGain, RecorderField::RxGain}) {
                EXPECT_GE(gainPosition(twice.model, gain), 0);
                EXPECT_LT(gainPosition(twice.model, gain), GainPositions);
            }
            EXPECT_GE(twice.model.value(RecorderField::RxLevel), 0);
            EXPECT_LE(twice.model.value(RecorderField::RxLevel), MaxRxLevel);
            EXPECT_LE(twice.model.word(RxLevelWord), 252);
        }
    }
}

TEST(RecorderModel, EachFlagChangesOnlyItsBitOfTheFlagsWord)
{
    for (int bit = 0; bit < RecorderFlagCount; ++bit) {
        const char* name = recorderField(static_cast<RecorderField>(bit)).control;
        Opened opened(R420ZA, Words{0xAA00, 4125, 4125, 144});
        EXPECT_FALSE(opened.model.flag(bit)) << name;
        EXPECT_EQ(opened.model.setFlag(bit, true), FlagsWord);
        EXPECT_TRUE(opened.model.flag(bit)) << name;
        EXPECT_EQ(opened.model.word(FlagsWord), 0xAA00 | 1 << bit) << name;
        opened.model.setFlag(bit, false);
        EXPECT_EQ(opened.model.word(FlagsWord), 0xAA00) << name;
    }
}

TEST(RecorderModel, FlagsTableNamesTheBitsInOrder)
{
    const std::vector<std::string> names{"Mic", "Rx", "PttBut", "TxLed", "RxDispl", "RxLed", "RxCtrl"};
    ASSERT_EQ(static_cast<std::size_t>(RecorderFlagCount), names.size());
    for (std::size_t bit = 0; bit < names.size(); ++bit) {
        const Field& flag = recorderFields()[bit];
        EXPECT_EQ(flag.kind, FieldKind::Flag);
        EXPECT_EQ(flag.place.mask, 1u << bit);
        EXPECT_EQ(flag.control, names[bit]);
    }
}

TEST(RecorderModel, EditionZBNeverSetsTheVolumeControl)
{
    Opened zb(R420ZB, Words{0x0040, 4125, 4125, 144});
    EXPECT_FALSE(zb.model.volumeControlAvailable());
    EXPECT_FALSE(zb.model.rxLevelShown());
    zb.model.setFlag(VolumeControlBit, true);
    EXPECT_EQ(zb.saved()[FlagsWord], 0x0000);

    Opened za(R420ZA, Words{0x0040, 4125, 4125, 144});
    EXPECT_TRUE(za.model.volumeControlAvailable());
    EXPECT_TRUE(za.model.rxLevelShown());
    za.model.setFlag(VolumeControlBit, false);
    EXPECT_FALSE(za.model.rxLevelShown());
}

TEST(RecorderModel, GainAndLevelSettersWriteTheirWords)
{
    Opened opened(R420ZA, Words{});
    EXPECT_EQ(opened.model.set(RecorderField::MicGain, GainPositions - 1), MicGainWord);
    EXPECT_EQ(opened.model.set(RecorderField::RxGain, 0), RxGainWord);
    EXPECT_EQ(opened.model.set(RecorderField::RxLevel, MaxRxLevel), RxLevelWord);
    EXPECT_EQ(opened.saved(), (Words{0x0000, 155, 32767, 252}));
}

TEST(RecorderModel, DefaultsInBothEditions)
{
    for (std::uint16_t typeWord : {R420ZA, R420ZB}) {
        const Words stored{0xFFFF, 0, 0, 0xFFFF};
        Opened opened(typeWord, stored);
        const Block before = opened.block;
        opened.model.setDefaults();
        EXPECT_EQ(opened.block, before) << "the record is not touched";
        EXPECT_EQ(gainPosition(opened.model, RecorderField::MicGain), ZeroDecibelPosition);
        EXPECT_EQ(levelPosition(recorderField(RecorderField::RxLevel),
                                opened.model.value(RecorderField::RxLevel)), 27);
        EXPECT_FALSE(opened.model.rxLevelShown());
        EXPECT_EQ(opened.saved(), (Words{0x0007, 4125, 4125, 144})) << hex(typeWord);
    }
}

TEST(RecorderModel, PayloadIsTheWholeBlockInRecordOrder)
{
    Opened opened(R420ZA, Words{0x1234, 4125, 32767, 144});
    opened.model.setFlag(3, true);
    std::array<std::uint8_t, 8> payload{};
    ASSERT_EQ(opened.model.payloadSize(), 8);
    opened.model.writePayload(payload.data());
    EXPECT_EQ(payload, (Block{0x12, 0x3C, 0x10, 0x1D, 0x7F, 0xFF, 0x00, 0x90}));
}
