#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QTest>

#include "LocaleGuard.h"
#include "editors/AudioForm.h"
#include "support/EditorBench.h"

using AudioForm = EditorBench;
using Bytes = std::vector<std::uint8_t>;

namespace {

void storeAmplifier(ConfigRecord& record, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), record.data(Blocks::Amplifier));
}

} // namespace

TEST_F(AudioForm, OpensWithItsCaptionPageAndTheStoredSettings)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    storeAmplifier(record, {0x32, 0x00, 0xD5, 0x00});
    TFAudio* window = openAudio();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Усилитель НЧ"));
    EXPECT_EQ(slider(window, "Lev")->value(), 13);
    EXPECT_EQ(label(window, "Level")->text(), QStringLiteral("+2.4"));
    EXPECT_EQ(chosenIn(window, "Mod"), QStringLiteral("ШИМ"));
    EXPECT_FALSE(checkBox(window, "Link")->isChecked());
}

TEST_F(AudioForm, UnknownModulationOpensAsSigmaDeltaAndIsSavedSo)
{
    storeAmplifier(record, {0x05, 0x00, 0x00, 0x00});
    TFAudio* window = openAudio();
    EXPECT_EQ(chosenIn(window, "Mod"), QStringLiteral("СДМ"));
    click(button(window, "ButOk"));
    EXPECT_EQ(bytesOf(record, Blocks::Amplifier), (Bytes{0x05, 0x00, 0xD6, 0x00}));
}

TEST_F(AudioForm, SliderEndsShowAndStoreTheirLevels)
{
    struct Case {
        Qt::Key key;
        const char* text;
        Bytes stored;
    };
    const LocaleGuard russian(LocaleGuard::russian());
    for (const Case& c : {Case{Qt::Key_Home, "+9,5", {0x3F, 0x00, 0xD6, 0x00}},
                          Case{Qt::Key_End, "-162,0", {0x00, 0x00, 0xD6, 0x00}}}) {
        storeAmplifier(record, {0x2E, 0x00, 0xD6, 0x00});
        TFAudio* window = openAudio();
        QTest::keyClick(slider(window, "Lev"), c.key);
        EXPECT_EQ(label(window, "Level")->text(), QString::fromUtf8(c.text));
        click(button(window, "ButOk"));
        EXPECT_EQ(bytesOf(record, Blocks::Amplifier), c.stored) << c.text;
    }
}

TEST_F(AudioForm, ResetShowsTheDefaults)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    storeAmplifier(record, {0x05, 0x00, 0xD5, 0x00});
    TFAudio* window = openAudio();
    click(button(window, "ButDefault"));
    EXPECT_EQ(slider(window, "Lev")->value(), 17);
    EXPECT_EQ(label(window, "Level")->text(), QStringLiteral("+0.5"));
    EXPECT_EQ(chosenIn(window, "Mod"), QStringLiteral("СДМ"));
    EXPECT_EQ(bytesOf(record, Blocks::Amplifier), (Bytes{0x05, 0x00, 0xD5, 0x00}));
    click(button(window, "ButOk"));
    EXPECT_EQ(bytesOf(record, Blocks::Amplifier), (Bytes{0x2E, 0x00, 0xD6, 0x00}));
}

TEST_F(AudioForm, WhileTestingEachChangeHandsOverExactlyItsOneByte)
{
    TFAudio* window = openAudio();
    click(checkBox(window, "Link"));

    click(radioButton(window, "Mod", QStringLiteral("ШИМ")));
    runWorker();
    EXPECT_EQ(amplifierCommands(), (Bytes{0xD5}));

    slider(window, "Lev")->setValue(levelPosition(amplifierField(AmplifierField::Level), 50));
    runWorker();
    EXPECT_EQ(amplifierCommands(), (Bytes{0xD5, 0x32}));
    EXPECT_EQ(requests().back(), "03 00 00 00 01 00 4B 00 32");
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join('\n').toStdString();
}
