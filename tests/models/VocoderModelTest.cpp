#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "support/BlockWords.h"

#include "models/VocoderModel.h"

namespace {

using Block = std::array<std::uint8_t, 12>;
using Identity = std::array<std::uint8_t, 12>;
using Words = std::array<int, 6>;

// The label of the buffer size as the window shows it for the model's words.
QString bufferLabelOf(const VocoderModel& model)
{
    return fieldLabel(vocoderField(VocoderList::JBufTime), model.fieldContext());
}

constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R410ZB = 0x1001;
constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;

// Six words as the record stores them: most significant byte first.
Block blockOf(const Words& words)
{
    return blockFromWords<Block>(words);
}

Block filled(std::uint8_t byte)
{
    Block block;
    block.fill(byte);
    return block;
}

// A vocoder block and the controller it belongs to, opened as the main window opens the editor.
struct Opened {
    Opened(std::uint16_t typeWord, Block stored)
        : identity(identityOf(typeWord))
        , block(stored)
        , model(VocoderInputs{identity.data(), block.data()})
    {
        model.LoadBlock();
    }

    Words words() const
    {
        Words words{};
        for (int i = 0; i < 6; ++i)
            words[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(model.words()[static_cast<std::size_t>(i)]);
        return words;
    }
    Block saved()
    {
        model.save();
        return block;
    }

    Identity identity;
    Block block;
    VocoderModel model;
};

QStringList durations(int lastMs)
{
    QStringList texts;
    for (int ms = 0; ms <= lastMs; ms += 20)
        texts.append(QString::number(ms) + QStringLiteral(" мсек."));
    return texts;
}

// Every list, in block order.
constexpr std::array<VocoderList, VocoderListCount> AllLists{
    VocoderList::BitsMode, VocoderList::CtrlMode, VocoderList::RunMode,
    VocoderList::BitsTime, VocoderList::JBufMode, VocoderList::JBufTime};

} // namespace

TEST(VocoderLists, BitRateTextsByModel)
{
    const QStringList general{"6.0  кбит/с",  "7.2  кбит/с",  "8.0  кбит/с", "11.0  кбит/с",
                              "11.8  кбит/с", "15.0 кбит/с", "18.2 кбит/с"};
    const QStringList r410{"6.0 кбит/с",  "7.2 кбит/с",  "8.0 кбит/с", "11.0 кбит/с",
                           "11.8 кбит/с", "14.4 кбит/с", "17.6 кбит/с"};
    EXPECT_EQ(vocoderItems(VocoderList::BitsMode, 1, 2), r410);
    for (int model : {0, 2, 3, 15})
        EXPECT_EQ(vocoderItems(VocoderList::BitsMode, model, 2), general) << model;
}

TEST(VocoderLists, PacketDurationsHoldAtMost4000Bits)
{
    struct Case {
        int rateCode;
        int rate;
        int count;
        int lastMs;
    };
    const std::vector<Case> cases{
        {2, 6000, 34, 660},  {3, 7200, 28, 540},  {4, 8000, 26, 500},  {5, 11000, 19, 360},
        {6, 11800, 17, 320}, {7, 15000, 14, 260}, {8, 18200, 11, 200},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bitRateOf(c.rateCode), c.rate) << c.rateCode;
        EXPECT_EQ(durationCount(c.rateCode), c.count) << c.rateCode;
        // The list is the same for every model.
        for (int model : {1, 2})
            EXPECT_EQ(vocoderItems(VocoderList::BitsTime, model, c.rateCode), durations(c.lastMs))
                << c.rateCode;
    }
    // Codes outside 2..8 take the nearer end of the rate table.
    EXPECT_EQ(durationCount(-32768), 34);
    EXPECT_EQ(durationCount(32767), 11);
}

TEST(VocoderLists, FixedTextsAndBufferLabel)
{
    EXPECT_EQ(vocoderItems(VocoderList::CtrlMode, 2, 2), (QStringList{"Отключено", "Контроль РТТ"}));
    EXPECT_EQ(vocoderItems(VocoderList::RunMode, 2, 2), (QStringList{"Постоянно", "VAD", "VBR"}));
    EXPECT_EQ(vocoderItems(VocoderList::JBufMode, 2, 2),
              (QStringList{"Фиксированный", "Адаптивный"}));
    EXPECT_EQ(vocoderItems(VocoderList::JBufTime, 2, 2),
              (QStringList{"Откл.", "20 мсек.", "40 мсек.", "60 мсек.", "80 мсек.", "100 мсек.",
                           "120 мсек.", "140 мсек.", "160 мсек."}));
    EXPECT_EQ(bufferSizeLabel(0), QStringLiteral("Размер буфера "));
    EXPECT_EQ(bufferSizeLabel(1), QStringLiteral("Максимальный размер буфера "));
}

TEST(VocoderLoad, EveryWordIsLimitedToItsList)
{
    struct Case {
        const char* what;
        Words stored;
        Words opened;
    };
    const std::vector<Case> cases{
        {"in range", {5, 1, 2, 18, 1, 8}, {5, 1, 2, 18, 1, 8}},
        {"zero rate code", {0, 0, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 0}},
        {"rate code 12", {12, 0, 0, 3, 0, 3}, {8, 0, 0, 3, 0, 3}},
        {"negative words", {-1, -1, -1, -1, -1, -1}, {2, 0, 0, 0, 0, 0}},
        {"lowest words", {-32768, -32768, -32768, -32768, -32768, -32768}, {2, 0, 0, 0, 0, 0}},
        {"highest words", {32767, 32767, 32767, 32767, 32767, 32767}, {8, 1, 2, 10, 1, 8}},
        {"just above each list", {9, 2, 3, 11, 2, 9}, {8, 1, 2, 10, 1, 8}},
        {"duration beyond 6.0 kbit/s", {2, 0, 0, 34, 0, 0}, {2, 0, 0, 33, 0, 0}},
        {"duration kept at 6.0 kbit/s", {2, 0, 0, 33, 0, 0}, {2, 0, 0, 33, 0, 0}},
        // The durations follow the rate as limited, not as stored.
        {"duration under a limited rate", {99, 0, 0, 20, 0, 0}, {8, 0, 0, 10, 0, 0}},
        {"duration under a raised rate", {-5, 0, 0, 33, 0, 0}, {2, 0, 0, 33, 0, 0}},
    };
    for (const Case& c : cases) {
        for (std::uint16_t typeWord : {R420ZA, R420ZB, std::uint16_t{0x3000}, std::uint16_t{0x0000}}) {
            Opened opened(typeWord, blockOf(c.stored));
            EXPECT_EQ(opened.words(), c.opened) << c.what << " on " << std::hex << typeWord;
            EXPECT_EQ(opened.saved(), blockOf(c.opened)) << c.what;
        }
    }
}

TEST(VocoderLoad, R410SetsOnlyTheBitRate)
{
    const std::vector<Block> stored{filled(0x00), filled(0xFF), filled(0x7F), filled(0x80),
                                    blockOf({5, 1, 2, 18, 1, 8}), blockOf({12, -1, 7, 30, -3, 40})};
    for (std::uint16_t typeWord : {R410ZA, R410ZB}) {
        for (const Block& block : stored) {
            Opened opened(typeWord, block);
            const Words words = opened.words();
            const std::array<int, 5> settings{words[1], words[2], words[3], words[4], words[5]};
            EXPECT_EQ(settings, (std::array<int, 5>{0, 0, 1, 0, 0}));
            EXPECT_GE(words[0], 2);
            EXPECT_LE(words[0], 8);
            for (VocoderList list : AllLists)
                EXPECT_EQ(opened.model.enabled(list), list == VocoderList::BitsMode)
                    << vocoderField(list).control;
        }
    }
    Opened opened(R410ZA, blockOf({7, 1, 2, 18, 1, 8}));
    EXPECT_EQ(opened.model.items(VocoderList::BitsMode).at(opened.model.position(VocoderList::BitsMode)),
              QStringLiteral("14.4 кбит/с"));
    EXPECT_EQ(opened.saved(), blockOf({7, 0, 0, 1, 0, 0}));
}

TEST(VocoderLoad, OtherModelsEnableEveryList)
{
    for (std::uint16_t typeWord : {R420ZA, std::uint16_t{0x3000}, std::uint16_t{0xF001}}) {
        Opened opened(typeWord, filled(0));
        for (VocoderList list : AllLists)
            EXPECT_TRUE(opened.model.enabled(list)) << vocoderField(list).control;
    }
}

TEST(VocoderLoad, BufferLabelFollowsTheStoredMode)
{
    EXPECT_EQ(bufferLabelOf(Opened(R420ZA, blockOf({2, 0, 0, 0, 0, 0})).model), "Размер буфера ");
    EXPECT_EQ(bufferLabelOf(Opened(R420ZA, blockOf({2, 0, 0, 0, 1, 0})).model),
              "Максимальный размер буфера ");
    EXPECT_EQ(bufferLabelOf(Opened(R420ZA, blockOf({2, 0, 0, 0, 7, 0})).model),
              "Максимальный размер буфера ");
    EXPECT_EQ(bufferLabelOf(Opened(R420ZA, blockOf({2, 0, 0, 0, -7, 0})).model), "Размер буфера ");
}

// Whatever the block held, the bytes stored by opening and saving are what the editor shows, so
// opening them again and saving changes nothing.
TEST(VocoderLoad, SavingWhatWasOpenedIsStable)
{
    std::vector<Block> stored{filled(0x00), filled(0xFF), filled(0x80), filled(0x7F), filled(0x55),
                              blockOf({1, 2, 3, 40, 5, 9}), blockOf({8, 1, 2, 10, 1, 8}),
                              blockOf({-2, 32767, -32768, 11, 2, -9})};
    Block counting{};
    for (std::size_t i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<std::uint8_t>(0x11 * i);
    stored.push_back(counting);
    for (std::uint16_t typeWord :
         {R410ZA, R420ZA, R420ZB, std::uint16_t{0x0000}, std::uint16_t{0x3000}, std::uint16_t{0xFFFF}}) {
        for (const Block& block : stored) {
            const Block once = Opened(typeWord, block).saved();
            EXPECT_EQ(Opened(typeWord, once).saved(), once) << std::hex << typeWord;
            Opened shown(typeWord, once);
            for (VocoderList list : AllLists) {
                EXPECT_GE(shown.model.position(list), 0) << vocoderField(list).control;
                EXPECT_LT(shown.model.position(list), shown.model.itemCount(list))
                    << vocoderField(list).control;
            }
        }
    }
}

TEST(VocoderChoice, FasterRateCutsTheDurationsSlowerRateKeepsThem)
{
    Opened opened(R420ZA, blockOf({2, 1, 0, 0, 1, 2}));
    EXPECT_EQ(opened.model.items(VocoderList::BitsTime), durations(660));
    opened.model.choose(VocoderList::BitsTime, 25); // 500 ms
    EXPECT_EQ(opened.model.choose(VocoderList::BitsMode, 6), VocoderList::BitsMode); // 18.2
    EXPECT_EQ(opened.model.items(VocoderList::BitsTime), durations(200));
    EXPECT_EQ(opened.words(), (Words{8, 1, 0, 10, 1, 2}));

    opened.model.choose(VocoderList::BitsMode, 0); // back to 6.0: 200 ms stays chosen
    EXPECT_EQ(opened.model.items(VocoderList::BitsTime), durations(660));
    EXPECT_EQ(opened.words(), (Words{2, 1, 0, 10, 1, 2}));

    opened.model.choose(VocoderList::BitsTime, 25);
    opened.model.choose(VocoderList::BitsMode, 1); // 7.2: 500 ms is still in its list
    EXPECT_EQ(opened.words(), (Words{3, 1, 0, 25, 1, 2}));
    opened.model.choose(VocoderList::BitsMode, 3); // 11.0: up to 360 ms
    EXPECT_EQ(opened.words(), (Words{5, 1, 0, 18, 1, 2}));
}

TEST(VocoderChoice, EachListStoresItsPosition)
{
    Opened opened(R420ZA, filled(0));
    EXPECT_EQ(opened.model.choose(VocoderList::CtrlMode, 1), VocoderList::CtrlMode);
    EXPECT_EQ(opened.model.choose(VocoderList::RunMode, 2), VocoderList::RunMode);
    EXPECT_EQ(opened.model.choose(VocoderList::BitsTime, 7), VocoderList::BitsTime);
    EXPECT_EQ(opened.model.choose(VocoderList::JBufMode, 1), VocoderList::JBufMode);
    EXPECT_EQ(bufferLabelOf(opened.model), "Максимальный размер буфера ");
    EXPECT_EQ(opened.model.choose(VocoderList::JBufTime, 8), VocoderList::JBufTime);
    EXPECT_EQ(opened.model.choose(VocoderList::BitsMode, 4), VocoderList::BitsMode);
    EXPECT_EQ(opened.words(), (Words{6, 1, 2, 7, 1, 8}));
    opened.model.choose(VocoderList::JBufMode, 0);
    EXPECT_EQ(bufferLabelOf(opened.model), "Размер буфера ");
}

TEST(VocoderChoice, PositionOutsideTheListTakesTheNearerEnd)
{
    Opened opened(R420ZA, filled(0));
    for (VocoderList list : AllLists) {
        opened.model.choose(list, -1);
        EXPECT_EQ(opened.model.position(list), 0) << vocoderField(list).control;
        opened.model.choose(list, 1000);
        EXPECT_EQ(opened.model.position(list), opened.model.itemCount(list) - 1)
            << vocoderField(list).control;
    }
    EXPECT_EQ(opened.words(), (Words{8, 1, 2, 10, 1, 8}));
}

TEST(VocoderChoice, R410TakesOnlyTheBitRate)
{
    Opened opened(R410ZA, blockOf({2, 0, 0, 0, 0, 0}));
    for (VocoderList list : AllLists)
        opened.model.choose(list, 1);
    EXPECT_EQ(opened.words(), (Words{3, 0, 0, 1, 0, 0}));
}

TEST(VocoderDefaults, ByModelWithoutTouchingTheRecord)
{
    const Block stored = blockOf({3, 0, 2, 20, 0, 7});
    Opened r420(R420ZA, stored);
    r420.model.setDefaults();
    EXPECT_EQ(r420.words(), (Words{8, 1, 0, 2, 1, 2}));
    EXPECT_EQ(bufferLabelOf(r420.model), "Максимальный размер буфера ");
    EXPECT_EQ(r420.block, stored);

    Opened r410(R410ZA, stored);
    r410.model.setDefaults();
    EXPECT_EQ(r410.words(), (Words{8, 0, 0, 1, 0, 0}));
    EXPECT_EQ(r410.block, stored);
}

TEST(VocoderPayload, WholeWorkingCopyInRecordOrder)
{
    Opened opened(R420ZA, blockOf({4, 1, 2, 25, 1, 8}));
    opened.model.choose(VocoderList::JBufTime, 3);
    ASSERT_EQ(opened.model.payloadSize(), 12);
    Block payload = filled(0xAA);
    opened.model.writePayload(payload.data());
    EXPECT_EQ(payload, (Block{0, 4, 0, 1, 0, 2, 0, 25, 0, 1, 0, 3}));
}
