#include <cstdio>
#include <functional>
#include <string>

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include "LocaleGuard.h"
#include "editors/RecoderForm.h"
#include "link/ParameterTasks.h"
#include "sim/Simulator.h"
#include "support/EditorBench.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Words = std::array<std::uint16_t, 4>;

constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;

const QString RecorderPage = QStringLiteral("Регистратор");
const QString RxLevelPage = QStringLiteral("Уровень RX");

class RecoderForm : public EditorBench {
protected:
    TFRecoder* openRecoder()
    {
        return TFRecoder::open(*place, RecoderInputs{record.data(Blocks::Identity),
                                                     record.data(Blocks::Recorder)});
    }

    void store(const Words& words)
    {
        std::uint8_t* block = record.data(Blocks::Recorder);
        for (std::size_t i = 0; i < words.size(); ++i) {
            block[2 * i] = static_cast<std::uint8_t>(words[i] >> 8);
            block[2 * i + 1] = static_cast<std::uint8_t>(words[i] & 0xFF);
        }
    }

    Words stored() const
    {
        const std::uint8_t* block = record.data(Blocks::Recorder);
        Words words{};
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = static_cast<std::uint16_t>(block[2 * i] << 8 | block[2 * i + 1]);
        return words;
    }

    // The last block the simulated controller received with the recorder command.
    Bytes pushedBlock() const
    {
        return sim::Simulator::instance().controller()->devices().parameters.block(4);
    }
};

QTabWidget* pagesOf(QWidget* window)
{
    return window->findChild<QTabWidget*>(QStringLiteral("Pages"));
}

// The titles of the tabs the operator can see.
QStringList visibleTabs(QWidget* window)
{
    QTabWidget* pages = pagesOf(window);
    QStringList titles;
    for (int index = 0; index < pages->count(); ++index)
        if (pages->isTabVisible(index))
            titles << pages->tabText(index);
    return titles;
}

// The title of the page in front, provided its tab is visible and it is the only page shown.
QString pageInFront(QWidget* window)
{
    QTabWidget* pages = pagesOf(window);
    QString front;
    int shown = 0;
    for (int index = 0; index < pages->count(); ++index) {
        if (pages->widget(index)->isVisible()) {
            ++shown;
            front = pages->tabText(index);
        }
    }
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(pages->tabText(pages->currentIndex()), front);
    EXPECT_TRUE(pages->isTabVisible(pages->currentIndex()));
    return front;
}

std::string bytesText(const Words& words)
{
    std::string text;
    for (std::uint16_t word : words) {
        char hex[8];
        std::snprintf(hex, sizeof hex, " %02X %02X", word >> 8, word & 0xFF);
        text += hex;
    }
    return text;
}

// The check boxes on the flags word: each box's name and its bit.
struct FlagBit {
    const char* name;
    int bit;
};
std::vector<FlagBit> flagBits()
{
    std::vector<FlagBit> flags;
    for (int bit = 0; bit < RecorderFlagCount; ++bit)
        flags.push_back({recorderField(static_cast<RecorderField>(bit)).control, bit});
    return flags;
}

} // namespace

TEST(RecoderPayload, SizeAgreesWithTheWorkersPush)
{
    ConfigRecord record = ConfigRecord::blank();
    const RecoderModel model({record.data(Blocks::Identity), record.data(Blocks::Recorder)});
    EXPECT_EQ(model.payloadSize(), parameterPush(TFRecoder::Kind.event).frame.payloadSize);
    EXPECT_EQ(parameterPush(TFRecoder::Kind.event).editor, TFRecoder::Kind.target);
}

TEST_F(RecoderForm, CaptionFollowsTheController)
{
    const std::vector<std::pair<std::uint16_t, QString>> cases{
        {R420ZA, QStringLiteral("Регистратор (R-420ZA)")},
        {0x1001, QStringLiteral("Регистратор (R-410ZB)")},
        {0x4000, QStringLiteral("Регистратор (ZA)")},
    };
    for (const auto& [typeWord, caption] : cases) {
        record.setTypeWord(typeWord);
        TFRecoder* window = openRecoder();
        EXPECT_EQ(window->windowTitle(), caption);
        click(button(window, "ButCancel"));
    }
}

TEST_F(RecoderForm, OpensWithTheStoredSettings)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    record.setTypeWord(R420ZA);
    store({0x0055, 2920, 27570, 0x0093});
    TFRecoder* window = openRecoder();
    for (const FlagBit& flag : flagBits())
        EXPECT_EQ(checkBox(window, flag.name)->isChecked(), (0x0055 >> flag.bit & 1) != 0)
            << flag.name;
    EXPECT_EQ(checkBox(window, "Mic")->text(), QStringLiteral("Микрофон"));
    EXPECT_EQ(checkBox(window, "RxCtrl")->text(), QStringLiteral("Регулятор громкости"));
    EXPECT_TRUE(checkBox(window, "RxCtrl")->isEnabled());
    EXPECT_EQ(slider(window, "RxGain")->value(), 14);
    EXPECT_EQ(label(window, "RxGainVal")->text(), QStringLiteral("-3"));
    EXPECT_EQ(slider(window, "MicGain")->value(), 1);
    EXPECT_EQ(label(window, "MicGainVal")->text(), QStringLiteral("+16.5"));
    EXPECT_EQ(visibleTabs(window), (QStringList{RecorderPage, RxLevelPage}));
    EXPECT_EQ(slider(window, "RxLvl")->value(), 27);
    EXPECT_EQ(label(window, "RxLvlVal")->text(), QStringLiteral("144"));
    EXPECT_FALSE(checkBox(window, "Link")->isChecked());
}

TEST_F(RecoderForm, EditionZBDisablesTheVolumeControlAndClearsItsBit)
{
    record.setTypeWord(R420ZB);
    store({0xFFFF, 4125, 4125, 144});
    TFRecoder* window = openRecoder();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Регистратор (R-420ZB)"));
    EXPECT_FALSE(checkBox(window, "RxCtrl")->isChecked());
    EXPECT_FALSE(checkBox(window, "RxCtrl")->isEnabled());
    EXPECT_EQ(visibleTabs(window), QStringList{RecorderPage});
    EXPECT_EQ(pageInFront(window), RecorderPage);
    for (const char* name : {"Mic", "Rx", "PttBut", "TxLed", "RxDispl", "RxLed"})
        EXPECT_TRUE(checkBox(window, name)->isChecked()) << name;

    click(button(window, "ButDefault"));
    EXPECT_FALSE(checkBox(window, "RxCtrl")->isEnabled());
    click(button(window, "ButCancel"));
    EXPECT_EQ(stored()[0], 0xFFFF) << "closing keeps the record";

    window = openRecoder();
    click(button(window, "ButOk"));
    EXPECT_EQ(stored(), (Words{0xFFBF, 4125, 4125, 144}));
}

TEST_F(RecoderForm, StoredGainsOpenAtTheirPositionsAndAreStoredAsTableWords)
{
    struct Case {
        std::int16_t stored;
        int position;
        const char* text;
        std::uint16_t saved;
    };
    const std::vector<Case> cases{
        {32767, 0, "+18", 32767},
        {4125, 12, "0", 4125},
        {0, 31, "-28,5", 155},
        {30000, 0, "+18", 32767},
        {-5, 31, "-28,5", 155},
    };
    const LocaleGuard russian(LocaleGuard::russian());
    for (const Case& c : cases) {
        const auto word = static_cast<std::uint16_t>(c.stored);
        store({0x0000, word, word, 0});
        TFRecoder* window = openRecoder();
        for (const char* name : {"MicGain", "RxGain"})
            EXPECT_EQ(slider(window, name)->value(), c.position) << name << " " << c.stored;
        for (const char* name : {"MicGainVal", "RxGainVal"})
            EXPECT_EQ(label(window, name)->text(), QString::fromUtf8(c.text)) << c.stored;
        click(button(window, "ButOk"));
        EXPECT_EQ(stored(), (Words{0x0000, c.saved, c.saved, 0})) << c.stored;
    }
}

TEST_F(RecoderForm, GainSliderEndsShowAndStoreTheirWords)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    TFRecoder* window = openRecoder();
    QTest::keyClick(slider(window, "MicGain"), Qt::Key_Home);
    QTest::keyClick(slider(window, "RxGain"), Qt::Key_End);
    EXPECT_EQ(label(window, "MicGainVal")->text(), QStringLiteral("+18"));
    EXPECT_EQ(label(window, "RxGainVal")->text(), QStringLiteral("-28.5"));
    click(button(window, "ButOk"));
    EXPECT_EQ(stored(), (Words{0x0000, 155, 32767, 0}));
}

TEST_F(RecoderForm, TheVolumeControlShowsAndHidesTheRxLevelPage)
{
    const std::pair<const char*, void (*)(QAbstractButton*)> ways[]{
        {"click", click}, {"accessible toggle", toggleAccessibly}};
    record.setTypeWord(R420ZA);
    for (const auto& [way, change] : ways) {
        TFRecoder* window = openRecoder();
        EXPECT_EQ(visibleTabs(window), QStringList{RecorderPage}) << way;
        change(checkBox(window, "RxCtrl"));
        EXPECT_EQ(visibleTabs(window), (QStringList{RecorderPage, RxLevelPage})) << way;
        EXPECT_EQ(pageInFront(window), RecorderPage) << way;
        change(checkBox(window, "RxCtrl"));
        EXPECT_EQ(visibleTabs(window), QStringList{RecorderPage}) << way;
        EXPECT_EQ(pageInFront(window), RecorderPage) << way;
        click(button(window, "ButCancel"));
    }
}

TEST_F(RecoderForm, HidingTheRxLevelPageInFrontBringsTheRecorderPageForward)
{
    record.setTypeWord(R420ZA);
    store({0x0040, 4125, 4125, 144});
    TFRecoder* window = openRecoder();
    showPage(window, RxLevelPage);
    EXPECT_EQ(pageInFront(window), RxLevelPage);
    // "Сброс" unticks the volume control while its level is in front.
    click(button(window, "ButDefault"));
    EXPECT_EQ(visibleTabs(window), QStringList{RecorderPage});
    EXPECT_EQ(pageInFront(window), RecorderPage);
    EXPECT_TRUE(checkBox(window, "Mic")->isVisible());
    EXPECT_FALSE(slider(window, "RxLvl")->isVisible());

    // Shown again, the level page waits behind its tab.
    click(checkBox(window, "RxCtrl"));
    EXPECT_EQ(pageInFront(window), RecorderPage);
    showPage(window, RxLevelPage);
    EXPECT_TRUE(slider(window, "RxLvl")->isVisible());
}

// The tab bar's arrow keys and mouse wheel step through the tabs; a hidden one is skipped.
TEST_F(RecoderForm, TheTabBarCannotReachTheHiddenRxLevelPage)
{
    const std::pair<const char*, void (*)(QTabBar*)> ways[]{
        {"right arrow", [](QTabBar* tabs) { QTest::keyClick(tabs, Qt::Key_Right); }},
        {"mouse wheel",
         [](QTabBar* tabs) {
             const QPointF inside(tabs->width() / 2.0, tabs->height() / 2.0);
             QWheelEvent wheel(inside, tabs->mapToGlobal(inside), {}, QPoint(0, -120), Qt::NoButton,
                               Qt::NoModifier, Qt::NoScrollPhase, false);
             QCoreApplication::sendEvent(tabs, &wheel);
         }},
    };
    record.setTypeWord(R420ZA);
    for (const auto& [way, step] : ways) {
        for (std::uint16_t flags : {0x0000, 0x0040}) {
            store({flags, 4125, 4125, 144});
            TFRecoder* window = openRecoder();
            step(pagesOf(window)->tabBar());
            EXPECT_EQ(pageInFront(window), flags ? RxLevelPage : RecorderPage) << way;
            click(button(window, "ButCancel"));
        }
    }
}

TEST_F(RecoderForm, RxLevelShowsAndStoresFourTimesTheLevel)
{
    struct Case {
        std::function<void(QSlider*)> move;
        int position;
        const char* text;
        std::uint16_t saved;
    };
    const std::vector<Case> cases{
        {[](QSlider* s) { s->setValue(27); }, 27, "144", 144},
        {[](QSlider* s) { QTest::keyClick(s, Qt::Key_Home); }, 0, "252", 252},
        {[](QSlider* s) { QTest::keyClick(s, Qt::Key_End); }, 63, "0", 0},
        {[](QSlider* s) { QTest::keyClick(s, Qt::Key_Up); }, 15, "192", 192},
    };
    record.setTypeWord(R420ZA);
    for (const Case& c : cases) {
        store({0x0040, 4125, 4125, 188});
        TFRecoder* window = openRecoder();
        showPage(window, RxLevelPage);
        c.move(slider(window, "RxLvl"));
        EXPECT_EQ(slider(window, "RxLvl")->value(), c.position);
        EXPECT_EQ(label(window, "RxLvlVal")->text(), QString::fromLatin1(c.text));
        click(button(window, "ButOk"));
        EXPECT_EQ(stored()[3], c.saved) << c.text;
    }
}

TEST_F(RecoderForm, EachCheckBoxWritesItsBitAndKeepsTheHighBits)
{
    const std::pair<const char*, void (*)(QAbstractButton*)> ways[]{
        {"click", click}, {"accessible toggle", toggleAccessibly}};
    record.setTypeWord(R420ZA);
    for (const auto& [way, change] : ways) {
        for (const FlagBit& flag : flagBits()) {
            store({0xA500, 4125, 4125, 144});
            TFRecoder* window = openRecoder();
            change(checkBox(window, flag.name));
            click(button(window, "ButOk"));
            EXPECT_EQ(stored()[0], 0xA500 | 1 << flag.bit) << flag.name << " by " << way;
        }
    }
}

TEST_F(RecoderForm, ResetShowsTheDefaultsAndLeavesTheRecord)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    record.setTypeWord(R420ZA);
    store({0xFFF8, 0, 32767, 0});
    TFRecoder* window = openRecoder();
    click(checkBox(window, "Link"));
    click(button(window, "ButDefault"));

    EXPECT_FALSE(checkBox(window, "Link")->isChecked());
    for (const FlagBit& flag : flagBits())
        EXPECT_EQ(checkBox(window, flag.name)->isChecked(), flag.bit <= 2) << flag.name;
    for (const char* name : {"MicGain", "RxGain"})
        EXPECT_EQ(slider(window, name)->value(), 12) << name;
    for (const char* name : {"MicGainVal", "RxGainVal"})
        EXPECT_EQ(label(window, name)->text(), QStringLiteral("0")) << name;
    EXPECT_EQ(slider(window, "RxLvl")->value(), 27);
    EXPECT_EQ(label(window, "RxLvlVal")->text(), QStringLiteral("144"));
    EXPECT_EQ(visibleTabs(window), QStringList{RecorderPage});
    EXPECT_EQ(stored(), (Words{0xFFF8, 0, 32767, 0}));
    runWorker();
    EXPECT_TRUE(requests().empty()) << "nothing is pushed on reset";

    click(button(window, "ButOk"));
    EXPECT_EQ(stored(), (Words{0x0007, 4125, 4125, 144}));
}

TEST_F(RecoderForm, WhileTestingEveryChangePushesTheWholeBlock)
{
    struct Step {
        const char* what;
        std::function<void(QWidget*)> change;
        Words block; // the working copy after the change
    };
    const std::vector<Step> steps{
        {"Mic", [](QWidget* w) { click(checkBox(w, "Mic")); }, {0x0101, 4125, 2920, 144}},
        {"TxLed", [](QWidget* w) { click(checkBox(w, "TxLed")); }, {0x0109, 4125, 2920, 144}},
        {"RxCtrl", [](QWidget* w) { click(checkBox(w, "RxCtrl")); }, {0x0149, 4125, 2920, 144}},
        {"MicGain", [](QWidget* w) { QTest::keyClick(slider(w, "MicGain"), Qt::Key_Home); },
         {0x0149, 4125, 32767, 144}},
        {"RxGain", [](QWidget* w) { slider(w, "RxGain")->setValue(13); }, {0x0149, 3470, 32767, 144}},
        {"RxLvl",
         [](QWidget* w) {
             showPage(w, RxLevelPage);
             QTest::keyClick(slider(w, "RxLvl"), Qt::Key_Home);
         },
         {0x0149, 3470, 32767, 252}},
        {"RxCtrl off", [](QWidget* w) {
             showPage(w, RecorderPage);
             click(checkBox(w, "RxCtrl"));
         },
         {0x0109, 3470, 32767, 252}},
    };
    record.setTypeWord(R420ZA);
    store({0x0100, 4125, 2920, 144});
    TFRecoder* window = openRecoder();
    click(checkBox(window, "Link"));
    runWorker();
    EXPECT_TRUE(requests().empty()) << "ticking the box pushes nothing";
    for (const Step& step : steps) {
        step.change(window);
        runWorker();
        Bytes expected;
        for (std::uint16_t word : step.block)
            expected.insert(expected.end(), {static_cast<std::uint8_t>(word >> 8),
                                             static_cast<std::uint8_t>(word & 0xFF)});
        EXPECT_EQ(pushedBlock(), expected) << step.what;
        ASSERT_FALSE(requests().empty());
        EXPECT_EQ(requests().back(), "04 00 00 00 00 00 00 00" + bytesText(step.block)) << step.what;
    }
    EXPECT_TRUE(log.lines.isEmpty()) << log.lines.join('\n').toStdString();
    EXPECT_EQ(stored(), (Words{0x0100, 4125, 2920, 144})) << "testing does not save";
}

TEST_F(RecoderForm, AFailedPushStopsTestingAndKeepsTheChanges)
{
    TFRecoder* window = openRecoder();
    click(checkBox(window, "Link"));
    // The probe and identity exchanges succeed; the push itself times out.
    sim::Simulator::instance().controller()->faults.transferResults[4] = sim::UsbError::TimedOut;
    click(checkBox(window, "Mic"));
    runWorker();
    EXPECT_EQ(log.lines, QStringList{QStringLiteral("Error: -110")});
    EXPECT_FALSE(checkBox(window, "Link")->isChecked());
    const std::size_t sent = requests().size();
    click(checkBox(window, "Rx"));
    runWorker();
    EXPECT_EQ(requests().size(), sent) << "no push until testing is ticked again";
    EXPECT_TRUE(pushedBlock().empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(stored()[0], 0x0003);
}
