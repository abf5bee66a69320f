#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "LocaleGuard.h"
#include "editors/LinkForm.h"
#include "link/ParameterTasks.h"
#include "sim/Simulator.h"
#include "support/EditorBench.h"

using Bytes = std::vector<std::uint8_t>;
using Words = std::array<std::uint16_t, 9>;

namespace {

constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;

const QString LinkLoaded = QStringLiteral("Параметры соединения загружены.");

QString rangeText(const char* range)
{
    return QStringLiteral("Недопустимое значение. Укажите значение в диапазоне ")
           + QString::fromLatin1(range);
}

const std::array<const char*, 8> NumberFields{"N1", "N2", "N3", "N4", "T0", "T1", "T2", "T3"};

class LinkForm : public EditorBench {
protected:
    LinkForm() { record.setTypeWord(R420ZA); }

    TFLink* openLink(AccessLevel level = LevelFull)
    {
        return TFLink::open(*place, LinkInputs{level, record.data(Blocks::Identity),
                                               record.data(Blocks::Link)});
    }

    void storeWords(const Words& words)
    {
        std::uint8_t* block = record.data(Blocks::Link);
        for (std::size_t i = 0; i < words.size(); ++i) {
            block[2 * i] = static_cast<std::uint8_t>(words[i] >> 8);
            block[2 * i + 1] = static_cast<std::uint8_t>(words[i] & 0xFF);
        }
    }

    Words savedWords() const
    {
        const std::uint8_t* block = record.data(Blocks::Link);
        Words words{};
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = static_cast<std::uint16_t>(block[2 * i] << 8 | block[2 * i + 1]);
        return words;
    }
};

QLineEdit* edit(QWidget* window, const char* name)
{
    auto* control = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << "no field " << name;
    return control;
}

QString textOf(QWidget* window, const char* name)
{
    return edit(window, name)->text();
}

QStringList textsOf(QWidget* window)
{
    QStringList texts;
    for (const char* name : NumberFields)
        texts << textOf(window, name);
    return texts;
}

QString labelText(QWidget* window, const char* name)
{
    auto* line = window->findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(line, nullptr) << "no label " << name;
    return line ? line->text() : QString();
}

QToolButton* spinner(QWidget* window, const char* name)
{
    auto* control = window->findChild<QToolButton*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << "no spinner button " << name;
    return control;
}

void selectAllAndType(QWidget* window, const char* name, const QString& text)
{
    QLineEdit* field = edit(window, name);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

void clickTimes(QAbstractButton* control, int times)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(control, Qt::LeftButton);
}

} // namespace

TEST_F(LinkForm, IsAOneShotEditorWithItsTwoPages)
{
    TFLink* window = openLink();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Соединение"));
    EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("Link")), nullptr);
    EXPECT_EQ(button(window, "TestBtn")->text(), QStringLiteral("Тест"));
    auto* pages = window->findChild<QTabWidget*>(QStringLiteral("Pages"));
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Счетчики"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Таймеры"));
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_TRUE(edit(window, "T4")->isReadOnly());
}

TEST_F(LinkForm, EveryLabelReadsAsWritten)
{
    TFLink* window = openLink();
    const std::vector<std::pair<const char*, const char*>> lines{
        {"LN1_0", "Максимальный размер пакета в байтах,"},
        {"LN1_1", "с шагом в 16 байт, N1 [64..512] :"},
        {"LN2_0", "Максимальное число попыток доставить "},
        {"LN2_1", "пакет с данными, N2 [1..255]:"},
        {"LN3_0", "Максимальное число попыток востановить"},
        {"LN3_1", "активность соединения, N3 [1..255]:"},
        {"LN4_0", "Размер буферного окна N4  [1..15]:"},
        {"LT0_0", "Период следования запросов на установление"},
        {"LT0_1", "соединения, мсек. T0 [500..30000]:"},
        {"LT1_0", "Период повторения не подтвержденных"},
        {"LT1_1", "пакетов, мсек. T1 [125..30000]:"},
        {"LT2_0", "Время по истечение которого отправляется "},
        {"LT2_1", "подтверждение приема пакета, мсек. T2 [125..T1]:"},
        {"LT3_0", "Период проверки активности "},
        {"LT3_1", "соединения, мсек. T3 [125..30000]:"},
        {"LT4_0", "Расчетное время обнаружения потери "},
        {"LT4_1", "соединения, мсек.:"},
    };
    for (const auto& [name, text] : lines)
        EXPECT_EQ(labelText(window, name), QString::fromUtf8(text)) << name;
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("LN4_1")), nullptr);
    EXPECT_EQ(checkBox(window, "Ack")->text(),
              QStringLiteral("Запрос на подтверждение приема пакета"));
    EXPECT_EQ(checkBox(window, "Tmode")->text(),
              QStringLiteral("Режим адаптивной установки таймеров"));
}

TEST_F(LinkForm, FieldsStartAtTheirFirstValuesBeforeABlockIsLoaded)
{
    TFLink window(*place, LinkInputs{LevelFull, record.data(Blocks::Identity),
                                     record.data(Blocks::Link)});
    QWidget* shown = &window;
    EXPECT_EQ(textsOf(shown),
              (QStringList{"64", "1", "1", "1", "500", "125", "125", "125"}));
    EXPECT_EQ(textOf(shown, "T4"), QStringLiteral("100"));
    EXPECT_FALSE(checkBox(shown, "Ack")->isChecked());
    EXPECT_FALSE(checkBox(shown, "Tmode")->isChecked());
}

TEST_F(LinkForm, AllZeroBlockOpensAtTheMinimumsWithoutAMessage)
{
    TFLink* window = openLink();
    EXPECT_EQ(textsOf(window), (QStringList{"64", "1", "1", "1", "500", "125", "125", "125"}));
    EXPECT_EQ(textOf(window, "T4"), QStringLiteral("250"));
    EXPECT_FALSE(checkBox(window, "Ack")->isChecked());
    EXPECT_FALSE(checkBox(window, "Tmode")->isChecked());
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{3, 1, 1, 1, 16, 4, 4, 4, 0}));
}

TEST_F(LinkForm, TimerCountsAtAndAboveTheTopShowTheMaximum)
{
    for (const QLocale& locale : {LocaleGuard::russian(), LocaleGuard::usEnglish()}) {
        const LocaleGuard pinned(locale);
        storeWords({3, 1, 1, 1, 960, 1023, 960, 1023, 0});
        TFLink* window = openLink();
        EXPECT_EQ(textsOf(window),
                  (QStringList{"64", "1", "1", "1", "30000", "30000", "30000", "30000"}));
        EXPECT_EQ(textOf(window, "T4"), QStringLiteral("60000"));
        EXPECT_TRUE(dialogs.informed.empty());
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords(), (Words{3, 1, 1, 1, 960, 960, 960, 960, 0}));
    }
}

TEST_F(LinkForm, PacketSizeIsDisabledBelowTheFullLevelYetReset)
{
    for (AccessLevel level : {LevelUser, LevelFirmware, LevelTrace, LevelBoard, LevelFull}) {
        storeWords({3, 1, 1, 1, 16, 4, 4, 4, 0});
        TFLink* window = openLink(level);
        EXPECT_EQ(edit(window, "N1")->isEnabled(), level == LevelFull) << level;
        EXPECT_EQ(spinner(window, "N1Up")->isEnabled(), level == LevelFull) << level;
        EXPECT_EQ(spinner(window, "N1Down")->isEnabled(), level == LevelFull) << level;
        EXPECT_TRUE(edit(window, "N2")->isEnabled());
        click(button(window, "ButDefault"));
        EXPECT_EQ(textOf(window, "N1"), QStringLiteral("512")) << level;
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords()[0], 31) << level;
    }
}

TEST_F(LinkForm, ResetShowsAndStoresTheDefaultsAndKeepsTheOtherFlagBits)
{
    storeWords({3, 1, 1, 1, 16, 4, 4, 4, 0xA5A4});
    TFLink* window = openLink();
    click(button(window, "TestBtn"));
    click(button(window, "ButDefault"));
    EXPECT_EQ(textsOf(window),
              (QStringList{"512", "10", "10", "7", "1000", "250", "125", "1000"}));
    EXPECT_EQ(textOf(window, "T4"), QStringLiteral("11000"));
    EXPECT_TRUE(checkBox(window, "Ack")->isChecked());
    EXPECT_TRUE(checkBox(window, "Tmode")->isChecked());
    EXPECT_EQ(labelText(window, "LT1_0"), QStringLiteral("Максимальный период повторения не"));
    EXPECT_TRUE(dialogs.informed.empty());
    EXPECT_EQ(savedWords(), (Words{3, 1, 1, 1, 16, 4, 4, 4, 0xA5A4})) << "the record waits";

    // "Сброс" leaves a load asked for before it in place.
    runWorker();
    EXPECT_EQ(log.lines, QStringList{LinkLoaded});
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{31, 10, 10, 7, 32, 8, 4, 32, 0xA5A7}));
}

TEST_F(LinkForm, EditionZbHasItsEstablishmentPeriodFixedAtZero)
{
    record.setTypeWord(R420ZB);
    storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    showPage(window, QStringLiteral("Таймеры"));
    EXPECT_EQ(textOf(window, "T0"), QStringLiteral("0"));
    EXPECT_FALSE(edit(window, "T0")->isEnabled());
    EXPECT_FALSE(spinner(window, "T0Up")->isEnabled());
    EXPECT_TRUE(edit(window, "T1")->isEnabled());
    EXPECT_EQ(labelText(window, "LT0_1"), QStringLiteral("соединения, мсек. T0 [500..30000]:"));
    click(button(window, "ButDefault"));
    EXPECT_EQ(textOf(window, "T0"), QStringLiteral("0"));
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{31, 10, 10, 7, 0, 8, 4, 32, 3}));
}

TEST_F(LinkForm, TimerModeSwitchesTheT1LabelsAndOnlyBit1)
{
    storeWords({3, 1, 1, 1, 16, 4, 4, 4, 0xA5A4});
    TFLink* window = openLink();
    showPage(window, QStringLiteral("Таймеры"));
    const QStringList plain{"Период повторения не подтвержденных", "пакетов, мсек. T1 [125..30000]:"};
    const QStringList adaptive{"Максимальный период повторения не",
                               "подтвержденных пакетов, мсек. T1 [125..30000]:"};
    const auto labels = [window] {
        return QStringList{labelText(window, "LT1_0"), labelText(window, "LT1_1")};
    };
    EXPECT_EQ(labels(), plain);
    click(checkBox(window, "Tmode"));
    EXPECT_EQ(labels(), adaptive);
    toggleAccessibly(checkBox(window, "Tmode"));
    EXPECT_EQ(labels(), plain);
    toggleAccessibly(checkBox(window, "Tmode"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{3, 1, 1, 1, 16, 4, 4, 4, 0xA5A6}));

    // A stored adaptive mode opens with its labels.
    window = openLink();
    EXPECT_EQ(labels(), adaptive);
    click(checkBox(window, "Tmode"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[8], 0xA5A4);
}

TEST_F(LinkForm, AcknowledgementBoxSetsBit0)
{
    storeWords({3, 1, 1, 1, 16, 4, 4, 4, 0x8000});
    TFLink* window = openLink();
    click(checkBox(window, "Ack"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[8], 0x8001);
    window = openLink();
    EXPECT_TRUE(checkBox(window, "Ack")->isChecked());
    toggleAccessibly(checkBox(window, "Ack"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[8], 0x8000);
}

TEST_F(LinkForm, LossTimeFollowsN3AndT3)
{
    storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    EXPECT_EQ(textOf(window, "T4"), QStringLiteral("11000"));
    selectAllAndType(window, "N3", QStringLiteral("3"));
    EXPECT_EQ(textOf(window, "T4"), QStringLiteral("4000"));
    showPage(window, QStringLiteral("Таймеры"));
    QTest::mouseClick(spinner(window, "T3Down"), Qt::LeftButton);
    EXPECT_EQ(textOf(window, "T4"), QStringLiteral("3500"));
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[2], 3);
    EXPECT_EQ(savedWords()[7], 28);
}

TEST_F(LinkForm, T2MayExceedT1)
{
    storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    showPage(window, QStringLiteral("Таймеры"));
    clickTimes(spinner(window, "T2Up"), 7);
    EXPECT_EQ(textOf(window, "T1"), QStringLiteral("250"));
    EXPECT_EQ(textOf(window, "T2"), QStringLiteral("1000"));
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[5], 8);
    EXPECT_EQ(savedWords()[6], 32);
}

TEST_F(LinkForm, LettersAndSignsChangeNoField)
{
    storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    const QStringList before = textsOf(window);
    for (const char* name : NumberFields) {
        showPage(window, QString::fromUtf8(name[0] == 'N' ? "Счетчики" : "Таймеры"));
        QLineEdit* field = edit(window, name);
        field->setFocus();
        field->setCursorPosition(1);
        QTest::keyClicks(field, QStringLiteral("a- "));
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Minus);
    }
    EXPECT_EQ(textsOf(window), before);
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{31, 10, 10, 7, 32, 8, 4, 32, 3}));
}

TEST_F(LinkForm, TypingOverN1IsCheckedAtEachDigit)
{
    storeWords({3, 1, 1, 1, 16, 4, 4, 4, 0});
    TFLink* window = openLink();
    selectAllAndType(window, "N1", QStringLiteral("1"));
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{rangeText("64..512")}));
    EXPECT_EQ(textOf(window, "N1"), QStringLiteral("64"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[0], 3);
}

TEST_F(LinkForm, EveryFieldTellsItsOwnRange)
{
    struct Case {
        const char* field;
        const char* page;
        const char* typed;
        const char* range;
        const char* bound;
        std::size_t word;
        std::uint16_t stored;
    };
    const std::vector<Case> cases{
        {"N1", "Счетчики", "9", "64..512", "64", 0, 3},
        {"N2", "Счетчики", "0", "1..255", "1", 1, 1},
        {"N3", "Счетчики", "256", "1..255", "255", 2, 255},
        {"N4", "Счетчики", "16", "1..15", "15", 3, 15},
        {"T0", "Таймеры", "4", "500..30000", "500", 4, 16},
        {"T1", "Таймеры", "5", "125..30000", "125", 5, 4},
        {"T2", "Таймеры", "0", "125..30000", "125", 6, 4},
        {"T3", "Таймеры", "30001", "125..30000", "30000", 7, 960},
    };
    for (const Case& c : cases) {
        storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
        dialogs.informed.clear();
        TFLink* window = openLink();
        showPage(window, QString::fromUtf8(c.page));
        QLineEdit* field = edit(window, c.field);
        field->setFocus();
        field->selectAll();
        QApplication::clipboard()->setText(QString::fromLatin1(c.typed));
        field->paste();
        EXPECT_EQ(dialogs.informed, (std::vector<QString>{rangeText(c.range)})) << c.field;
        EXPECT_EQ(field->text(), QString::fromLatin1(c.bound)) << c.field;
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords()[c.word], c.stored) << c.field;
    }
}

TEST_F(LinkForm, SpinnerPastABoundGivesTheMessageAndTheBound)
{
    storeWords({31, 10, 10, 15, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    QTest::mouseClick(spinner(window, "N4Up"), Qt::LeftButton);
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{rangeText("1..15")}));
    EXPECT_EQ(textOf(window, "N4"), QStringLiteral("15"));
    QTest::mouseClick(spinner(window, "N1Up"), Qt::LeftButton);
    EXPECT_EQ(dialogs.informed.back(), rangeText("64..512"));
    EXPECT_EQ(textOf(window, "N1"), QStringLiteral("512"));
    clickTimes(spinner(window, "N1Down"), 2);
    EXPECT_EQ(textOf(window, "N1"), QStringLiteral("480"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[0], 29);
    EXPECT_EQ(savedWords()[3], 15);
}

TEST_F(LinkForm, AnEmptiedFieldKeepsItsWordWithoutAMessage)
{
    storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    QLineEdit* n2 = edit(window, "N2");
    n2->setFocus();
    n2->selectAll();
    QTest::keyClick(n2, Qt::Key_Delete);
    EXPECT_EQ(n2->text(), QString());
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "TestBtn"));
    runWorker();
    EXPECT_EQ(sim::Simulator::instance().controller()->devices().parameters.block(10)[3], 10);

    QTest::keyClicks(n2, QStringLiteral("5"));
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[1], 5);
}

TEST_F(LinkForm, PacketSizeOffItsStepIsStoredRoundedDown)
{
    storeWords({31, 10, 10, 7, 32, 8, 4, 32, 3});
    TFLink* window = openLink();
    QLineEdit* n1 = edit(window, "N1");
    n1->setFocus();
    n1->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("100"));
    n1->paste();
    EXPECT_EQ(n1->text(), QStringLiteral("100"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[0], 5);
    EXPECT_EQ(textOf(openLink(), "N1"), QStringLiteral("96"));
}

TEST_F(LinkForm, TestLoadsTheUnsavedWorkingCopy)
{
    storeWords({3, 1, 1, 1, 16, 4, 4, 4, 0xA5A4});
    const Bytes stored = bytesOf(record, Blocks::Link);
    TFLink* window = openLink();
    click(button(window, "ButDefault"));
    selectAllAndType(window, "N2", QStringLiteral("200"));
    click(button(window, "TestBtn"));
    runWorker();

    const Bytes pushed{0x00, 0x1F, 0x00, 0xC8, 0x00, 0x0A, 0x00, 0x07, 0x00,
                       0x20, 0x00, 0x08, 0x00, 0x04, 0x00, 0x20, 0xA5, 0xA7};
    EXPECT_EQ(sim::Simulator::instance().controller()->devices().parameters.block(10), pushed);
    EXPECT_EQ(requests().back(), "0A 00 00 00 00 00 00 00 00 1F 00 C8 00 0A 00 07 00 20 00 08 "
                                 "00 04 00 20 A5 A7");
    EXPECT_EQ(log.lines, QStringList{LinkLoaded});
    EXPECT_EQ(bytesOf(record, Blocks::Link), stored) << "a test does not save";
    EXPECT_TRUE(window->isVisible());
}

TEST_F(LinkForm, ClosingWithdrawsATestNotYetTaken)
{
    TFLink* window = openLink();
    click(button(window, "TestBtn"));
    click(button(window, "ButCancel"));
    runWorker();
    EXPECT_TRUE(requests().empty());
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(LinkForm, AFailedLoadIsLoggedAndTheWorkingCopyKept)
{
    TFLink* window = openLink();
    click(button(window, "ButDefault"));
    sim::Simulator::instance().clear();
    click(button(window, "TestBtn"));
    runWorker();
    EXPECT_FALSE(log.lines.isEmpty());
    EXPECT_NE(log.lines.back(), LinkLoaded);
    EXPECT_EQ(textOf(window, "N2"), QStringLiteral("10"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[1], 10);
}

TEST(LinkPayload, SizeAgreesWithTheWorkersLoad)
{
    ConfigRecord record = ConfigRecord::blank();
    const LinkModel link({LevelUser, record.data(Blocks::Identity), record.data(Blocks::Link)});
    EXPECT_EQ(link.payloadSize(), parameterPush(TFLink::Kind.event).frame.payloadSize);
}
