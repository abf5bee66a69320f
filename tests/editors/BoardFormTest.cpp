#include <algorithm>
#include <functional>
#include <string>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalBlocker>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include "LocaleGuard.h"
#include "editors/AudioForm.h"
#include "editors/BoardForm.h"
#include "support/EditorBench.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The board identity editor on the bench's record, whose board block has a different byte
// everywhere (so any stray write shows) and whose words carry high bytes in the address words.
class BoardForm : public EditorBench {
protected:
    BoardForm()
    {
        for (int i = 0; i < CONFIG_RECORD_SIZE; ++i)
            record.bytes[i] = static_cast<std::uint8_t>(0x80 + i);
        record.setTypeWord(0x2000);
    }

    TFBoard* openBoard()
    {
        return TFBoard::open(
            area, dialogs,
            BoardInputs{record.data(Blocks::Identity), record.data(Blocks::Board)});
    }
    BoardBlock board() const { return BoardBlock::fromRecord(record.data(Blocks::Board)); }
    void storeBoard(const BoardBlock& block) { block.toRecord(record.data(Blocks::Board)); }
    void storeDate(const QByteArray& date)
    {
        BoardBlock block = board();
        block.setText(BoardBlock::Date, date);
        storeBoard(block);
    }
    // The record's texts as given and a date that "OK" writes back as it is under the Russian
    // locale, so that a save changes nothing but what was edited.
    void storeTexts(const QByteArray& serial, const QByteArray& description)
    {
        BoardBlock block = board();
        block.setText(BoardBlock::Serial, serial);
        block.setText(BoardBlock::Date, "10.12.2026");
        block.setText(BoardBlock::Description, description);
        storeBoard(block);
    }
    // The record as it is with the text field holding the given bytes.
    RecordBytes withText(BoardBlock::TextField field, const QByteArray& text) const
    {
        ConfigRecord expected{record.bytes};
        BoardBlock block = board();
        block.setText(field, text);
        block.toRecord(expected.data(Blocks::Board));
        return expected.bytes;
    }
};

QLineEdit* lineEdit(QWidget* window, const char* name)
{
    auto* field = window->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(field, nullptr) << name;
    return field;
}

QPlainTextEdit* descriptionField(QWidget* window)
{
    return window->findChild<QPlainTextEdit*>(QStringLiteral("sDescr"));
}

QDateEdit* datePicker(QWidget* window)
{
    return window->findChild<QDateEdit*>(QStringLiteral("sData"));
}

// Types each character as a key press carrying it, as a keyboard layout does; QTest's own key
// clicks reach only Latin-1.
void typeText(QWidget* field, const QString& text)
{
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(field, &release);
    }
}

void paste(QWidget* field, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

// Drops a text at the start of a multi-line field, as a drag from another program ends: the
// drag moves on and drops only where the field took it when it entered.
void drop(QPlainTextEdit* field, const QString& text)
{
    QMimeData data;
    data.setText(text);
    const QPoint start(2, 2);
    QDragEnterEvent enter(start, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field->viewport(), &enter);
    if (!enter.isAccepted())
        return;
    QDragMoveEvent move(start, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field->viewport(), &move);
    QDropEvent event(start, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field->viewport(), &event);
}

void moveTo(QWidget* field, Qt::Key key)
{
    QTest::keyClick(field, key, Qt::ControlModifier);
}

// Commits a text as an input method does when a composition ends.
void compose(QWidget* field, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(field, &event);
}

QAccessibleEditableTextInterface* accessibleText(QWidget* field)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
    EXPECT_NE(accessible, nullptr);
    return accessible ? accessible->editableTextInterface() : nullptr;
}

int accessibleLength(QWidget* field)
{
    return QAccessible::queryAccessibleInterface(field)->textInterface()->characterCount();
}

void selectAll(QWidget* field)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
}

std::vector<std::string> labelTexts(QWidget* window)
{
    std::vector<std::string> texts;
    for (const QLabel* text : window->findChildren<QLabel*>())
        texts.push_back(text->text().toStdString());
    std::sort(texts.begin(), texts.end());
    return texts;
}

Bytes fieldBytes(const BoardBlock& block, BoardBlock::TextField field)
{
    return Bytes(block.bytes().begin() + field.offset,
                 block.bytes().begin() + field.offset + field.size);
}

} // namespace

TEST_F(BoardForm, OpensWithItsTextsAndTheStoredFields)
{
    const LocaleGuard russian(LocaleGuard::russian());
    BoardBlock block = board();
    for (int i = 0; i < BoardBlock::AddressLength; ++i)
        block.setAddressByte(i, 0x0A + 0x11 * i);
    ASSERT_TRUE(block.setSerialNumber(QStringLiteral("Ж-7")));
    block.setText(BoardBlock::Date, "10.12.2026");
    ASSERT_TRUE(block.setDescription(QStringLiteral("Пульт\nстенд 2")));
    storeBoard(block);

    TFBoard* window = openBoard();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Контроллер ID"));
    EXPECT_EQ(labelTexts(window),
              (std::vector<std::string>{"Дата:", "Контроллер R-420ZA", "Описание:",
                                        "Сер. номер:", "Физический адрес:"}));
    EXPECT_EQ(label(window, "SDev")->text(), QStringLiteral("Контроллер R-420ZA"));
    EXPECT_EQ(button(window, "OKButton")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(lineEdit(window, "Mac")->isVisible());
    EXPECT_TRUE(lineEdit(window, "Mac")->isEnabled());
    EXPECT_EQ(lineEdit(window, "Mac")->text(), QStringLiteral("0A-1B-2C-3D-4E-5F"));
    EXPECT_EQ(lineEdit(window, "sSerial")->text(), QStringLiteral("Ж-7"));
    EXPECT_EQ(datePicker(window)->date(), QDate(2026, 12, 10));
    EXPECT_EQ(datePicker(window)->text(), QStringLiteral("10.12.2026"));
    EXPECT_TRUE(datePicker(window)->calendarPopup());
    EXPECT_EQ(descriptionField(window)->toPlainText(), QStringLiteral("Пульт\nстенд 2"));
}

TEST_F(BoardForm, DatePickerShowsTheLocalesShortFormat)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    storeDate("5/10/26");
    TFBoard* window = openBoard();
    EXPECT_EQ(datePicker(window)->displayFormat(), QStringLiteral("M/d/yy"));
    EXPECT_EQ(datePicker(window)->text(), QStringLiteral("5/10/26"));

    // A month later by the keyboard, in the month's section where the cursor starts.
    QTest::keyClick(datePicker(window), Qt::Key_Up);
    click(button(window, "OKButton"));
    EXPECT_EQ(board().text(BoardBlock::Date), "6/10/26");
}

TEST_F(BoardForm, AddressFieldDiscardsAnythingButHexadecimalDigits)
{
    TFBoard* window = openBoard();
    QLineEdit* mac = lineEdit(window, "Mac");
    const QString shown = mac->text();
    mac->setFocus();
    QTest::keyClick(mac, Qt::Key_Home);
    for (const char* key : {"g", "-", " ", "Ж"}) {
        typeText(mac, QString::fromUtf8(key));
        EXPECT_EQ(mac->text(), shown) << key;
        EXPECT_EQ(mac->cursorPosition(), 0) << key;
    }
    QTest::keyClicks(mac, "a");
    EXPECT_EQ(mac->text(), QStringLiteral("A") + shown.mid(1));
    // A paste is no typed character: the mask keeps its digits and skips the rest.
    paste(mac, QStringLiteral("b-g c"));
    EXPECT_EQ(mac->text().left(5), QStringLiteral("AB-C") + shown.at(4));
}

TEST_F(BoardForm, TypedAddressStoresOneByteInEachOfWordsZeroToFive)
{
    const RecordBytes before = record.bytes;
    TFBoard* window = openBoard();
    QLineEdit* mac = lineEdit(window, "Mac");
    selectAll(mac);
    QTest::keyClicks(mac, "0a1b2c3d4e5f77");
    EXPECT_EQ(mac->text(), QStringLiteral("0A-1B-2C-3D-4E-5F"));
    click(button(window, "OKButton"));
    const std::uint8_t* block = record.data(Blocks::Board);
    EXPECT_EQ(Bytes(block, block + 12), (Bytes{0x00, 0x0A, 0x00, 0x1B, 0x00, 0x2C, 0x00, 0x3D,
                                               0x00, 0x4E, 0x00, 0x5F}));
    EXPECT_TRUE(std::equal(block + 12, block + 16, before.begin() + Blocks::Board.offset + 12))
        << "the serial number after the address is untouched";
}

TEST_F(BoardForm, FirstGroupLeftWithOneDigitStoresItsValue)
{
    TFBoard* window = openBoard();
    QLineEdit* mac = lineEdit(window, "Mac");
    QTest::keyClick(mac, Qt::Key_Home);
    QTest::keyClicks(mac, "A");
    QTest::keyClick(mac, Qt::Key_Delete);
    EXPECT_EQ(mac->displayText().left(3), QStringLiteral("A -"));
    click(button(window, "OKButton"));
    const BoardBlock saved = board();
    EXPECT_EQ(saved.hardwareAddress()[0], 0x0A);
    EXPECT_EQ(saved.bytes()[1], 0x00) << "the word's high byte";
}

TEST_F(BoardForm, TwoCharacterSerialKeepsTheFieldsFourthByte)
{
    BoardBlock block = board();
    ASSERT_TRUE(block.setSerialNumber(QStringLiteral("ABCD")));
    storeBoard(block);
    TFBoard* window = openBoard();
    QLineEdit* serial = lineEdit(window, "sSerial");
    selectAll(serial);
    QTest::keyClicks(serial, "12");
    click(button(window, "OKButton"));
    EXPECT_EQ(fieldBytes(board(), BoardBlock::Serial), (Bytes{'1', '2', 0, 'D'}));
}

TEST_F(BoardForm, DateThatDoesNotParseOpensWithTodayAndOkWritesIt)
{
    for (const QLocale& locale : {LocaleGuard::russian(), LocaleGuard::usEnglish()}) {
        const LocaleGuard pinned(locale);
        storeDate(QByteArray(10, '\0'));
        const QDate today = QDate::currentDate();
        TFBoard* window = openBoard();
        EXPECT_EQ(datePicker(window)->date(), today) << locale.name().toStdString();
        click(button(window, "OKButton"));
        EXPECT_EQ(board().text(BoardBlock::Date), boardDateText(today, locale));
        EXPECT_EQ(boardDate(board().text(BoardBlock::Date), locale), today);
    }
    EXPECT_EQ(boardDateText(QDate(2026, 3, 4), LocaleGuard::russian()), "04.03.2026");
}

TEST_F(BoardForm, SixtyFourCharacterDescriptionFillsTheFieldAndNoMore)
{
    const RecordBytes before = record.bytes;
    TFBoard* window = openBoard();
    QPlainTextEdit* description = descriptionField(window);
    selectAll(description);
    typeText(description, QString(65, u'Ж'));
    EXPECT_EQ(description->toPlainText(), QString(64, u'Ж')) << "the 65th is refused";
    click(button(window, "OKButton"));
    EXPECT_EQ(fieldBytes(board(), BoardBlock::Description), Bytes(64, 0xC6));
    for (int i = Blocks::Board.end(); i < CONFIG_RECORD_SIZE; ++i)
        EXPECT_EQ(record.bytes[i], before[i]) << "after the block, byte " << i;
}

TEST_F(BoardForm, LineBreaksTakeTheirTwoBytesOfTheDescription)
{
    TFBoard* window = openBoard();
    QPlainTextEdit* description = descriptionField(window);
    selectAll(description);
    typeText(description, QString(61, u'ж'));
    QTest::keyClick(description, Qt::Key_Return);
    typeText(description, QStringLiteral("яя"));
    EXPECT_EQ(description->toPlainText(), QString(61, u'ж') + u'\n' + u'я');
    QTest::keyClick(description, Qt::Key_Return);
    EXPECT_EQ(description->toPlainText().size(), 63) << "a break would take 66 bytes";
    EXPECT_TRUE(window->isVisible()) << "Enter in the description is a line break, not OK";
    click(button(window, "OKButton"));
    const QByteArray stored = board().text(BoardBlock::Description);
    EXPECT_EQ(stored.size(), 64);
    EXPECT_EQ(stored.mid(61, 2), "\r\n");
}

TEST_F(BoardForm, CharactersWithoutAWindows1251ByteAreRefusedAtInput)
{
    TFBoard* window = openBoard();
    QLineEdit* serial = lineEdit(window, "sSerial");
    QPlainTextEdit* description = descriptionField(window);
    selectAll(serial);
    QTest::keyClick(serial, Qt::Key_Delete);
    typeText(serial, QStringLiteral("1ß中2"));
    EXPECT_EQ(serial->text(), QStringLiteral("12"));
    paste(serial, QStringLiteral("€ß"));
    EXPECT_EQ(serial->text(), QStringLiteral("12")) << "a paste with one such character";
    paste(serial, QStringLiteral("№Ж"));
    EXPECT_EQ(serial->text(), QStringLiteral("12№Ж"));

    selectAll(description);
    QTest::keyClick(description, Qt::Key_Delete);
    typeText(description, QStringLiteral("Щит ßß№1"));
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Щит №1"));
    paste(description, QStringLiteral(", Größe"));
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Щит №1"));
    EXPECT_EQ(description->textCursor().position(), 6) << "the cursor stays where it was";
    paste(description, QStringLiteral(", €"));
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Щит №1, €"));
    drop(description, QStringLiteral("ß "));
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Щит №1, €"));
    drop(description, QStringLiteral("Ё "));
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Ё Щит №1, €"));

    click(button(window, "OKButton"));
    EXPECT_EQ(board().text(BoardBlock::Serial), encodeBoardText(QStringLiteral("12№Ж")));
    EXPECT_EQ(board().description(), QStringLiteral("Ё Щит №1, €"));
}

TEST_F(BoardForm, OnAnR410TheAddressIsHiddenAndKept)
{
    TFBoard* r420 = openBoard();
    const int r420Height = r420->height();
    r420->close();
    record.setTypeWord(0x1001);
    const RecordBytes before = record.bytes;
    TFBoard* window = openBoard();
    EXPECT_EQ(label(window, "SDev")->text(), QStringLiteral("Контроллер R-410ZB"));
    for (const char* name : {"Mac", "LMac"}) {
        auto* control = window->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr);
        EXPECT_FALSE(control->isVisible()) << name;
        EXPECT_FALSE(control->isEnabled()) << name;
    }
    EXPECT_LT(window->height(), r420Height) << "the hidden row takes no room";
    click(button(window, "OKButton"));
    EXPECT_TRUE(std::equal(before.begin() + Blocks::Board.offset,
                           before.begin() + Blocks::Board.offset + 12,
                           record.data(Blocks::Board)));
}

TEST_F(BoardForm, OkWithoutEditsLeavesTheBlockByteForByte)
{
    struct Case {
        QLocale locale;
        QByteArray date;
    };
    for (const Case& c : {Case{LocaleGuard::russian(), "10.12.2026"},
                          Case{LocaleGuard::usEnglish(), "12/10/26"}}) {
        const LocaleGuard pinned(c.locale);
        storeDate(c.date);
        BoardBlock block = board();
        ASSERT_TRUE(block.setDescription(QStringLiteral("Пульт\nстенд 2\n")));
        storeBoard(block);
        const RecordBytes before = record.bytes;
        click(button(openBoard(), "OKButton"));
        EXPECT_EQ(record.bytes, before) << c.date.toStdString();
    }
}

TEST_F(BoardForm, ClosingAnyOtherWayLeavesTheRecordAsItWas)
{
    const RecordBytes before = record.bytes;
    TFBoard* window = openBoard();
    selectAll(lineEdit(window, "sSerial"));
    QTest::keyClicks(lineEdit(window, "sSerial"), "99");
    selectAll(lineEdit(window, "Mac"));
    QTest::keyClicks(lineEdit(window, "Mac"), "000000000000");
    typeText(descriptionField(window), QStringLiteral("новое"));
    window->close();
    EXPECT_EQ(record.bytes, before);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(BoardForm, EnterInAOneLineFieldPressesOk)
{
    TFBoard* window = openBoard();
    QLineEdit* serial = lineEdit(window, "sSerial");
    selectAll(serial);
    QTest::keyClicks(serial, "77");
    QTest::keyClick(serial, Qt::Key_Return);
    EXPECT_EQ(board().text(BoardBlock::Serial), "77");
    EXPECT_TRUE(area.subWindowList().isEmpty()) << "OK closes the window";

    TFBoard* again = openBoard();
    QTest::keyClick(datePicker(again), Qt::Key_Enter);
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(BoardForm, OpeningItAgainBringsTheOpenOneForwardWithoutLoading)
{
    TFAudio::open(*place, record.data(Blocks::Amplifier));
    TFBoard* window = openBoard();
    EXPECT_EQ(window->pos(), QPoint(10, 10));
    selectAll(lineEdit(window, "sSerial"));
    QTest::keyClicks(lineEdit(window, "sSerial"), "55");
    window->showMinimized();

    EXPECT_EQ(openBoard(), window);
    EXPECT_EQ(area.subWindowList().size(), 2);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(area.activeSubWindow(), window);
    EXPECT_EQ(lineEdit(window, "sSerial")->text(), QStringLiteral("55"));

    click(button(window, "OKButton"));
    const QPointer<TFBoard> closed(window);
    TFBoard* fresh = openBoard();
    EXPECT_NE(fresh, closed.data());
    EXPECT_EQ(lineEdit(fresh, "sSerial")->text(), QStringLiteral("55"));
}

TEST_F(BoardForm, AnEditElsewhereKeepsEveryStoredByteOfTheDescription)
{
    const LocaleGuard russian(LocaleGuard::russian());
    struct Stored {
        const char* what;
        QByteArray bytes;
    };
    const QByteArray full = "\r" + QByteArray(30, 'a') + "\n" + QByteArray(31, 'b') + "\xA0";
    const Stored stored[] = {
        {"no-break space", "\xD9\xE8\xF2\xA0\xB9\x31"}, // "Щит", no-break space, "№1"
        {"high bytes", "a\x98\xAD\x88\xB9\xFF\xA8\x96\x81\xA0z"},
        {"lone carriage return", "a\rb"},
        {"lone line feed", "a\nb"},
        {"carriage return and line feed", "a\r\nb"},
        {"carriage return before a line break", "a\r\r\nb"},
        {"line feed before a carriage return", "a\n\rb"},
        {"64 bytes", full},
    };
    struct Edit {
        const char* what;
        std::function<void(QPlainTextEdit*)> make;
        std::function<QByteArray(const QByteArray&)> expected;
    };
    // Every stored text starts and ends with a character of one byte.
    const auto fits = [](const QByteArray& bytes) { return bytes.size() < 64; };
    const Edit edits[] = {
        {"typed at the end",
         [](QPlainTextEdit* field) {
             moveTo(field, Qt::Key_End);
             typeText(field, QStringLiteral("Ж"));
         },
         [&](const QByteArray& bytes) { return fits(bytes) ? bytes + "\xC6" : bytes; }},
        {"typed at the start",
         [](QPlainTextEdit* field) {
             moveTo(field, Qt::Key_Home);
             typeText(field, QStringLiteral("Ж"));
         },
         [&](const QByteArray& bytes) { return fits(bytes) ? "\xC6" + bytes : bytes; }},
        {"first character deleted",
         [](QPlainTextEdit* field) {
             moveTo(field, Qt::Key_Home);
             QTest::keyClick(field, Qt::Key_Delete);
         },
         [](const QByteArray& bytes) { return bytes.mid(1); }},
        {"last character replaced",
         [](QPlainTextEdit* field) {
             moveTo(field, Qt::Key_End);
             QTest::keyClick(field, Qt::Key_Left, Qt::ShiftModifier);
             typeText(field, QStringLiteral("Z"));
         },
         [](const QByteArray& bytes) { return bytes.chopped(1) + "Z"; }},
    };
    for (const Stored& s : stored) {
        for (const Edit& edit : edits) {
            storeTexts("12", s.bytes);
            const RecordBytes expected =
                withText(BoardBlock::Description, edit.expected(s.bytes));
            TFBoard* window = openBoard();
            edit.make(descriptionField(window));
            click(button(window, "OKButton"));
            EXPECT_TRUE(record.bytes == expected)
                << s.what << ", " << edit.what << ": "
                << board().text(BoardBlock::Description).toHex(' ').toStdString();
            EXPECT_TRUE(area.subWindowList().isEmpty()) << s.what << ", " << edit.what;
        }
    }
}

TEST_F(BoardForm, TheByteGuardCountsEachLineBreakAsStored)
{
    const LocaleGuard russian(LocaleGuard::russian());
    struct Case {
        const char* what;
        QByteArray stored;
        QString typed; // at the end of the text; a line feed is the Enter key
        QString taken; // what the field shows of it
    };
    const QByteArray left(30, 'a');
    const QByteArray right(31, 'b');
    const Case cases[] = {
        {"carriage return and line feed, 63 bytes", left + "\r\n" + right, "xy", "x"},
        {"lone carriage return, 62 bytes", left + "\r" + right, "xyz", "xy"},
        {"lone carriage return, 63 bytes", left + "a\r" + right, "xy", "x"},
        {"lone line feed, 63 bytes", left + "a\n" + right, "xy", "x"},
        {"two lone breaks, 64 bytes", left + "a\r" + right + "\n", "x", ""},
        {"Enter after a lone line feed, 62 bytes", left + "\n" + right, "\n\n", "\n"},
        {"Enter after a lone carriage return, 63 bytes", left + "a\r" + right, "\n", ""},
    };
    for (const Case& c : cases) {
        storeTexts("12", c.stored);
        TFBoard* window = openBoard();
        QPlainTextEdit* description = descriptionField(window);
        const QString opened = description->toPlainText();
        moveTo(description, Qt::Key_End);
        for (const QChar key : c.typed) {
            if (key == u'\n')
                QTest::keyClick(description, Qt::Key_Return);
            else
                typeText(description, key);
        }
        EXPECT_EQ(description->toPlainText(), opened + c.taken) << c.what;
        click(button(window, "OKButton"));
        QByteArray taken = c.taken.toLatin1();
        taken.replace("\n", "\r\n");
        EXPECT_EQ(board().text(BoardBlock::Description), c.stored + taken) << c.what;
    }
}

TEST_F(BoardForm, TheDescriptionRefusesWhatItCannotStoreHoweverItArrives)
{
    const LocaleGuard russian(LocaleGuard::russian());
    struct Way {
        const char* what;
        std::function<void(QPlainTextEdit*, const QString&)> enter;
    };
    // Typing, key by key, is in CharactersWithoutAWindows1251ByteAreRefusedAtInput.
    const Way ways[] = {
        {"pasted",
         [](QPlainTextEdit* field, const QString& text) {
             moveTo(field, Qt::Key_End);
             paste(field, text);
         }},
        {"dropped", [](QPlainTextEdit* field, const QString& text) { drop(field, text); }},
        {"composed by an input method",
         [](QPlainTextEdit* field, const QString& text) {
             moveTo(field, Qt::Key_End);
             compose(field, text);
         }},
        {"inserted through the accessibility interface",
         [](QPlainTextEdit* field, const QString& text) {
             accessibleText(field)->insertText(accessibleLength(field), text);
         }},
        {"replacing through the accessibility interface",
         [](QPlainTextEdit* field, const QString& text) {
             accessibleText(field)->replaceText(0, 3, text);
         }},
    };
    // "Щит", a no-break space, "№1": 6 bytes. Each refused text would make the description
    // longer than 64 bytes even where it replaces "Щит"; the last one only with its line break
    // counted as CR LF.
    const QByteArray stored = "\xD9\xE8\xF2\xA0\xB9\x31";
    for (const Way& way : ways) {
        for (const QString& refused :
             {QStringLiteral("ß"), QStringLiteral("Größe"), QStringLiteral("中"),
              QString(62, u'ж'), QString(30, u'ж') + u'\n' + QString(30, u'ж')}) {
            storeTexts("12", stored);
            const RecordBytes before = record.bytes;
            TFBoard* window = openBoard();
            QPlainTextEdit* description = descriptionField(window);
            const QString opened = description->toPlainText();
            way.enter(description, refused);
            EXPECT_EQ(description->toPlainText(), opened)
                << way.what << ": " << refused.toStdString();
            click(button(window, "OKButton"));
            EXPECT_TRUE(record.bytes == before) << way.what << ": " << refused.toStdString();
        }
        storeTexts("12", stored);
        TFBoard* window = openBoard();
        QPlainTextEdit* description = descriptionField(window);
        way.enter(description, QStringLiteral("Ж€"));
        EXPECT_TRUE(description->toPlainText().contains(QStringLiteral("Ж€"))) << way.what;
        EXPECT_TRUE(description->document()->toRawText().contains(QChar(0xA0))) << way.what;
        click(button(window, "OKButton"));
        const QByteArray saved = board().text(BoardBlock::Description);
        EXPECT_TRUE(saved.contains("\xC6\x88")) << way.what << ": " << saved.toHex().toStdString();
        EXPECT_TRUE(saved.contains('\xA0')) << way.what << ": " << saved.toHex().toStdString();
    }
}

TEST_F(BoardForm, TheSerialNumberRefusesWhatItCannotStoreHoweverItArrives)
{
    const LocaleGuard russian(LocaleGuard::russian());
    struct Way {
        const char* what;
        std::function<void(QLineEdit*, const QString&)> enter;
    };
    const Way ways[] = {
        {"pasted",
         [](QLineEdit* field, const QString& text) {
             field->end(false);
             paste(field, text);
         }},
        {"composed by an input method",
         [](QLineEdit* field, const QString& text) {
             field->end(false);
             compose(field, text);
         }},
        {"inserted through the accessibility interface",
         [](QLineEdit* field, const QString& text) {
             accessibleText(field)->insertText(accessibleLength(field), text);
         }},
        {"replacing through the accessibility interface",
         [](QLineEdit* field, const QString& text) {
             accessibleText(field)->replaceText(0, 1, text);
         }},
    };
    for (const Way& way : ways) {
        // The third takes 5 bytes even where it replaces the first character.
        for (const QString& refused : {QStringLiteral("ß"), QStringLiteral("中"),
                                       QStringLiteral("Ж€Ж1"), QString(QChar(u'\0'))}) {
            storeTexts("12", "a");
            const RecordBytes before = record.bytes;
            TFBoard* window = openBoard();
            QLineEdit* serial = lineEdit(window, "sSerial");
            way.enter(serial, refused);
            EXPECT_EQ(serial->text(), QStringLiteral("12"))
                << way.what << ": " << refused.toStdString();
            click(button(window, "OKButton"));
            EXPECT_TRUE(record.bytes == before) << way.what << ": " << refused.toStdString();
        }
        storeTexts("12", "a");
        TFBoard* window = openBoard();
        QLineEdit* serial = lineEdit(window, "sSerial");
        way.enter(serial, QStringLiteral("Ж€"));
        EXPECT_TRUE(serial->text().contains(QStringLiteral("Ж€"))) << way.what;
        click(button(window, "OKButton"));
        EXPECT_TRUE(board().text(BoardBlock::Serial).contains("\xC6\x88")) << way.what;
    }
}

TEST_F(BoardForm, DragsOfTextTheDescriptionCannotHoldAreNotTaken)
{
    struct Case {
        QString text;
        bool taken;
    };
    const Case cases[] = {
        {QStringLiteral("Ж №1"), true},
        {QStringLiteral("a\r\nb"), true},
        {QStringLiteral("Größe"), false},
        {QString(65, u'a'), false},
    };
    TFBoard* window = openBoard();
    QPlainTextEdit* description = descriptionField(window);
    for (const Case& c : cases) {
        QMimeData data;
        data.setText(c.text);
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(description->viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.text.toStdString();
    }
}

TEST_F(BoardForm, OkStoresNoSubstituteForATextThatGotPastTheFieldsGuard)
{
    const LocaleGuard russian(LocaleGuard::russian());
    struct Case {
        const char* field;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {"sDescr", QStringLiteral("Größe"),
         QStringLiteral("Недопустимый текст в поле \"Описание:\". Допускаются только символы "
                        "кодировки Windows-1251, не более 64 байт.")},
        {"sSerial", QStringLiteral("1ß"),
         QStringLiteral("Недопустимый текст в поле \"Сер. номер:\". Допускаются только символы "
                        "кодировки Windows-1251, не более 4 байт.")},
    };
    for (const Case& c : cases) {
        storeTexts("12", "a");
        const RecordBytes before = record.bytes;
        dialogs.informed.clear();
        const QPointer<TFBoard> window = openBoard();
        QWidget* field = window->findChild<QWidget*>(QString::fromLatin1(c.field));
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            const QSignalBlocker unguarded(line);
            line->setText(c.text);
        } else {
            auto* text = qobject_cast<QPlainTextEdit*>(field);
            const QSignalBlocker unguarded(text->document());
            text->setPlainText(c.text);
        }
        click(button(window, "OKButton"));
        EXPECT_EQ(dialogs.informed, std::vector<QString>{c.message}) << c.field;
        EXPECT_TRUE(record.bytes == before) << c.field << ": nothing is stored";
        ASSERT_TRUE(window) << c.field << ": the window stays open";
        window->close();
    }
}

TEST_F(BoardForm, TextDraggedWithinTheDescriptionLeavesTheBytesItPassesOver)
{
    const LocaleGuard russian(LocaleGuard::russian());
    storeTexts("12", "ab\rc\nd\xA0\x65");
    TFBoard* window = openBoard();
    QPlainTextEdit* description = descriptionField(window);
    // Qt drops a drag within the field as one edit: the dragged text removed, then inserted
    // from the drag's data where it is dropped.
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    QTextCursor drop(description->document());
    drop.beginEditBlock();
    QTextCursor dragged(description->document());
    dragged.setPosition(2, QTextCursor::KeepAnchor);
    dragged.removeSelectedText();
    QTextCursor target = description->textCursor();
    target.movePosition(QTextCursor::End);
    description->setTextCursor(target);
    description->paste();
    drop.endEditBlock();
    click(button(window, "OKButton"));
    EXPECT_EQ(board().text(BoardBlock::Description).toHex(' '),
              QByteArray("\rc\nd\xA0\x65" "ab").toHex(' '));
}

TEST_F(BoardForm, UndoNeverBringsARefusedEditBack)
{
    const LocaleGuard russian(LocaleGuard::russian());
    storeTexts("12", "\xD9\xE8\xF2");
    TFBoard* window = openBoard();
    QPlainTextEdit* description = descriptionField(window);
    moveTo(description, Qt::Key_End);
    typeText(description, QStringLiteral("Ж"));
    paste(description, QStringLiteral("ß"));
    EXPECT_EQ(description->toPlainText(), QStringLiteral("ЩитЖ"));
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(description, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_FALSE(description->toPlainText().contains(u'ß')) << i;
    }
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Щит"));
    QTest::keyClick(description, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(description, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(description->toPlainText().contains(u'ß'));
    click(button(window, "OKButton"));
    EXPECT_FALSE(board().text(BoardBlock::Description).contains('\x1A'));
}

TEST_F(BoardForm, ALineBreakTypedWithShiftEnterIsStoredAsOne)
{
    const LocaleGuard russian(LocaleGuard::russian());
    storeTexts("12", "ab");
    TFBoard* window = openBoard();
    QPlainTextEdit* description = descriptionField(window);
    moveTo(description, Qt::Key_End);
    QTest::keyClick(description, Qt::Key_Return, Qt::ShiftModifier);
    typeText(description, QStringLiteral("c"));
    click(button(window, "OKButton"));
    EXPECT_EQ(board().text(BoardBlock::Description), "ab\r\nc");
}
