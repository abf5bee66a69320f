#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "config/BoardBlock.h"
#include "config/ConfigRecord.h"
#include "tasks/InfoForm.h"

namespace {

const QString Description = QStringLiteral("Стенд сервисного отдела\nкомната 2");

// Address 00-1A-2B-3C-4D-5E, serial "12" then a zero byte and a left-over "7", a date and a
// two-line Cyrillic description.
BoardBlock standBoard()
{
    BoardBlock board;
    const BoardBlock::Address address{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    for (int i = 0; i < BoardBlock::AddressLength; ++i)
        board.setAddressByte(i, address[i]);
    board.setText(BoardBlock::Serial, "0417");
    board.setText(BoardBlock::Serial, "12");
    board.setText(BoardBlock::Date, "12.03.2025");
    EXPECT_TRUE(board.setDescription(Description));
    return board;
}

// Die ID words 0x0001, 0x0C00, 0x2345, 0x00AB and Chip ID 0x0005, least significant byte first.
ConfigRecord recordOf(std::uint16_t typeWord, const BoardBlock& board = standBoard())
{
    ConfigRecord record;
    const std::uint16_t words[6]{typeWord, 0x0001, 0x0C00, 0x2345, 0x00AB, 0x0005};
    std::uint8_t* identity = record.data(Blocks::Identity);
    for (int i = 0; i < 6; ++i) {
        identity[2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
        identity[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
    }
    board.toRecord(record.data(Blocks::Board));
    return record;
}

class InfoWindow : public ::testing::Test {
protected:
    InfoWindow()
    {
        area.resize(900, 700);
        area.show();
    }

    TFInfo* open(const ConfigRecord& record, std::uint16_t crc)
    {
        window = TFInfo::open(area, InfoInputs{record.data(Blocks::Board),
                                               record.data(Blocks::Identity), crc,
                                               CONFIG_RECORD_SIZE});
        return window;
    }
    QLineEdit* field(const char* name) const
    {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QString text(const char* name) const { return field(name)->text(); }
    QLabel* label(const char* name) const
    {
        return window->findChild<QLabel*>(QString::fromLatin1(name));
    }
    QPlainTextEdit* description() const { return window->findChild<QPlainTextEdit*>("sDescr"); }

    QMdiArea area;
    QPointer<TFInfo> window;
};

const char* const ValueFields[]{"sModel", "sBoard", "sSoft",  "sSerial", "sData", "sChip",
                                "sDie",   "sMac",   "sSize",  "sCrc"};

TEST_F(InfoWindow, RemoteR420ShowsEveryFieldOfItsRecord)
{
    open(recordOf(0x2661), 0x0A3F);
    EXPECT_EQ(window->windowTitle(), "Описание контроллера");
    EXPECT_EQ(label("LName")->text(), "Удаленный контроллер R-420");
    EXPECT_TRUE(label("LName")->font().underline());
    EXPECT_EQ(text("sModel"), "R-420ZB");
    EXPECT_EQ(text("sSoft"), "1.2");
    EXPECT_EQ(text("sBoard"), "B.2");
    EXPECT_EQ(text("sSerial"), "12") << "up to the zero byte";
    EXPECT_EQ(text("sData"), "12.03.2025");
    EXPECT_EQ(text("sChip"), "0x05");
    EXPECT_EQ(text("sDie"), "0x01C002345AB");
    EXPECT_EQ(text("sMac"), "00-1A-2B-3C-4D-5E");
    EXPECT_TRUE(field("sMac")->isVisible());
    EXPECT_TRUE(label("LMac")->isVisible());
    EXPECT_EQ(label("LMac")->text(), "MAC:");
    EXPECT_EQ(text("sSize"), "212 bytes");
    EXPECT_EQ(text("sCrc"), "0x0A3F");
    EXPECT_EQ(description()->toPlainText(), Description);
    EXPECT_EQ(description()->document()->blockCount(), 2) << "the line break kept";
    EXPECT_TRUE(description()->isReadOnly());
    for (const char* name : ValueFields) {
        EXPECT_TRUE(field(name)->isReadOnly()) << name;
        // Nothing cut off.
        EXPECT_LE(field(name)->fontMetrics().horizontalAdvance(text(name)),
                  field(name)->contentsRect().width())
            << name;
    }
    auto* close = window->findChild<QPushButton*>("OKButton");
    EXPECT_EQ(close->text(), "Закрыть");
    EXPECT_TRUE(close->isDefault());
}

TEST_F(InfoWindow, EnterInAFieldPressesTheDefaultButton)
{
    open(recordOf(0x2661), 0x0A3F);
    for (const char* name : {"sDie", "sCrc"}) {
        field(name)->setFocus();
        QTest::keyClick(field(name), Qt::Key_Return);
        EXPECT_EQ(TFInfo::find(area), nullptr) << name;
        open(recordOf(0x2661), 0x0A3F);
    }
    QTest::keyClick(description(), Qt::Key_Enter);
    EXPECT_EQ(TFInfo::find(area), nullptr) << "in the description too";
}

TEST_F(InfoWindow, OtherModelsThanTheR420HideTheHardwareAddress)
{
    struct Case {
        std::uint16_t typeWord;
        const char* title;
        const char* model;
    };
    const Case cases[]{
        {0x1000, "Локальный контроллер R-410", "R-410ZA"},
        {0x1FF1, "Удаленный контроллер R-410", "R-410ZB"},
        {0x3001, "Удаленный контроллер R-xxx", "R-xxxZB"},
        {0x0000, "Локальный контроллер R-xxx", "R-xxxZA"},
    };
    open(recordOf(0x2000), 0x1234);
    const int withAddress = window->height();
    window->close();
    for (const Case& c : cases) {
        open(recordOf(c.typeWord), 0x1234);
        EXPECT_LT(window->height(), withAddress) << "no gap where the address was";
        EXPECT_EQ(label("LName")->text(), QString::fromUtf8(c.title)) << c.typeWord;
        EXPECT_EQ(text("sModel"), c.model) << c.typeWord;
        EXPECT_TRUE(label("LMac")->isHidden()) << c.typeWord;
        EXPECT_TRUE(field("sMac")->isHidden()) << c.typeWord;
        EXPECT_EQ(text("sSerial"), "12") << c.typeWord;
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(window) << "closing destroys the window";
    }
}

TEST_F(InfoWindow, TextsAreShownAsStoredUpToTheirFieldsEnd)
{
    BoardBlock board;
    board.setText(BoardBlock::Serial, "0417");
    board.setText(BoardBlock::Date, "31.02.2025");
    const QString full(64, QChar(u'Ж'));
    ASSERT_TRUE(board.setDescription(full));
    open(recordOf(0x2000, board), 0x0000);
    EXPECT_EQ(text("sSerial"), "0417");
    EXPECT_EQ(text("sData"), "31.02.2025") << "no date parsing here";
    EXPECT_EQ(description()->toPlainText(), full) << "64 characters without a zero byte";
    QCoreApplication::processEvents(); // lays the field out at its final size
    EXPECT_EQ(description()->verticalScrollBar()->maximum(), 0) << "shown whole, no scrolling";
    EXPECT_EQ(text("sMac"), "00-00-00-00-00-00");
    EXPECT_EQ(text("sCrc"), "0x0000");
}

TEST_F(InfoWindow, OpenWindowIsOnlyBroughtToTheFrontWithTheTextsItHas)
{
    auto* other = area.addSubWindow(new QWidget);
    other->show();
    TFInfo* first = open(recordOf(0x2661), 0x0A3F);
    EXPECT_EQ(first->pos(), QPoint(10, 10)) << "10 pixels per child window";
    area.setActiveSubWindow(other);

    EXPECT_EQ(open(recordOf(0x1000), 0xBEEF), first);
    EXPECT_EQ(area.subWindowList().size(), 2);
    EXPECT_EQ(area.activeSubWindow(), first);
    EXPECT_EQ(text("sCrc"), "0x0A3F");
    EXPECT_EQ(text("sModel"), "R-420ZB");

    QTest::mouseClick(window->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
    EXPECT_EQ(TFInfo::find(area), nullptr) << "gone from the area as soon as it is closed";
    open(recordOf(0x1000), 0xBEEF);
    EXPECT_NE(TFInfo::find(area), nullptr);
    EXPECT_EQ(text("sCrc"), "0xBEEF");
    EXPECT_EQ(text("sModel"), "R-410ZA");
}

} // namespace
