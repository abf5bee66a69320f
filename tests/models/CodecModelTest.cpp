#include <array>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "models/CodecModel.h"
#include "support/BlockWords.h"

namespace {

using Block = std::array<std::uint8_t, 22>;
using Identity = std::array<std::uint8_t, 12>;

constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;
constexpr std::uint16_t UnknownZA = 0x3000;

Block filled(std::uint8_t byte)
{
    Block block;
    block.fill(byte);
    return block;
}

// A codec block and the controller it belongs to, opened as the main window opens the editor.
struct Opened {
    Opened(std::uint16_t typeWord, Block stored, AccessLevel level = LevelFull)
        : identity(identityOf(typeWord))
        , block(stored)
        , model(CodecInputs{level, identity.data(), block.data()})
    {
        model.LoadBlock();
    }

    Identity identity;
    Block block;
    CodecModel model;
};

std::array<std::uint8_t, 2> payloadOf(const CodecModel& model)
{
    std::array<std::uint8_t, 2> payload{0xAA, 0xAA};
    model.writePayload(payload.data());
    return payload;
}

} // namespace

TEST(CodecGainText, ShortestDecimalFormWithPlusAboveZero)
{
    struct Case {
        CodecField gain;
        int code;
        const char* usEnglish;
        const char* russian;
    };
    constexpr CodecField In = CodecField::In1;
    constexpr CodecField Out = CodecField::Out2;
    const std::vector<Case> cases{
        {In, 0, "-34.5", "-34,5"}, {In, 1, "-33", "-33"},
        {In, 22, "-1.5", "-1,5"},  {In, 23, "0", "0"},
        {In, 24, "+1.5", "+1,5"},  {In, 25, "+3", "+3"},
        {In, 31, "+12", "+12"},    {Out, 48, "-73", "-73"},
        {Out, 120, "-1", "-1"},    {Out, 121, "0", "0"},
        {Out, 122, "+1", "+1"},    {Out, 127, "+6", "+6"},
        {Out, 47, "Откл.", "Откл."}, {Out, 0, "Откл.", "Откл."},
    };
    for (const Case& c : cases) {
        const Field& gain = codecField(c.gain);
        {
            const LocaleGuard english(LocaleGuard::usEnglish());
            EXPECT_EQ(shownText(gain, c.code, {}), QString::fromUtf8(c.usEnglish)) << c.code;
        }
        const LocaleGuard russian(LocaleGuard::russian());
        EXPECT_EQ(shownText(gain, c.code, {}), QString::fromUtf8(c.russian)) << c.code;
    }
}

TEST(CodecGainSliders, PositionsRunFromTheHighestCodeAtTheTop)
{
    struct Case {
        CodecField gain;
        int position;
        int code;
    };
    const std::vector<Case> cases{
        {CodecField::In1, 0, 31},   {CodecField::In1, 8, 23},    {CodecField::In2, 31, 0},
        {CodecField::Out1, 48, 127}, {CodecField::Out1, 54, 121}, {CodecField::Out2, 127, 48},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(levelAt(codecField(c.gain), c.position), c.code);
        EXPECT_EQ(levelPosition(codecField(c.gain), c.code), c.position);
    }
}

TEST(CodecSampleRate, ByteOfEachChoiceByModel)
{
    const std::array<QString, 6> texts{
        QStringLiteral("96/96 кГц"),   QStringLiteral("48/48 кГц"), QStringLiteral("32/32 кГц"),
        QStringLiteral("  8/8   кГц"), QStringLiteral("48/8  кГц"), QStringLiteral("8/48  кГц")};
    const std::array<std::uint8_t, 6> r410{0x1E, 0x02, 0x1A, 0x0E, 0x06, 0x0A};
    const std::array<std::uint8_t, 6> r420{0x1D, 0x01, 0x19, 0x0D, 0x05, 0x09};
    EXPECT_EQ(sampleRateTexts(), texts);
    for (int item = 0; item < SampleRateCount; ++item) {
        EXPECT_EQ(sampleRateByte(item, 1), r410[item]) << item;
        EXPECT_EQ(sampleRateByte(item, 2), r420[item]) << item;
        for (int otherModel : {0, 3, 15})
            EXPECT_EQ(sampleRateByte(item, otherModel), 0) << item << " model " << otherModel;
    }
}

TEST(CodecSampleRate, ChoiceShownForAStoredByte)
{
    struct Case {
        std::uint8_t data;
        int model;
        int item;
    };
    const std::vector<Case> cases{
        {0x1E, 1, 0}, {0x9E, 1, 0}, {0x02, 1, 1}, {0x1A, 1, 2}, {0x0E, 1, 3}, {0x06, 1, 4},
        {0x0A, 1, 5}, {0x1D, 1, 1}, {0x55, 1, 1}, {0x1D, 2, 0}, {0x19, 2, 2}, {0x8D, 2, 3},
        {0x05, 2, 4}, {0x09, 2, 5}, {0x1E, 2, 1}, {0x1E, 3, 1}, {0x00, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sampleRateItemOf(c.data, c.model), c.item)
            << std::hex << int(c.data) << " model " << c.model;
}

TEST(CodecCaption, ModelNameAndEdition)
{
    const std::vector<std::pair<std::uint16_t, QString>> cases{
        {R410ZA, QStringLiteral("Аудио кодек (R-410ZA)")},
        {0x1001, QStringLiteral("Аудио кодек (R-410ZB)")},
        {R420ZA, QStringLiteral("Аудио кодек (R-420ZA)")},
        {R420ZB, QStringLiteral("Аудио кодек (R-420ZB)")},
        {UnknownZA, QStringLiteral("Аудио кодек (ZA)")},
        {0x0001, QStringLiteral("Аудио кодек (ZB)")},
    };
    for (const auto& [typeWord, caption] : cases)
        EXPECT_EQ(codecCaption(typeWord), caption) << std::hex << typeWord;
}

TEST(CodecLabels, ByEdition)
{
    const auto labels = [](std::uint16_t typeWord) {
        QStringList texts;
        for (CodecField gain : {CodecField::In1, CodecField::In2, CodecField::Out1, CodecField::Out2})
            texts.append(fieldLabel(codecField(gain), fieldContextOf(typeWord)));
        return texts;
    };
    EXPECT_EQ(labels(R410ZA), (QStringList{"Микрофон", "Доп. вход", "Гарнитура", "Регистратор"}));
    EXPECT_EQ(labels(R420ZB), (QStringList{"Приемник", "Доп. вход", "Микрофон", "Доп. выход"}));
}

TEST(CodecModel, LoadBlockNormalisesAndWritesTheFixedBytes)
{
    struct Case {
        const char* what;
        std::uint16_t typeWord;
        Block stored;
        Block working;
    };
    const std::vector<Case> cases{
        {"all zero on R-410", R410ZA, filled(0x00),
         {0x1E, 0x00, 0x0C, 0x20, 0x08, 0x10, 0x0A, 0x00, 0x10, 0x02, 0x00,
          0x00, 0x02, 0x00, 0x04, 0x00, 0x06, 0x00, 0x0E, 0x43, 0x12, 0x01}},
        {"all ones on R-420", R420ZA, filled(0xFF),
         {0x1E, 0x00, 0x0C, 0xFF, 0x08, 0xFF, 0x0A, 0xFF, 0x10, 0x01, 0x00,
          0x1F, 0x02, 0x1F, 0x04, 0x7F, 0x06, 0x7F, 0x0E, 0x43, 0x12, 0x01}},
        {"all ones on another model", UnknownZA, filled(0xFF),
         {0x1E, 0x00, 0x0C, 0xFF, 0x08, 0xFF, 0x0A, 0xFF, 0x10, 0x00, 0x00,
          0x1F, 0x02, 0x1F, 0x04, 0x7F, 0x06, 0x7F, 0x0E, 0x43, 0x12, 0x01}},
        {"a stored R-410 block with high bits and muted outputs", R410ZA,
         {0x1F, 0x55, 0x0D, 0x03, 0x09, 0x05, 0x0B, 0x0D, 0x11, 0x9E, 0x01,
          0xF7, 0x03, 0x20, 0x05, 0xB0, 0x07, 0x85, 0x0F, 0x00, 0x13, 0x00},
         {0x1E, 0x00, 0x0C, 0x23, 0x08, 0x15, 0x0A, 0x0D, 0x10, 0x1E, 0x00,
          0x17, 0x02, 0x00, 0x04, 0x30, 0x06, 0x05, 0x0E, 0x43, 0x12, 0x01}},
    };
    for (const Case& c : cases) {
        const Opened opened(c.typeWord, c.stored);
        EXPECT_EQ(opened.model.workingCopy(), c.working) << c.what;
        EXPECT_EQ(opened.block, c.stored) << c.what << ": opening does not write the record";
    }
}

TEST(CodecModel, ControlsShowTheStoredBits)
{
    struct Case {
        std::uint8_t analogPath;
        std::uint8_t digitalPath;
        std::uint8_t powerDown;
        bool microphoneInput, muted, boosted, highPass;
        int deemphasis;
        bool linePowered, microphonePowered;
    };
    const std::vector<Case> cases{
        {0x00, 0x00, 0x00, false, false, false, true, 0, true, true},
        {0x04, 0x01, 0x01, true, false, false, false, 0, false, true},
        {0x02, 0x02, 0x02, false, true, false, true, 1, true, false},
        {0x01, 0x04, 0x03, false, false, true, true, 2, false, false},
        {0x07, 0x07, 0x00, true, true, true, false, 3, true, true},
    };
    for (const Case& c : cases) {
        Block stored = filled(0x00);
        stored[3] = c.powerDown;
        stored[5] = c.analogPath;
        stored[7] = c.digitalPath;
        const Opened opened(R410ZA, stored);
        const CodecModel& model = opened.model;
        EXPECT_EQ(model.value(CodecField::Input), c.microphoneInput ? 1 : 0) << int(c.analogPath);
        EXPECT_EQ(model.value(CodecField::MicMute), c.muted ? 1 : 0) << int(c.analogPath);
        EXPECT_EQ(model.value(CodecField::MicBoost), c.boosted ? 1 : 0) << int(c.analogPath);
        EXPECT_EQ(model.value(CodecField::HighPass), c.highPass ? 1 : 0) << int(c.digitalPath);
        EXPECT_EQ(model.value(CodecField::Deemphasis), c.deemphasis) << int(c.digitalPath);
        EXPECT_EQ(model.value(CodecField::LinePower), c.linePowered ? 1 : 0) << int(c.powerDown);
        EXPECT_EQ(model.value(CodecField::MicPower), c.microphonePowered ? 1 : 0) << int(c.powerDown);
    }
}

TEST(CodecModel, DefaultsByModel)
{
    struct Case {
        std::uint16_t typeWord;
        std::uint8_t sampleRate;
    };
    for (const Case& c : {Case{R410ZA, 0x02}, Case{R420ZB, 0x01}, Case{UnknownZA, 0x00}}) {
        Opened opened(c.typeWord, filled(0xFF));
        opened.model.setDefaults();
        const Block expected{0x1E, 0x00, 0x0C, 0x22, 0x08, 0x12, 0x0A, 0x00, 0x10, c.sampleRate, 0x00,
                             0x17, 0x02, 0x17, 0x04, 0x79, 0x06, 0x79, 0x0E, 0x43, 0x12, 0x01};
        EXPECT_EQ(opened.model.workingCopy(), expected) << std::hex << c.typeWord;
        EXPECT_EQ(opened.model.value(CodecField::SampleRate), DefaultSampleRate);
        EXPECT_EQ(opened.block, filled(0xFF)) << "the record is not touched";
    }
}

TEST(CodecModel, EachChangeWritesItsRegisterAndPushesIt)
{
    struct Case {
        const char* handler;
        std::function<CodecRegister(CodecModel&)> change;
        CodecRegister reg;
        std::uint8_t data;
    };
    const std::vector<Case> cases{
        {"RxLev_1 top", [](CodecModel& m) { return m.set(CodecField::In1, 31); }, LeftLineInput, 0x1F},
        {"RxLev_2 bottom", [](CodecModel& m) { return m.set(CodecField::In2, 0); }, RightLineInput, 0x00},
        {"TxLev_1 top", [](CodecModel& m) { return m.set(CodecField::Out1, 127); }, LeftHeadphone, 0x7F},
        {"TxLev_2 bottom", [](CodecModel& m) { return m.set(CodecField::Out2, 48); }, RightHeadphone, 0x30},
        {"Sample 96/96", [](CodecModel& m) { return m.set(CodecField::SampleRate, 0); }, SampleRate, 0x1E},
        {"Sample 8/48", [](CodecModel& m) { return m.set(CodecField::SampleRate, 5); }, SampleRate, 0x0A},
        {"DEEMP 48 kHz", [](CodecModel& m) { return m.set(CodecField::Deemphasis, 3); }, DigitalPath, 0x06},
        {"DEEMP 32 kHz", [](CodecModel& m) { return m.set(CodecField::Deemphasis, 1); }, DigitalPath, 0x02},
        {"ADCHP unticked", [](CodecModel& m) { return m.set(CodecField::HighPass, 0); }, DigitalPath, 0x01},
        {"MicBoost ticked", [](CodecModel& m) { return m.set(CodecField::MicBoost, 1); }, AnalogPath, 0x13},
        {"MicMute unticked", [](CodecModel& m) { return m.set(CodecField::MicMute, 0); }, AnalogPath, 0x10},
        {"INSEL microphone", [](CodecModel& m) { return m.set(CodecField::Input, 1); }, AnalogPath, 0x16},
        {"PwrLine unticked", [](CodecModel& m) { return m.set(CodecField::LinePower, 0); }, PowerDown, 0x23},
        {"PwrMic ticked", [](CodecModel& m) { return m.set(CodecField::MicPower, 1); }, PowerDown, 0x20},
    };
    for (const Case& c : cases) {
        Opened opened(R410ZA, filled(0x00));
        CodecModel& model = opened.model;
        model.setDefaults();
        const CodecRegister changed = c.change(model);
        EXPECT_EQ(changed, c.reg) << c.handler;
        EXPECT_EQ(model.data(c.reg), c.data) << c.handler;
        model.setPending(changed);
        EXPECT_EQ(payloadOf(model), (std::array<std::uint8_t, 2>{std::uint8_t(c.reg * 2), c.data}))
            << c.handler;
    }
}

TEST(CodecModel, SampleRateIsSelectableOnlyInTheFullServiceLevel)
{
    for (AccessLevel level : {LevelUser, LevelFirmware, LevelTrace, LevelBoard, LevelFull}) {
        const Opened opened(R410ZA, filled(0x00), level);
        EXPECT_EQ(opened.model.sampleRateSelectable(), level == LevelFull) << level;
    }
}

TEST(CodecModel, SaveWritesTheWholeWorkingCopy)
{
    Opened opened(R420ZB, filled(0xFF));
    opened.model.set(CodecField::In1, 5);
    opened.model.save();
    EXPECT_EQ(opened.block, opened.model.workingCopy());
    EXPECT_EQ(opened.block[11], 0x05);
}
