#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/BlockWords.h"

#include "models/NetModel.h"

namespace {

using Block = std::array<std::uint8_t, 44>;
using Words = std::array<std::uint16_t, 22>;
using Identity = std::array<std::uint8_t, 12>;
using Board = std::array<std::uint8_t, 90>;

constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;
constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R410ZB = 0x1001;

constexpr NumberRange HostFirstOctet{0, 223};

// Gateway, mask, address, port, remote address, remote port, ToS, TTL.
constexpr Words DemoZA{192, 168, 1, 1, 255, 255, 255, 0, 192, 168, 1, 10, 0x75, 0x3A,
                       192, 168, 1, 11, 0x75, 0x3A, 0, 128};

// The block as the record keeps it: each word most significant byte first.
Block blockOf(const Words& words)
{
    return blockFromWords<Block>(words);
}

Words wordsOf(const Block& block)
{
    return wordsFromBlock<Words>(block);
}

// A network block and the controller it belongs to, opened as the main window opens the editor.
struct Opened {
    explicit Opened(const Words& stored, std::uint16_t typeWord = R420ZA, const Board& board = {})
        : identity(identityOf(typeWord))
        , block(blockOf(stored))
        , board(board)
        , model(NetInputs{identity.data(), block.data(), this->board.data()})
    {
        model.LoadBlock();
    }

    // What "Сохранить" leaves in the record.
    Words saved()
    {
        model.save();
        return wordsOf(block);
    }

    Identity identity;
    Block block;
    Board board;
    NetModel model;
};

Words openedAndSaved(const Words& stored, std::uint16_t typeWord, int times)
{
    Words words = stored;
    for (int i = 0; i < times; ++i)
        words = Opened(words, typeWord).saved();
    return words;
}

} // namespace

TEST(NetRules, PortIsTheHighWordShiftedBy8OrTheLowWord)
{
    // Each port field reads its two words the same way.
    const auto portOf = [](NetPort port, std::uint16_t high, std::uint16_t low) {
        const Field& field = netField(port);
        Words words{};
        words[static_cast<std::size_t>(field.place.word)] = high;
        words[static_cast<std::size_t>(field.place.word) + 1] = low;
        return shownValue(field, fieldContextOf(0x2000, words));
    };
    for (const NetPort port : {NetPort::Port, NetPort::PortDst}) {
        EXPECT_EQ(portOf(port, 0x75, 0x3A), 30010);
        EXPECT_EQ(portOf(port, 0, 0), 0);
        EXPECT_EQ(portOf(port, 0xFF, 0xFF), 65535);
        // Nothing masks the words: stray high bytes make ports beyond any field.
        EXPECT_EQ(portOf(port, 0x0175, 0x003A), 0x1753A);
        EXPECT_EQ(portOf(port, 0x0004, 0x1201), 0x1201 | 0x0400);
        EXPECT_EQ(portOf(port, 0xFFFF, 0xFFFF), 0xFFFFFF);
    }
}

TEST(NetRules, PrecedenceAndFlagsChangeTheTosWordByTheirMasks)
{
    const std::array<const Field*, 3> flags{&netField(TosFlag::LowDelay),
                                            &netField(TosFlag::Throughput),
                                            &netField(TosFlag::Reliability)};
    struct Case {
        std::uint16_t before;
        int flag; // -1: the precedence
        int set;  // the precedence, or 1/0 for a ticked/unticked box
        std::uint16_t after;
    };
    const std::vector<Case> cases{
        {0x0000, -1, 5, 0x0005},
        {0xAB3D, -1, 2, 0x003A}, // bits 8-15 go, bits 3-7 stay
        {0x00FF, -1, 0, 0x00F8},
        {0xAB3D, 0, 1, 0xAB3D},  // ticking only ORs its bit
        {0xAB35, 0, 1, 0xAB3D},
        {0xAB3D, 0, 0, 0x0035},  // 0x00F7
        {0xAB3D, 1, 0, 0x002D},  // 0x00EF
        {0xAB3D, 2, 0, 0x001D},  // 0x00DF
        {0xFF00, 1, 1, 0xFF10},
        {0xFFFF, 2, 0, 0x00DF},
        {0x0000, 2, 0, 0x0000},
    };
    for (const Case& c : cases) {
        const std::uint16_t after =
            c.flag < 0 ? withPrecedence(c.before, c.set)
                       : withTosFlag(c.before, *flags[static_cast<std::size_t>(c.flag)], c.set != 0);
        EXPECT_EQ(after, c.after) << std::hex << c.before << " " << c.flag << " " << c.set;
    }
}

TEST(NetRules, TosTablesReadAsTheWindowShowsThem)
{
    EXPECT_EQ(precedenceItems(),
              (QStringList{"обычный [000]", "приоритетный [001]", "незамедлительно [010]",
                           "срочно [011]", "сверхсрочно [100]", "CRITIC/ECP [101]",
                           "межсетевое управление [110]", "управление сетью [111]"}));
    std::vector<std::tuple<QString, QString, int>> flags;
    for (TosFlag flag : {TosFlag::LowDelay, TosFlag::Throughput, TosFlag::Reliability}) {
        const Field& rule = netField(flag);
        flags.emplace_back(QString::fromLatin1(rule.control), rule.label, rule.place.mask);
    }
    EXPECT_EQ(flags, (std::vector<std::tuple<QString, QString, int>>{
                         {"Tos3", "Малая задержка [3]", 8},
                         {"Tos4", "Высокая пропускная способность [4]", 16},
                         {"Tos5", "Высокая надежность [5]", 32}}));
}

TEST(NetRules, GroupCaptionsNameTheModelAndEdition)
{
    struct Case {
        std::uint16_t typeWord;
        const char* local;
        const char* remote;
    };
    const std::vector<Case> cases{
        {R420ZA, "Контроллер R-420ZA", "Удаленный контроллер R-420ZB"},
        {0x2661, "Контроллер R-420ZB", "Удаленный контроллер R-420ZB"},
        {R410ZA, "Контроллер R-410ZA", "Удаленный контроллер R-410ZB"},
        {R410ZB, "Контроллер R-410ZB", "Удаленный контроллер R-410ZB"},
        // No model name for a model code other than 1 and 2.
        {0x3000, "Контроллер ZA", "Удаленный контроллер ZB"},
        {0x0001, "Контроллер ZB", "Удаленный контроллер ZB"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(localGroupCaption(c.typeWord), QString::fromUtf8(c.local)) << c.typeWord;
        EXPECT_EQ(remoteGroupCaption(c.typeWord), QString::fromUtf8(c.remote)) << c.typeWord;
    }
}

TEST(NetModel, OpeningAValidBlockKeepsEveryWordAndTellsNothing)
{
    Words stored = DemoZA;
    stored[NetModel::TosWord] = 0xFF3D; // the ToS word stays as stored, bits 8-15 too
    Opened opened(stored);
    EXPECT_TRUE(opened.model.takeCorrections().empty());
    EXPECT_EQ(opened.model.octets(NetAddress::Ip), (Octets{192, 168, 1, 10}));
    EXPECT_EQ(opened.model.octets(NetAddress::Gate), (Octets{192, 168, 1, 1}));
    EXPECT_EQ(opened.model.octets(NetAddress::Mask), (Octets{255, 255, 255, 0}));
    EXPECT_EQ(opened.model.octets(NetAddress::IpDst), (Octets{192, 168, 1, 11}));
    EXPECT_EQ(opened.model.port(NetPort::Port), 30010);
    EXPECT_EQ(opened.model.port(NetPort::PortDst), 30010);
    EXPECT_EQ(opened.model.timeToLive(), 128);
    EXPECT_EQ(opened.model.precedence(), 5);
    EXPECT_TRUE(opened.model.tosFlag(TosFlag::LowDelay));
    EXPECT_TRUE(opened.model.tosFlag(TosFlag::Throughput));
    EXPECT_TRUE(opened.model.tosFlag(TosFlag::Reliability));
    EXPECT_EQ(opened.saved(), stored);
}

TEST(NetModel, ABlankBlockOpensWithBothPortsCorrectedTo1025)
{
    Opened opened(Words{});
    EXPECT_EQ(opened.model.takeCorrections(), (std::vector<NumberRange>{PortRange, PortRange}));
    EXPECT_TRUE(opened.model.takeCorrections().empty()) << "told once";
    EXPECT_EQ(opened.model.port(NetPort::Port), 1025);
    Words expected{};
    expected[12] = 4;
    expected[13] = 1;
    expected[18] = 4;
    expected[19] = 1;
    EXPECT_EQ(opened.saved(), expected);
}

TEST(NetModel, OpeningCorrectsEveryFieldOutsideItsRangeInTheWindowsOrder)
{
    struct Case {
        const char* what;
        std::size_t word;
        std::uint16_t stored;
        std::vector<NumberRange> told;
        std::uint16_t saved;
    };
    const std::vector<Case> cases{
        {"gateway 230", 0, 230, {HostFirstOctet}, 223},
        {"mask 255 is its limit", 4, 255, {}, 255},
        {"address 224", 8, 224, {HostFirstOctet}, 223},
        {"remote address 0xFF", 14, 0xFF, {HostFirstOctet}, 223},
        {"an octet is its word's low byte", 9, 0x0140, {}, 0x40},
        {"the first octet too", 8, 0x01DF, {}, 0xDF},
        {"a high byte over 223", 0, 0x02E0, {HostFirstOctet}, 223},
        {"the time to live is its low byte", 21, 0x1234, {}, 0x34},
        {"a port high byte above 0xFF", 12, 0x0175, {PortRange}, 0xFF},
        {"a port below 1025", 12, 0x0000, {PortRange}, 0x04},
    };
    for (const Case& c : cases) {
        Words stored = DemoZA;
        stored[c.word] = c.stored;
        Opened opened(stored);
        EXPECT_EQ(opened.model.takeCorrections(), c.told) << c.what;
        EXPECT_EQ(opened.saved()[c.word], c.saved) << c.what;
    }

    // Own address, gateway, mask, own port, remote address, remote port.
    Words stored = DemoZA;
    stored[0] = 250;  // gateway
    stored[8] = 240;  // address
    stored[12] = 0;   // port 0x3A
    stored[14] = 230; // remote address
    stored[18] = 0xFFFF;
    Opened opened(stored);
    EXPECT_EQ(opened.model.takeCorrections(),
              (std::vector<NumberRange>{HostFirstOctet, HostFirstOctet, PortRange, HostFirstOctet,
                                        PortRange}));
    const Words saved = opened.saved();
    EXPECT_EQ(saved[12], 4);
    EXPECT_EQ(saved[13], 1);
    EXPECT_EQ(saved[18], 0xFF);
    EXPECT_EQ(saved[19], 0xFF);
}

TEST(NetModel, OddBlocksSettleAtTheFirstOpening)
{
    std::vector<Words> odd{Words{}, DemoZA};
    Words ones{};
    ones.fill(0xFFFF);
    odd.push_back(ones);
    Words high{};
    high.fill(0x8000);
    odd.push_back(high);
    Words pattern{};
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<std::uint16_t>(0x1357 * (i + 1));
    odd.push_back(pattern);
    Words edges{224, 0, 0, 0, 256, 511, 0, 0, 223, 255, 255, 255, 0x00FF, 0x00FF,
                0x0100, 1, 2, 3, 0x0004, 0x0000, 0xFFFF, 0x0100};
    odd.push_back(edges);
    Words justUnder{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x00, 0, 0, 0, 0, 0x03, 0xFF, 7, 0};
    odd.push_back(justUnder);

    for (std::uint16_t typeWord : {R420ZA, R420ZB, R410ZB, std::uint16_t{0xF0F1}}) {
        for (const Words& stored : odd) {
            const Words once = openedAndSaved(stored, typeWord, 1);
            EXPECT_EQ(openedAndSaved(stored, typeWord, 2), once)
                << "word 0 " << stored[0] << ", type word " << typeWord;
            EXPECT_TRUE(Opened(once, typeWord).model.takeCorrections().empty());
            for (NetAddress address : {NetAddress::Ip, NetAddress::Gate, NetAddress::Mask, NetAddress::IpDst}) {
                const Field& rule = netField(address);
                for (std::size_t octet = 0; octet < 4; ++octet) {
                    const std::uint16_t word = once[static_cast<std::size_t>(rule.place.word) + octet];
                    EXPECT_LE(word, octetLimits(rule)[octet]) << rule.control << octet;
                }
            }
            for (NetPort portField : {NetPort::Port, NetPort::PortDst}) {
                const Field& rule = netField(portField);
                const auto high = static_cast<std::size_t>(rule.place.word);
                EXPECT_LE(once[high], 0xFF);
                EXPECT_LE(once[high + 1], 0xFF);
                const int port = shownValue(rule, fieldContextOf(typeWord, once));
                EXPECT_GE(port, 1025) << rule.control;
                EXPECT_LE(port, 65535) << rule.control;
            }
            EXPECT_LE(once[NetModel::TimeToLiveWord], 255);
            EXPECT_EQ(once[NetModel::TosWord], stored[NetModel::TosWord]);
        }
    }
}

TEST(NetModel, SettersStoreTheNearerBoundOutsideTheRange)
{
    Opened opened(DemoZA);
    opened.model.setPort(NetPort::Port, 70000);
    opened.model.setPort(NetPort::PortDst, 80);
    opened.model.setOctet(NetAddress::Ip, 2, 300);
    opened.model.setOctet(NetAddress::Gate, 0, 230);
    opened.model.setOctet(NetAddress::Mask, 0, 255);
    opened.model.setTimeToLive(300);
    const Words saved = opened.saved();
    EXPECT_EQ(saved[12], 0xFF);
    EXPECT_EQ(saved[13], 0xFF);
    EXPECT_EQ(saved[18], 0x04);
    EXPECT_EQ(saved[19], 0x01);
    EXPECT_EQ(saved[10], 255);
    EXPECT_EQ(saved[0], 223);
    EXPECT_EQ(saved[4], 255);
    EXPECT_EQ(saved[21], 255);
}

TEST(NetModel, DefaultsFollowTheEditionAndClearTheTosWord)
{
    Words stored{};
    stored.fill(0x5A5A);
    Opened za(stored, R420ZA);
    za.model.setDefaults();
    EXPECT_TRUE(za.model.takeCorrections().empty());
    EXPECT_EQ(za.saved(), DemoZA);

    Opened zb(stored, R410ZB);
    zb.model.setDefaults();
    EXPECT_EQ(zb.saved(), (Words{192, 168, 1, 1, 255, 255, 255, 0, 192, 168, 1, 11, 0x75, 0x3A, 0,
                                 0, 0, 0, 0x75, 0x3A, 0, 128}));
}

TEST(NetModel, HardwareAddressComesFromTheBoardBlockInRecordOrder)
{
    Board board{};
    // Words 0 to 5 as the record keeps them, most significant byte first.
    const std::array<std::uint8_t, 12> words{0x00, 0x00, 0x12, 0x1A, 0x00, 0x2B,
                                             0xFF, 0x3C, 0x00, 0x4D, 0x00, 0xE5};
    std::copy(words.begin(), words.end(), board.begin());
    Opened opened(DemoZA, R420ZA, board);
    EXPECT_EQ(opened.model.hardwareAddress(), QStringLiteral("00-1A-2B-3C-4D-E5"));
}

TEST(NetModel, RemoteGroupIsShownForEditionZaOnly)
{
    EXPECT_TRUE(Opened(DemoZA, R420ZA).model.remoteShown());
    EXPECT_TRUE(Opened(DemoZA, R410ZA).model.remoteShown());
    EXPECT_FALSE(Opened(DemoZA, R420ZB).model.remoteShown());
    EXPECT_FALSE(Opened(DemoZA, R410ZB).model.remoteShown());
}

TEST(NetModel, PayloadIsTheWorkingCopyInRecordOrder)
{
    Opened opened(DemoZA);
    opened.model.setOctet(NetAddress::Ip, 3, 77);
    opened.model.setPrecedence(3);
    std::array<std::uint8_t, 44> payload{};
    ASSERT_EQ(opened.model.payloadSize(), 44);
    opened.model.writePayload(payload.data());
    Words expected = DemoZA;
    expected[11] = 77;
    expected[20] = 3;
    EXPECT_EQ(payload, blockOf(expected));
    EXPECT_EQ(wordsOf(opened.block), DemoZA) << "the record waits for \"Сохранить\"";
}
