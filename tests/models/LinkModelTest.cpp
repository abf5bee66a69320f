#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "support/BlockWords.h"

#include "models/LinkModel.h"

namespace {

using Block = std::array<std::uint8_t, 18>;
using Words = std::array<std::uint16_t, 9>;
using Identity = std::array<std::uint8_t, 12>;

constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;

constexpr std::array<AccessLevel, 5> Levels{LevelUser, LevelFirmware, LevelTrace, LevelBoard,
                                            LevelFull};

// The block as the record keeps it: each word most significant byte first.
Block blockOf(const Words& words)
{
    return blockFromWords<Block>(words);
}

Words wordsOf(const Block& block)
{
    return wordsFromBlock<Words>(block);
}

// A link block and the controller it belongs to, opened as the main window opens the editor.
struct Opened {
    Opened(Words stored, std::uint16_t typeWord = R420ZA, AccessLevel level = LevelFull)
        : identity(identityOf(typeWord))
        , block(blockOf(stored))
        , model(LinkInputs{level, identity.data(), block.data()})
    {
        model.LoadBlock();
    }

    // What "Сохранить" leaves in the record.
    Words saved()
    {
        model.save();
        return wordsOf(block);
    }

    std::array<int, LinkNumberCount> shown() const
    {
        std::array<int, LinkNumberCount> values{};
        for (std::size_t field = 0; field < values.size(); ++field)
            values[field] = model.value(static_cast<LinkNumber>(field));
        return values;
    }

    Identity identity;
    Block block;
    LinkModel model;
};

// Opens the block and saves it, as often as asked.
Words openedAndSaved(const Words& stored, std::uint16_t typeWord, AccessLevel level, int times)
{
    Words words = stored;
    for (int i = 0; i < times; ++i)
        words = Opened(words, typeWord, level).saved();
    return words;
}

} // namespace

TEST(LinkTicks, MillisecondsBecomeTruncatedTicksOf32PerSecond)
{
    const std::vector<std::pair<int, int>> cases{
        {125, 4}, {130, 4}, {1000, 32}, {30000, 960}, {0, 0}, {31, 0}, {32, 1},
        {500, 16}, {1031, 32}, {1062, 33}, {250, 8}, {29999, 959},
    };
    for (const auto& [milliseconds, ticks] : cases)
        EXPECT_EQ(ticksOfMilliseconds(milliseconds), ticks) << milliseconds;
}

TEST(LinkTicks, TicksShowAsTruncatedMillisecondsOfTheirTenBits)
{
    const std::vector<std::pair<int, int>> cases{
        {4, 125}, {1, 31}, {33, 1031}, {34, 1062}, {960, 30000}, {1023, 31968},
        {0x0404, 125}, {0xFC00, 0},
    };
    for (const auto& [ticks, milliseconds] : cases)
        EXPECT_EQ(millisecondsOfTicks(ticks), milliseconds) << ticks;
}

TEST(LinkModel, OpeningShowsEveryWordAndRewritesItFromWhatIsShown)
{
    struct Case {
        const char* what;
        Words stored;
        std::array<int, LinkNumberCount> shown;
        Words saved;
    };
    const std::vector<Case> cases{
        {"all zero: every field at its minimum",
         {0, 0, 0, 0, 0, 0, 0, 0, 0},
         {64, 1, 1, 1, 500, 125, 125, 125},
         {3, 1, 1, 1, 16, 4, 4, 4, 0}},
        {"the defaults stay",
         {31, 10, 10, 7, 32, 8, 4, 32, 3},
         {512, 10, 10, 7, 1000, 250, 125, 1000},
         {31, 10, 10, 7, 32, 8, 4, 32, 3}},
        {"only the bits each field shows",
         {0xFFE5, 0x1234, 0xAB02, 0x00F9, 0xFC20, 0x0404, 0xF808, 0x8020, 0},
         {96, 0x34, 2, 9, 1000, 125, 250, 1000},
         {5, 0x34, 2, 9, 32, 4, 8, 32, 0}},
        {"the tops of the ranges",
         {0xFFFF, 0xFFFF, 0x00FF, 0x000F, 960, 960, 1023, 1000, 0},
         {512, 255, 255, 15, 30000, 30000, 30000, 30000},
         {31, 255, 255, 15, 960, 960, 960, 960, 0}},
        {"counts below the ranges",
         {0x0020, 0x0100, 0x0200, 0x0010, 15, 3, 0, 1, 0},
         {64, 1, 1, 1, 500, 125, 125, 125},
         {3, 1, 1, 1, 16, 4, 4, 4, 0}},
        {"ticks between whole milliseconds settle on a multiple of four and show it",
         {3, 1, 1, 1, 33, 34, 35, 37, 0},
         {64, 1, 1, 1, 1000, 1000, 1000, 1125},
         {3, 1, 1, 1, 32, 32, 32, 36, 0}},
        {"the top tick counts below a whole second's multiple",
         {3, 1, 1, 1, 959, 958, 957, 955, 0},
         {64, 1, 1, 1, 29875, 29875, 29875, 29750},
         {3, 1, 1, 1, 956, 956, 956, 952, 0}},
        {"the flag bits are kept, all of them",
         {3, 1, 1, 1, 16, 4, 4, 4, 0xFFFF},
         {64, 1, 1, 1, 500, 125, 125, 125},
         {3, 1, 1, 1, 16, 4, 4, 4, 0xFFFF}},
    };
    for (const Case& c : cases) {
        Opened opened(c.stored);
        EXPECT_EQ(opened.shown(), c.shown) << c.what;
        EXPECT_EQ(opened.saved(), c.saved) << c.what;
    }
}

TEST(LinkModel, OddBlocksSettleAtTheFirstOpening)
{
    const std::vector<Words> odd{
        {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
        {0, 0, 0, 0, 0, 0, 0, 0, 0},
        {0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000, 0x8000},
        {0x0001, 0x00FF, 0x0100, 0x000F, 1, 2, 3, 5, 0x0002},
        {0x1234, 0x5678, 0x9ABC, 0xDEF0, 0x1357, 0x2468, 0x3579, 0x468A, 0xAAAA},
        {31, 255, 255, 15, 1023, 1022, 1021, 1019, 0x5555},
        {5, 0, 0, 0, 961, 962, 963, 999, 0xFFFC},
    };
    for (std::uint16_t typeWord : {R420ZA, R420ZB}) {
        for (AccessLevel level : Levels) {
            for (const Words& stored : odd) {
                const Words once = openedAndSaved(stored, typeWord, level, 1);
                EXPECT_EQ(openedAndSaved(stored, typeWord, level, 2), once)
                    << "word 0 " << stored[0] << ", edition " << (typeWord & 1) << ", level "
                    << level;
                // Every field's word stays where its field's range lets it, and the field shows
                // the word it stores, from the first opening on.
                Opened first(stored, typeWord, level);
                Opened reopened(once, typeWord, level);
                for (int index = 0; index < LinkNumberCount; ++index) {
                    const auto number = static_cast<LinkNumber>(index);
                    const Field& rule = linkField(number);
                    const NumberRange range = reopened.model.range(number);
                    const int value = shownValue(rule, FieldContext{.words = once});
                    EXPECT_GE(value, range.minimum) << rule.control;
                    EXPECT_LE(value, range.maximum) << rule.control;
                    EXPECT_EQ(first.model.value(number), value) << rule.control;
                }
            }
        }
    }
}

TEST(LinkModel, EditionZbHasNoEstablishmentPeriod)
{
    Opened opened({31, 10, 10, 7, 32, 8, 4, 32, 3}, R420ZB);
    EXPECT_EQ(opened.model.value(LinkNumber::T0), 0);
    EXPECT_EQ(opened.model.range(LinkNumber::T0), (NumberRange{0, 30000}));
    EXPECT_FALSE(opened.model.enabled(LinkNumber::T0));
    EXPECT_EQ(opened.saved()[4], 0);

    opened.model.setDefaults();
    EXPECT_EQ(opened.model.value(LinkNumber::T0), 0);
    EXPECT_EQ(opened.saved(), (Words{31, 10, 10, 7, 0, 8, 4, 32, 3}));

    Opened za({31, 10, 10, 7, 32, 8, 4, 32, 3}, R420ZA);
    EXPECT_EQ(za.model.range(LinkNumber::T0), (NumberRange{500, 30000}));
    EXPECT_TRUE(za.model.enabled(LinkNumber::T0));
}

TEST(LinkModel, PacketSizeIsEditableOnlyInTheFullServiceLevelAndResetInEvery)
{
    for (AccessLevel level : Levels) {
        Opened opened({0, 0, 0, 0, 0, 0, 0, 0, 0x00F0}, R420ZA, level);
        EXPECT_EQ(opened.model.enabled(LinkNumber::N1), level == LevelFull) << level;
        opened.model.setDefaults();
        EXPECT_EQ(opened.model.value(LinkNumber::N1), 512) << level;
        EXPECT_EQ(opened.saved(), (Words{31, 10, 10, 7, 32, 8, 4, 32, 0x00F3})) << level;
        EXPECT_EQ(opened.model.lossTime(), 11000);
    }
}

TEST(LinkModel, NumbersAreStoredInTheirUnitsAndShownAsEntered)
{
    struct Case {
        LinkNumber field;
        int value;
        int shown;
        std::uint16_t word;
    };
    const std::vector<Case> cases{
        {LinkNumber::N1, 64, 64, 3},       {LinkNumber::N1, 512, 512, 31},
        {LinkNumber::N1, 100, 100, 5},     {LinkNumber::N2, 255, 255, 255},
        {LinkNumber::N4, 15, 15, 15},      {LinkNumber::T0, 500, 500, 16},
        {LinkNumber::T1, 130, 130, 4},     {LinkNumber::T2, 30000, 30000, 960},
        {LinkNumber::T3, 1031, 1031, 32},
        // Outside the range only the nearer bound is ever stored.
        {LinkNumber::N1, 48, 64, 3},       {LinkNumber::N1, 4096, 512, 31},
        {LinkNumber::N4, 16, 15, 15},      {LinkNumber::T2, 31968, 30000, 960},
        {LinkNumber::T0, 0, 500, 16},
    };
    for (const Case& c : cases) {
        Opened opened({0, 0, 0, 0, 0, 0, 0, 0, 0});
        opened.model.setNumber(c.field, c.value);
        EXPECT_EQ(opened.model.value(c.field), c.shown) << c.value;
        EXPECT_EQ(opened.saved()[static_cast<std::size_t>(c.field)], c.word) << c.value;
    }
}

TEST(LinkModel, LossTimeIsT3TimesN3PlusOne)
{
    Opened opened({31, 10, 10, 7, 32, 8, 4, 32, 3});
    EXPECT_EQ(opened.model.lossTime(), 11000);
    opened.model.setNumber(LinkNumber::N3, 3);
    EXPECT_EQ(opened.model.lossTime(), 4000);
    // T3 as the field shows it, not as its ticks would show it.
    opened.model.setNumber(LinkNumber::T3, 1030);
    EXPECT_EQ(opened.model.lossTime(), 4120);
    EXPECT_EQ(linkLossTime(30000, 255), 7680000);
}

TEST(LinkModel, EachFlagSetsAndClearsItsOwnBit)
{
    Opened opened({3, 1, 1, 1, 16, 4, 4, 4, 0xA5A4});
    EXPECT_FALSE(opened.model.flag(LinkFlag::Ack));
    EXPECT_FALSE(opened.model.flag(LinkFlag::Tmode));
    opened.model.setFlag(LinkFlag::Tmode, true);
    EXPECT_EQ(opened.saved()[8], 0xA5A6);
    opened.model.setFlag(LinkFlag::Ack, true);
    EXPECT_EQ(opened.saved()[8], 0xA5A7);
    opened.model.setFlag(LinkFlag::Tmode, false);
    EXPECT_EQ(opened.saved()[8], 0xA5A5);
    EXPECT_TRUE(opened.model.flag(LinkFlag::Ack));
}

TEST(LinkModel, PayloadIsTheWorkingCopyInRecordOrder)
{
    Opened opened({0x1234, 0x00AB, 10, 7, 32, 8, 4, 32, 0xA5A4});
    opened.model.setNumber(LinkNumber::N2, 200);
    Block payload{};
    EXPECT_EQ(opened.model.payloadSize(), 18);
    opened.model.writePayload(payload.data());
    EXPECT_EQ(payload, blockOf({0x14, 200, 10, 7, 32, 8, 4, 32, 0xA5A4}));
}
