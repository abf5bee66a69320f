#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "LocaleGuard.h"
#include "editors/NetForm.h"
#include "link/ParameterTasks.h"
#include "sim/Simulator.h"
#include "support/EditorBench.h"

using Bytes = std::vector<std::uint8_t>;
using Words = std::array<std::uint16_t, 22>;

namespace {

constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R410ZB = 0x1001;

const QString NetLoaded = QStringLiteral("Параметры сетевого подключения загружены.");
const QString PortMessage =
    QStringLiteral("Недопустимое значение. Укажите значение в диапазоне 1025..65535");

QString rangeText(const char* range)
{
    return QStringLiteral("Недопустимое значение. Укажите значение в диапазоне ")
           + QString::fromLatin1(range);
}

// Gateway, mask, address, port, remote address, remote port, ToS, TTL.
constexpr Words DemoZA{192, 168, 1, 1, 255, 255, 255, 0, 192, 168, 1, 10, 0x75, 0x3A,
                       192, 168, 1, 11, 0x75, 0x3A, 0, 128};

class NetForm : public EditorBench {
protected:
    NetForm()
    {
        record.setTypeWord(R420ZA);
        storeWords(DemoZA);
    }

    // Opens the editor and lets it come on screen, where it tells what opening corrected.
    TFNet* openNet()
    {
        TFNet* window = TFNet::open(*place, NetInputs{record.data(Blocks::Identity),
                                                      record.data(Blocks::Net),
                                                      record.data(Blocks::Board)});
        QCoreApplication::processEvents();
        return window;
    }

    void storeWords(const Words& words)
    {
        std::uint8_t* block = record.data(Blocks::Net);
        for (std::size_t i = 0; i < words.size(); ++i) {
            block[2 * i] = static_cast<std::uint8_t>(words[i] >> 8);
            block[2 * i + 1] = static_cast<std::uint8_t>(words[i] & 0xFF);
        }
    }

    Words savedWords() const
    {
        const std::uint8_t* block = record.data(Blocks::Net);
        Words words{};
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = static_cast<std::uint16_t>(block[2 * i] << 8 | block[2 * i + 1]);
        return words;
    }
};

QLineEdit* edit(QWidget* window, const QString& name)
{
    auto* control = window->findChild<QLineEdit*>(name);
    EXPECT_NE(control, nullptr) << "no field " << name.toStdString();
    return control;
}

QString textOf(QWidget* window, const char* name)
{
    return edit(window, QString::fromLatin1(name))->text();
}

// A dotted field as it reads: its four octets joined by dots.
QString addressOf(QWidget* window, const char* name)
{
    QStringList octets;
    for (int octet = 1; octet <= 4; ++octet)
        octets << edit(window, QString::fromLatin1(name) + QString::number(octet))->text();
    return octets.join(u'.');
}

QLineEdit* octetOf(QWidget* window, const char* name, int octet)
{
    return edit(window, QString::fromLatin1(name) + QString::number(octet));
}

void selectAllAndType(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Types as the operator does, each key going to the control that has the focus then.
void typeWhereFocused(const QString& text)
{
    for (const QChar character : text) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClicks(focused, QString(character));
    }
}

void selectAllAndPaste(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QApplication::clipboard()->setText(text);
    field->paste();
}

QString labelText(QWidget* window, const char* name)
{
    auto* line = window->findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(line, nullptr) << "no label " << name;
    return line ? line->text() : QString();
}

QGroupBox* group(QWidget* window, const char* name)
{
    auto* box = window->findChild<QGroupBox*>(QString::fromLatin1(name));
    EXPECT_NE(box, nullptr) << "no group " << name;
    return box;
}

QComboBox* precedenceList(QWidget* window)
{
    return window->findChild<QComboBox*>(QStringLiteral("Tos20"));
}

// What the network page shows: Mac, Ip, Gate, Mask, Port, IpDst, PortDst.
QStringList networkPage(QWidget* window)
{
    return {textOf(window, "Mac"),      addressOf(window, "Ip"),    addressOf(window, "Gate"),
            addressOf(window, "Mask"),  textOf(window, "Port"),     addressOf(window, "IpDst"),
            textOf(window, "PortDst")};
}

} // namespace

TEST_F(NetForm, IsAOneShotEditorWithItsTwoPagesAndEveryText)
{
    TFNet* window = openNet();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Сеть"));
    EXPECT_EQ(window->findChild<QCheckBox*>(QStringLiteral("Link")), nullptr);
    EXPECT_EQ(button(window, "TestBtn")->text(), QStringLiteral("Тест"));
    auto* pages = window->findChild<QTabWidget*>(QStringLiteral("Pages"));
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Сеть"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Дополнительно"));
    EXPECT_EQ(pages->currentIndex(), 0);

    const std::vector<std::pair<const char*, const char*>> labels{
        {"LMac", "Физический адрес"},       {"LIp", "IP-адрес"},
        {"LGate", "Основной шлюз"},         {"LMask", "Маска подсети"},
        {"LPort", "Порт [1025..65535]"},    {"LIpDst", "IP-адрес"},
        {"LPortDst", "Порт [1025..65535]"}, {"LTTL", "Время существования датаграммы, TTL [0..255]"},
        {"LTos20", "Предпочтения [2..0]:"},
    };
    for (const auto& [name, text] : labels)
        EXPECT_EQ(labelText(window, name), QString::fromUtf8(text)) << name;
    EXPECT_EQ(group(window, "GrpTos")->title(),
              QStringLiteral("Идентификатор типа службы (биты поля ToS)"));
    QStringList items;
    for (int item = 0; item < precedenceList(window)->count(); ++item)
        items << precedenceList(window)->itemText(item);
    EXPECT_EQ(items, (QStringList{"обычный [000]", "приоритетный [001]", "незамедлительно [010]",
                                  "срочно [011]", "сверхсрочно [100]", "CRITIC/ECP [101]",
                                  "межсетевое управление [110]", "управление сетью [111]"}));
    EXPECT_EQ(checkBox(window, "Tos3")->text(), QStringLiteral("Малая задержка [3]"));
    EXPECT_EQ(checkBox(window, "Tos4")->text(), QStringLiteral("Высокая пропускная способность [4]"));
    EXPECT_EQ(checkBox(window, "Tos5")->text(), QStringLiteral("Высокая надежность [5]"));
    // No spinners: the fields take typed digits only.
    EXPECT_TRUE(window->findChildren<QToolButton*>(QStringLiteral("PortUp")).isEmpty());
    EXPECT_EQ(edit(window, "Port")->maxLength(), 5);
    EXPECT_EQ(edit(window, "TTL")->maxLength(), 3);
    EXPECT_EQ(octetOf(window, "Ip", 1)->maxLength(), 3);
}

TEST_F(NetForm, ShowsTheStoredBlockAndTheBoardsAddressReadOnly)
{
    std::uint8_t* board = record.data(Blocks::Board);
    const Bytes address{0x00, 0x00, 0x00, 0x1A, 0x00, 0x2B, 0x00, 0x3C, 0x00, 0x4D, 0xAB, 0x5E};
    std::copy(address.begin(), address.end(), board);
    Words stored = DemoZA;
    stored[NetModel::TosWord] = 0x0033;
    stored[NetModel::TimeToLiveWord] = 64;
    storeWords(stored);
    for (const QLocale& locale : {LocaleGuard::russian(), LocaleGuard::usEnglish()}) {
        const LocaleGuard pinned(locale);
        TFNet* window = openNet();
        EXPECT_EQ(networkPage(window),
                  (QStringList{"00-1A-2B-3C-4D-5E", "192.168.1.10", "192.168.1.1", "255.255.255.0",
                               "30010", "192.168.1.11", "30010"}));
        EXPECT_TRUE(edit(window, "Mac")->isReadOnly());
        EXPECT_FALSE(edit(window, "Mac")->isEnabled());
        EXPECT_EQ(textOf(window, "TTL"), QStringLiteral("64"));
        EXPECT_EQ(precedenceList(window)->currentText(), QStringLiteral("срочно [011]"));
        EXPECT_FALSE(checkBox(window, "Tos3")->isChecked());
        EXPECT_TRUE(checkBox(window, "Tos4")->isChecked());
        EXPECT_TRUE(checkBox(window, "Tos5")->isChecked());
        EXPECT_TRUE(dialogs.informed.empty());
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords(), stored);
    }
}

TEST_F(NetForm, GroupCaptionsAndTheRemoteGroupFollowTheEdition)
{
    struct Case {
        std::uint16_t typeWord;
        const char* local;
        bool remoteShown;
    };
    const std::vector<Case> cases{
        {R420ZA, "Контроллер R-420ZA", true},
        {0x2001, "Контроллер R-420ZB", false},
        {0x1000, "Контроллер R-410ZA", true},
        {R410ZB, "Контроллер R-410ZB", false},
        {0x3000, "Контроллер ZA", true},
    };
    for (const Case& c : cases) {
        record.setTypeWord(c.typeWord);
        TFNet* window = openNet();
        EXPECT_EQ(group(window, "GrpLocal")->title(), QString::fromUtf8(c.local));
        EXPECT_EQ(group(window, "GrpRemote")->isHidden(), !c.remoteShown) << c.local;
        if (c.remoteShown) {
            EXPECT_EQ(group(window, "GrpRemote")->title(),
                      QStringLiteral("Удаленный контроллер ") + modelName(c.typeWord)
                          + QStringLiteral("ZB"));
        }
        click(button(window, "ButCancel"));
    }
}

TEST_F(NetForm, EditionZbKeepsAndSavesTheHiddenRemoteWords)
{
    record.setTypeWord(R410ZB);
    Words stored = DemoZA;
    stored[14] = 10;
    stored[17] = 99;
    stored[18] = 0x12;
    stored[19] = 0x34;
    storeWords(stored);
    TFNet* window = openNet();
    EXPECT_TRUE(group(window, "GrpRemote")->isHidden());
    selectAllAndType(octetOf(window, "Ip", 4), QStringLiteral("12"));
    click(button(window, "ButOk"));
    stored[11] = 12;
    EXPECT_EQ(savedWords(), stored);
}

TEST_F(NetForm, OctetsAreCheckedAgainstTheirLimitsAsTheyAreTyped)
{
    struct Case {
        const char* field;
        int octet;
        const char* typed;
        std::vector<QString> told;
        const char* shown;
        std::size_t word;
        std::uint16_t stored;
    };
    const std::vector<Case> cases{
        {"Ip", 3, "300", {rangeText("0..255")}, "192.168.255.10", 10, 255},
        {"Gate", 1, "230", {rangeText("0..223")}, "223.168.1.1", 0, 223},
        {"Mask", 1, "255", {}, "255.255.255.0", 4, 255},
        {"Mask", 4, "256", {rangeText("0..255")}, "255.255.255.255", 7, 255},
        {"IpDst", 1, "224", {rangeText("0..223")}, "223.168.1.11", 14, 223},
        {"IpDst", 2, "7", {}, "192.7.1.11", 15, 7},
    };
    for (const Case& c : cases) {
        storeWords(DemoZA);
        dialogs.informed.clear();
        TFNet* window = openNet();
        selectAllAndType(octetOf(window, c.field, c.octet), QString::fromLatin1(c.typed));
        EXPECT_EQ(dialogs.informed, c.told) << c.field << c.octet;
        EXPECT_EQ(addressOf(window, c.field), QString::fromLatin1(c.shown));
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords()[c.word], c.stored) << c.field << c.octet;
    }
}

TEST_F(NetForm, PortsOutsideTheirRangeTakeTheNearerBound)
{
    struct Case {
        const char* field;
        const char* entered;
        const char* shown;
        std::size_t highWord;
        std::uint16_t high;
        std::uint16_t low;
    };
    const std::vector<Case> cases{
        {"Port", "70000", "65535", 12, 0xFF, 0xFF},
        {"Port", "80", "1025", 12, 0x04, 0x01},
        {"PortDst", "1024", "1025", 18, 0x04, 0x01},
        {"PortDst", "65536", "65535", 18, 0xFF, 0xFF},
    };
    for (const Case& c : cases) {
        storeWords(DemoZA);
        dialogs.informed.clear();
        TFNet* window = openNet();
        selectAllAndPaste(edit(window, QString::fromLatin1(c.field)),
                          QString::fromLatin1(c.entered));
        EXPECT_EQ(dialogs.informed, std::vector<QString>{PortMessage}) << c.entered;
        EXPECT_EQ(textOf(window, c.field), QString::fromLatin1(c.shown)) << c.entered;
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords()[c.highWord], c.high) << c.entered;
        EXPECT_EQ(savedWords()[c.highWord + 1], c.low) << c.entered;
    }
}

TEST_F(NetForm, PortIsCheckedAtEveryChangeOfItsText)
{
    TFNet* window = openNet();
    QLineEdit* port = edit(window, "Port");

    // Emptied, the port reads 0 and becomes 1025 at once.
    port->setFocus();
    port->selectAll();
    QTest::keyClick(port, Qt::Key_Delete);
    EXPECT_EQ(dialogs.informed, std::vector<QString>{PortMessage});
    EXPECT_EQ(port->text(), QStringLiteral("1025"));

    // Typed over digit by digit, the first digit alone is below the range.
    selectAllAndType(port, QStringLiteral("2"));
    EXPECT_EQ(dialogs.informed.size(), 2u);
    EXPECT_EQ(port->text(), QStringLiteral("1025"));

    // Digits typed into the middle give numbers in the range: no message.
    port->setCursorPosition(1);
    QTest::keyClicks(port, QStringLiteral("2"));
    EXPECT_EQ(port->text(), QStringLiteral("12025"));
    QTest::keyClicks(port, QStringLiteral("9"));
    EXPECT_EQ(port->text(), QStringLiteral("12025")) << "five digits at most";
    EXPECT_EQ(dialogs.informed.size(), 2u);
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[12], 12025 >> 8);
    EXPECT_EQ(savedWords()[13], 12025 & 0xFF);
}

TEST_F(NetForm, TimeToLiveIsCheckedAgainst0To255)
{
    TFNet* window = openNet();
    showPage(window, QStringLiteral("Дополнительно"));
    QLineEdit* ttl = edit(window, "TTL");
    selectAllAndPaste(ttl, QStringLiteral("300"));
    EXPECT_EQ(dialogs.informed, std::vector<QString>{rangeText("0..255")});
    EXPECT_EQ(ttl->text(), QStringLiteral("255"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[21], 255);

    window = openNet();
    showPage(window, QStringLiteral("Дополнительно"));
    ttl = edit(window, "TTL");
    ttl->setFocus();
    ttl->selectAll();
    QTest::keyClick(ttl, Qt::Key_Delete);
    EXPECT_EQ(ttl->text(), QStringLiteral("0")) << "emptied, it reads 0";
    EXPECT_EQ(dialogs.informed.size(), 1u);
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[21], 0);
}

TEST_F(NetForm, TypingMovesOnAtADotAndTakesNothingButDigits)
{
    area.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
    TFNet* window = openNet();
    QLineEdit* first = octetOf(window, "Gate", 1);
    selectAllAndType(first, QStringLiteral("10"));
    typeWhereFocused(QStringLiteral("."));
    EXPECT_TRUE(octetOf(window, "Gate", 2)->hasFocus());
    typeWhereFocused(QStringLiteral("0,5.x6"));
    EXPECT_TRUE(octetOf(window, "Gate", 4)->hasFocus());
    typeWhereFocused(QStringLiteral("-. "));
    EXPECT_EQ(addressOf(window, "Gate"), QStringLiteral("10.0.5.6"));
    EXPECT_TRUE(octetOf(window, "Gate", 4)->hasFocus()) << "the last octet keeps the cursor";
    octetOf(window, "Gate", 4)->selectAll();
    typeWhereFocused(QStringLiteral("7"));

    // An emptied octet is 0, without a message.
    octetOf(window, "Gate", 3)->selectAll();
    QTest::keyClick(octetOf(window, "Gate", 3), Qt::Key_Delete);
    EXPECT_EQ(addressOf(window, "Gate"), QStringLiteral("10.0.0.7"));
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "ButOk"));
    const Words saved = savedWords();
    EXPECT_EQ((std::vector<std::uint16_t>{saved[0], saved[1], saved[2], saved[3]}),
              (std::vector<std::uint16_t>{10, 0, 0, 7}));
}

TEST_F(NetForm, BackspaceDeletesInEveryNumberField)
{
    struct Case {
        const char* field;
        int octet; // 0: a field of its own
        const char* shown;
        std::size_t word;
        std::uint16_t stored;
    };
    const std::vector<Case> cases{
        {"Ip", 4, "192.168.1.1", 11, 1},
        {"Gate", 1, "19.168.1.1", 0, 19},
        {"Port", 0, "3001", 13, 3001 & 0xFF},
        {"TTL", 0, "12", 21, 12},
    };
    for (const Case& c : cases) {
        storeWords(DemoZA);
        TFNet* window = openNet();
        QLineEdit* field = c.octet ? octetOf(window, c.field, c.octet) : edit(window, c.field);
        field->setFocus();
        field->setCursorPosition(static_cast<int>(field->text().size()));
        QTest::keyClick(field, Qt::Key_Backspace);
        const QString shown = c.octet ? addressOf(window, c.field) : field->text();
        EXPECT_EQ(shown, QString::fromLatin1(c.shown)) << c.field;
        click(button(window, "ButOk"));
        EXPECT_EQ(savedWords()[c.word], c.stored) << c.field;
    }
    EXPECT_TRUE(dialogs.informed.empty());
}

TEST_F(NetForm, TosBoxesAndPrecedenceChangeWord20ByTheirMasks)
{
    Words stored = DemoZA;
    stored[NetModel::TosWord] = 0xAB3D;
    storeWords(stored);
    TFNet* window = openNet();
    showPage(window, QStringLiteral("Дополнительно"));
    EXPECT_EQ(precedenceList(window)->currentText(), QStringLiteral("CRITIC/ECP [101]"));

    EXPECT_TRUE(checkBox(window, "Tos3")->isChecked());
    click(checkBox(window, "Tos3"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[NetModel::TosWord], 0x0035) << "AND 0x00F7";

    // Ticking only adds the bit, so bits 8-15 stay.
    stored[NetModel::TosWord] = 0xAB25;
    storeWords(stored);
    window = openNet();
    showPage(window, QStringLiteral("Дополнительно"));
    click(checkBox(window, "Tos4"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[NetModel::TosWord], 0xAB35) << "OR 0x0010";

    struct Step {
        const char* box; // empty: choose the precedence
        int precedence;
        std::uint16_t word;
    };
    const std::vector<Step> steps{
        {"Tos4", 0, 0x0025}, // AND 0x00EF
        {"Tos5", 0, 0x0005}, // AND 0x00DF
        {"Tos3", 0, 0x000D},
        {"", 7, 0x000F},
        {"Tos5", 0, 0x002F},
        {"", 0, 0x0028},
    };
    stored[NetModel::TosWord] = 0xFF35;
    storeWords(stored);
    window = openNet();
    showPage(window, QStringLiteral("Дополнительно"));
    for (const Step& step : steps) {
        if (*step.box)
            toggleAccessibly(checkBox(window, step.box));
        else
            precedenceList(window)->setCurrentIndex(step.precedence);
        click(button(window, "TestBtn"));
        runWorker();
        const Bytes pushed = sim::Simulator::instance().controller()->devices().parameters.block(9);
        ASSERT_EQ(pushed.size(), 44u);
        EXPECT_EQ(pushed[40] << 8 | pushed[41], step.word) << step.box << step.precedence;
    }
    click(button(window, "ButCancel"));
    EXPECT_EQ(savedWords()[NetModel::TosWord], 0xFF35) << "\"Закрыть\" leaves the record";
}

TEST_F(NetForm, ResetOnZbGivesItsDefaultsAndTheRecordWaitsForSave)
{
    record.setTypeWord(R410ZB);
    Words stored{};
    stored.fill(0x0101);
    stored[NetModel::TosWord] = 0x003F;
    storeWords(stored);
    TFNet* window = openNet();
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{PortMessage, PortMessage}));
    dialogs.informed.clear();
    const Bytes opened = bytesOf(record, Blocks::Net);
    click(button(window, "ButDefault"));
    EXPECT_EQ(networkPage(window).mid(1),
              (QStringList{"192.168.1.11", "192.168.1.1", "255.255.255.0", "30010", "0.0.0.0",
                           "30010"}));
    EXPECT_EQ(textOf(window, "TTL"), QStringLiteral("128"));
    EXPECT_EQ(precedenceList(window)->currentText(), QStringLiteral("обычный [000]"));
    for (const char* name : {"Tos3", "Tos4", "Tos5"})
        EXPECT_FALSE(checkBox(window, name)->isChecked()) << name;
    EXPECT_TRUE(dialogs.informed.empty());
    EXPECT_EQ(bytesOf(record, Blocks::Net), opened) << "the record waits";

    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{192, 168, 1, 1, 255, 255, 255, 0, 192, 168, 1, 11, 0x75, 0x3A,
                                   0, 0, 0, 0, 0x75, 0x3A, 0, 128}));
}

TEST_F(NetForm, ResetThenCloseLeavesTheRecord)
{
    Words stored{};
    stored.fill(0x0101);
    storeWords(stored);
    TFNet* window = openNet();
    click(button(window, "ButDefault"));
    EXPECT_EQ(addressOf(window, "Ip"), QStringLiteral("192.168.1.10"));
    EXPECT_EQ(addressOf(window, "IpDst"), QStringLiteral("192.168.1.11"));
    click(button(window, "ButCancel"));
    EXPECT_EQ(savedWords(), stored);
}

TEST_F(NetForm, ABlankRecordsPortsAreToldAndCorrectedOnOpening)
{
    record = ConfigRecord::blank();
    TFNet* window = openNet();
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{PortMessage, PortMessage}));
    EXPECT_EQ(networkPage(window).mid(1),
              (QStringList{"0.0.0.0", "0.0.0.0", "0.0.0.0", "1025", "0.0.0.0", "1025"}));
    EXPECT_EQ(textOf(window, "TTL"), QStringLiteral("0"));
    EXPECT_EQ(group(window, "GrpLocal")->title(), QStringLiteral("Контроллер R-410ZA"));
    EXPECT_EQ(textOf(window, "Mac"), QStringLiteral("00-00-00-00-00-00"));
    EXPECT_EQ(dialogs.informed.size(), 2u) << "the corrections are told once";
    click(button(window, "ButOk"));
    Words expected{};
    expected[12] = 4;
    expected[13] = 1;
    expected[18] = 4;
    expected[19] = 1;
    EXPECT_EQ(savedWords(), expected);
}

TEST_F(NetForm, OpeningsMessagesStandOverTheShownEditor)
{
    record = ConfigRecord::blank();
    std::vector<bool> editorInFront;
    dialogs.whileInforming = [&] {
        auto* net = area.findChild<TFNet*>();
        editorInFront.push_back(net && net->isVisible() && area.activeSubWindow() == net);
    };
    openNet();
    EXPECT_EQ(editorInFront, (std::vector<bool>{true, true}));

    // Opened again, the window comes forward and tells nothing more.
    openNet();
    EXPECT_EQ(dialogs.informed.size(), 2u);
}

TEST_F(NetForm, StoredOutOfRangeOctetsAreToldInTheWindowsOrderAndCorrected)
{
    Words stored = DemoZA;
    stored[14] = 250; // remote address
    stored[0] = 0x01E6; // gateway: low byte 230
    stored[8] = 0x0140; // address: low byte 64, in range
    storeWords(stored);
    TFNet* window = openNet();
    EXPECT_EQ(dialogs.informed, (std::vector<QString>{rangeText("0..223"), rangeText("0..223")}));
    EXPECT_EQ(addressOf(window, "Gate"), QStringLiteral("223.168.1.1"));
    EXPECT_EQ(addressOf(window, "Ip"), QStringLiteral("64.168.1.10"));
    EXPECT_EQ(addressOf(window, "IpDst"), QStringLiteral("223.168.1.11"));
    click(button(window, "ButOk"));
    const Words saved = savedWords();
    EXPECT_EQ(saved[0], 223);
    EXPECT_EQ(saved[8], 64);
    EXPECT_EQ(saved[14], 223);
}

TEST_F(NetForm, AllOnesBlockOpensAtTheBoundsAndSavesThem)
{
    Words stored{};
    stored.fill(0xFFFF);
    storeWords(stored);
    TFNet* window = openNet();
    EXPECT_EQ(dialogs.informed,
              (std::vector<QString>{rangeText("0..223"), rangeText("0..223"), PortMessage,
                                    rangeText("0..223"), PortMessage}));
    EXPECT_EQ(networkPage(window).mid(1),
              (QStringList{"223.255.255.255", "223.255.255.255", "255.255.255.255", "65535",
                           "223.255.255.255", "65535"}));
    EXPECT_EQ(textOf(window, "TTL"), QStringLiteral("255"));
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords(), (Words{223, 255, 255, 255, 255, 255, 255, 255, 223, 255, 255, 255,
                                   0xFF, 0xFF, 223, 255, 255, 255, 0xFF, 0xFF, 0xFFFF, 255}));
}

TEST_F(NetForm, TestSendsTheEditedWorkingCopyAndCloseLeavesTheRecord)
{
    const Bytes stored = bytesOf(record, Blocks::Net);
    TFNet* window = openNet();
    selectAllAndType(octetOf(window, "Ip", 4), QStringLiteral("77"));
    selectAllAndPaste(edit(window, "PortDst"), QStringLiteral("40000"));
    showPage(window, QStringLiteral("Дополнительно"));
    selectAllAndType(edit(window, "TTL"), QStringLiteral("64"));
    click(checkBox(window, "Tos4"));
    EXPECT_TRUE(dialogs.informed.empty());
    click(button(window, "TestBtn"));
    runWorker();

    ASSERT_FALSE(requests().empty());
    EXPECT_EQ(requests().back(),
              "09 00 00 00 00 00 00 00 "
              "00 C0 00 A8 00 01 00 01 00 FF 00 FF 00 FF 00 00 00 C0 00 A8 00 01 00 4D "
              "00 75 00 3A 00 C0 00 A8 00 01 00 0B 00 9C 00 40 00 10 00 40 00");
    EXPECT_EQ((requests().back().size() + 1) / 3, 53u);
    EXPECT_EQ(log.lines, QStringList{NetLoaded});
    EXPECT_EQ(bytesOf(record, Blocks::Net), stored) << "a test does not save";
    EXPECT_TRUE(window->isVisible());

    click(button(window, "ButCancel"));
    EXPECT_EQ(bytesOf(record, Blocks::Net), stored);
    EXPECT_EQ(log.lines, QStringList{NetLoaded});
}

TEST_F(NetForm, ClosingWithdrawsATestNotYetTaken)
{
    TFNet* window = openNet();
    click(button(window, "TestBtn"));
    click(button(window, "ButCancel"));
    runWorker();
    EXPECT_TRUE(requests().empty());
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(NetForm, AFailedTestIsLoggedAndTheWorkingCopyKept)
{
    TFNet* window = openNet();
    selectAllAndType(octetOf(window, "Mask", 4), QStringLiteral("128"));
    sim::Simulator::instance().clear();
    click(button(window, "TestBtn"));
    runWorker();
    ASSERT_FALSE(log.lines.isEmpty());
    EXPECT_NE(log.lines.back(), NetLoaded);
    EXPECT_TRUE(dialogs.informed.empty()) << "the window itself shows nothing";
    click(button(window, "ButOk"));
    EXPECT_EQ(savedWords()[7], 128);
}

TEST_F(NetForm, OpeningAgainBringsTheOpenWindowForwardWithItsChanges)
{
    TFNet* window = openNet();
    selectAllAndType(octetOf(window, "Ip", 4), QStringLiteral("20"));
    EXPECT_EQ(openNet(), window);
    EXPECT_EQ(addressOf(window, "Ip"), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(area.subWindowList().size(), 1);
}

TEST(NetPayload, SizeAgreesWithTheWorkersLoad)
{
    ConfigRecord record = ConfigRecord::blank();
    const NetModel net({record.data(Blocks::Identity), record.data(Blocks::Net),
                        record.data(Blocks::Board)});
    EXPECT_EQ(net.payloadSize(), parameterPush(TFNet::Kind.event).frame.payloadSize);
}
