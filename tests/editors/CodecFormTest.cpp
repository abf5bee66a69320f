#include <functional>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include "LocaleGuard.h"
#include "editors/CodecForm.h"
#include "support/EditorBench.h"

using CodecForm = EditorBench;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R410ZB = 0x1001;
constexpr std::uint16_t R420ZA = 0x2000;

// Record byte of a register's data in the codec block.
int dataOffset(CodecRegister reg)
{
    for (std::size_t slot = 0; slot < CodecBlockOrder.size(); ++slot)
        if (CodecBlockOrder[slot] == reg)
            return Blocks::Codec.offset + 2 * static_cast<int>(slot) + 1;
    return -1;
}

std::uint8_t& dataIn(ConfigRecord& record, CodecRegister reg)
{
    return record.bytes[static_cast<std::size_t>(dataOffset(reg))];
}

QStringList nameLabels(QWidget* window)
{
    return {label(window, "LabelIn1")->text(), label(window, "LabelIn2")->text(),
            label(window, "LabelOut1")->text(), label(window, "LabelOut2")->text()};
}

} // namespace

TEST_F(CodecForm, CaptionAndNameLabelsFollowTheController)
{
    struct Case {
        std::uint16_t typeWord;
        QString caption;
        QStringList labels;
    };
    const std::vector<Case> cases{
        {R410ZA, QStringLiteral("Аудио кодек (R-410ZA)"),
         {"Микрофон", "Доп. вход", "Гарнитура", "Регистратор"}},
        {R410ZB, QStringLiteral("Аудио кодек (R-410ZB)"),
         {"Приемник", "Доп. вход", "Микрофон", "Доп. выход"}},
        {0x3001, QStringLiteral("Аудио кодек (ZB)"),
         {"Приемник", "Доп. вход", "Микрофон", "Доп. выход"}},
    };
    for (const Case& c : cases) {
        record.setTypeWord(c.typeWord);
        TFCodec* window = openCodec();
        EXPECT_EQ(window->windowTitle(), c.caption);
        EXPECT_EQ(nameLabels(window), c.labels) << c.caption.toStdString();
        click(button(window, "ButCancel"));
    }
}

TEST_F(CodecForm, EverySampleRateOfAnotherModelStoresZero)
{
    record.setTypeWord(0x3000);
    dataIn(record, SampleRate) = 0x1E;
    TFCodec* window = openCodec();
    showPage(window, QStringLiteral("Дополнительно"));
    for (const QString& text : sampleRateTexts()) {
        click(radioButton(window, "Sample", text));
        EXPECT_EQ(chosenIn(window, "Sample"), text);
    }
    click(button(window, "ButOk"));
    EXPECT_EQ(dataIn(record, SampleRate), 0x00);
}

TEST_F(CodecForm, StoredSampleRateWithBit7ShowsItsChoiceAndIsStoredClean)
{
    record.setTypeWord(R410ZA);
    dataIn(record, SampleRate) = 0x9E;
    TFCodec* window = openCodec(LevelUser);
    EXPECT_EQ(chosenIn(window, "Sample"), QStringLiteral("96/96 кГц"));
    EXPECT_FALSE(window->findChild<QGroupBox*>(QStringLiteral("Sample"))->isEnabled());
    click(button(window, "ButOk"));
    EXPECT_EQ(dataIn(record, SampleRate), 0x1E);
}

TEST_F(CodecForm, SampleRateIsEnabledOnlyInTheFullServiceLevel)
{
    for (AccessLevel level : {LevelUser, LevelFirmware, LevelTrace, LevelBoard, LevelFull}) {
        TFCodec* window = openCodec(level);
        EXPECT_EQ(window->findChild<QGroupBox*>(QStringLiteral("Sample"))->isEnabled(),
                  level == LevelFull)
            << level;
        click(button(window, "ButCancel"));
    }
}

TEST_F(CodecForm, OpeningFixesTheCommandBytesWhateverTheBlockHeld)
{
    std::fill_n(record.data(Blocks::Codec), Blocks::Codec.size, std::uint8_t{0xFF});
    TFCodec* window = openCodec();
    click(button(window, "ButOk"));
    const Bytes block = bytesOf(record, Blocks::Codec);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 2), (Bytes{0x1E, 0x00}));
    EXPECT_EQ(Bytes(block.begin() + 18, block.end()), (Bytes{0x0E, 0x43, 0x12, 0x01}));
}

TEST_F(CodecForm, GainSliderEndsShowAndStoreTheirCodes)
{
    struct Case {
        const char* slider;
        const char* value;
        Qt::Key key;
        const char* text;
        CodecRegister reg;
        std::uint8_t stored;
    };
    const std::vector<Case> cases{
        {"RxLev_1", "InLev1", Qt::Key_Home, "+12", LeftLineInput, 31},
        {"RxLev_1", "InLev1", Qt::Key_End, "-34,5", LeftLineInput, 0},
        {"RxLev_2", "InLev2", Qt::Key_End, "-34,5", RightLineInput, 0},
        {"TxLev_1", "OutLev1", Qt::Key_Home, "+6", LeftHeadphone, 127},
        {"TxLev_2", "OutLev2", Qt::Key_Home, "+6", RightHeadphone, 127},
        {"TxLev_2", "OutLev2", Qt::Key_End, "-73", RightHeadphone, 48},
    };
    const LocaleGuard russian(LocaleGuard::russian());
    for (const Case& c : cases) {
        TFCodec* window = openCodec();
        QTest::keyClick(slider(window, c.slider), c.key);
        EXPECT_EQ(label(window, c.value)->text(), QString::fromUtf8(c.text)) << c.slider;
        click(button(window, "ButOk"));
        EXPECT_EQ(dataIn(record, c.reg), c.stored) << c.slider;
    }
}

TEST_F(CodecForm, MutedOutputCodeIsShownAsOffAndKeptUntilTheSliderMoves)
{
    dataIn(record, LeftHeadphone) = 0x85;
    TFCodec* window = openCodec();
    EXPECT_EQ(label(window, "OutLev1")->text(), QStringLiteral("Откл."));
    EXPECT_EQ(slider(window, "TxLev_1")->value(), 127);
    click(button(window, "ButOk"));
    // The code stays; the bit outside the code is cleared like in every gain byte.
    EXPECT_EQ(dataIn(record, LeftHeadphone), 0x05);

    window = openCodec();
    QTest::keyClick(slider(window, "TxLev_1"), Qt::Key_Home);
    click(button(window, "ButOk"));
    EXPECT_EQ(dataIn(record, LeftHeadphone), 127);
}

TEST_F(CodecForm, MicrophoneInputIsShownAndKept)
{
    dataIn(record, AnalogPath) = 0x04;
    TFCodec* window = openCodec();
    EXPECT_EQ(chosenIn(window, "INSEL"), QStringLiteral("Микрофонный вход"));
    click(button(window, "ButOk"));
    EXPECT_EQ(dataIn(record, AnalogPath), 0x14);
}

TEST_F(CodecForm, EachControlOfTheExtraPageWritesItsRegister)
{
    struct Case {
        const char* what;
        std::function<QAbstractButton*(QWidget*)> control;
        CodecRegister reg;
        std::uint8_t stored;
    };
    // From all-zero registers: line input, no mute, no boost, filter and both inputs on.
    const std::vector<Case> cases{
        {"PwrMic", [](QWidget* w) { return checkBox(w, "PwrMic"); }, PowerDown, 0x22},
        {"PwrLine", [](QWidget* w) { return checkBox(w, "PwrLine"); }, PowerDown, 0x21},
        {"INSEL", [](QWidget* w) { return radioButton(w, "INSEL", QStringLiteral("Микрофонный вход")); },
         AnalogPath, 0x14},
        {"MicMute", [](QWidget* w) { return checkBox(w, "MicMute"); }, AnalogPath, 0x12},
        {"MicBoost", [](QWidget* w) { return checkBox(w, "MicBoost"); }, AnalogPath, 0x11},
        {"ADCHP", [](QWidget* w) { return checkBox(w, "ADCHP"); }, DigitalPath, 0x01},
        {"DEEMP", [](QWidget* w) { return radioButton(w, "DEEMP", QStringLiteral("44.1 кГц")); },
         DigitalPath, 0x04},
        {"Sample", [](QWidget* w) { return radioButton(w, "Sample", QStringLiteral("  8/8   кГц")); },
         SampleRate, 0x0E},
    };
    // A screen reader's toggle must reach the working copy as a click does.
    const std::pair<const char*, void (*)(QAbstractButton*)> ways[]{
        {"click", click}, {"accessible toggle", toggleAccessibly}};
    record.setTypeWord(R410ZA);
    for (const auto& [way, change] : ways) {
        for (const Case& c : cases) {
            std::fill_n(record.data(Blocks::Codec), Blocks::Codec.size, std::uint8_t{0x00});
            TFCodec* window = openCodec();
            showPage(window, QStringLiteral("Дополнительно"));
            change(c.control(window));
            click(button(window, "ButOk"));
            EXPECT_EQ(dataIn(record, c.reg), c.stored) << c.what << " by " << way;
        }
    }
}

TEST_F(CodecForm, ResetShowsAndStoresTheDefaults)
{
    record.setTypeWord(R420ZA);
    std::fill_n(record.data(Blocks::Codec), Blocks::Codec.size, std::uint8_t{0xFF});
    const Bytes stored = bytesOf(record, Blocks::Codec);
    TFCodec* window = openCodec();
    click(button(window, "ButDefault"));

    EXPECT_EQ(slider(window, "RxLev_1")->value(), 8);
    EXPECT_EQ(slider(window, "RxLev_2")->value(), 8);
    EXPECT_EQ(slider(window, "TxLev_1")->value(), 54);
    EXPECT_EQ(slider(window, "TxLev_2")->value(), 54);
    EXPECT_EQ(label(window, "InLev1")->text(), QStringLiteral("0"));
    EXPECT_EQ(label(window, "OutLev2")->text(), QStringLiteral("0"));
    EXPECT_TRUE(checkBox(window, "ADCHP")->isChecked());
    EXPECT_EQ(chosenIn(window, "DEEMP"), QStringLiteral("Откл."));
    EXPECT_EQ(chosenIn(window, "Sample"), QStringLiteral("48/48 кГц"));
    EXPECT_EQ(chosenIn(window, "INSEL"), QStringLiteral("Линейный вход"));
    EXPECT_TRUE(checkBox(window, "MicMute")->isChecked());
    EXPECT_FALSE(checkBox(window, "MicBoost")->isChecked());
    EXPECT_FALSE(checkBox(window, "PwrMic")->isChecked());
    EXPECT_TRUE(checkBox(window, "PwrLine")->isChecked());
    EXPECT_EQ(bytesOf(record, Blocks::Codec), stored);

    click(button(window, "ButOk"));
    EXPECT_EQ(bytesOf(record, Blocks::Codec),
              (Bytes{0x1E, 0x00, 0x0C, 0x22, 0x08, 0x12, 0x0A, 0x00, 0x10, 0x01, 0x00,
                     0x17, 0x02, 0x17, 0x04, 0x79, 0x06, 0x79, 0x0E, 0x43, 0x12, 0x01}));
}

TEST_F(CodecForm, TickingMicBoostWhileTestingPushesExactlyRegister4)
{
    dataIn(record, AnalogPath) = 0x02;
    TFCodec* window = openCodec();
    click(checkBox(window, "Link"));
    showPage(window, QStringLiteral("Дополнительно"));
    click(checkBox(window, "MicBoost"));
    runWorker();
    EXPECT_EQ(codecWrites(), (std::vector<std::pair<int, int>>{{4, 0x13}}));
    EXPECT_EQ(requests().back(), "03 00 00 00 02 00 1A 00 08 13");
}

TEST_F(CodecForm, AnAccessibleToggleWhileTestingPushesLikeAClick)
{
    dataIn(record, AnalogPath) = 0x02;
    TFCodec* window = openCodec();
    toggleAccessibly(checkBox(window, "Link"));
    toggleAccessibly(checkBox(window, "MicBoost"));
    runWorker();
    EXPECT_EQ(codecWrites(), (std::vector<std::pair<int, int>>{{4, 0x13}}));
}
