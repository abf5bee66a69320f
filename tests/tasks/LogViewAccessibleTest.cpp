#include <utility>

#include <QAccessible>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <gtest/gtest.h>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

#include "tasks/LogView.h"

namespace {

const QStringList TraceLines{
    "14:03:27 Link(RxD): 0x01; 0xA5; ",
    "",
    "14:03:28 Bus+(TxD): 0x7F; ",
    "Примечание, it's a test. Second one!",
    "x\U0001F50Cy end",
};

QStringList numbered(int from, int count)
{
    QStringList lines;
    for (int i = from; i < from + count; ++i)
        lines << QStringLiteral("14:03:%1 Bus+(RxD): 0x%2; ").arg(i % 60).arg(i % 256, 2, 16);
    return lines;
}

QAccessibleTextInterface& textOf(QWidget& widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    EXPECT_NE(face, nullptr);
    EXPECT_NE(face->textInterface(), nullptr);
    return *face->textInterface();
}

// A piece of text with its offsets, as an assistive technology gets it.
struct Piece {
    QString text;
    int start = 0;
    int end = 0;

    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Piece& piece)
{
    return out << '"' << piece.text.toStdString() << "\" " << piece.start << ".." << piece.end;
}

enum class Side { Before, At, After };

Piece pieceOf(const QAccessibleTextInterface& text, Side side, int offset,
              QAccessible::TextBoundaryType type)
{
    Piece piece;
    switch (side) {
    case Side::Before:
        piece.text = text.textBeforeOffset(offset, type, &piece.start, &piece.end);
        break;
    case Side::At:
        piece.text = text.textAtOffset(offset, type, &piece.start, &piece.end);
        break;
    case Side::After:
        piece.text = text.textAfterOffset(offset, type, &piece.start, &piece.end);
        break;
    }
    return piece;
}

Piece attributesOf(const QAccessibleTextInterface& text, int offset)
{
    Piece piece;
    piece.text = text.attributes(offset, &piece.start, &piece.end);
    return piece;
}

// The caret and the selection, as an assistive technology reads them.
struct Caret {
    int position = 0;
    int selections = 0;
    int start = 0;
    int end = 0;

    bool operator==(const Caret&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Caret& caret)
{
    return out << "caret " << caret.position << ", " << caret.selections << " selection "
               << caret.start << ".." << caret.end;
}

Caret caretOf(const QAccessibleTextInterface& text)
{
    Caret caret{text.cursorPosition(), text.selectionCount()};
    text.selection(0, &caret.start, &caret.end);
    return caret;
}

// Whether an offset splits a character beyond 16 bits, or follows one.
bool splitsPair(const QAccessibleTextInterface& text, int offset)
{
    return text.text(offset - 1, offset).front().isHighSurrogate();
}

bool followsPair(const QAccessibleTextInterface& text, int offset)
{
    return text.text(offset - 1, offset).front().isLowSurrogate();
}

// What the log answers an assistive technology is what a plain text edit holding the same lines
// answers: the text and its length, any stretch of it, the line at, and before, any offset, the
// character at, before and after it, and the runs of text attributes. Where they differ, the
// plain text edit is at fault: it gives the line itself as the line before the first, the line
// itself or nothing as the one after a line (see LinesBeforeAndAfterAtTheEnds), and half a
// character beyond 16 bits as the character in it or before it (see LogSegmentsTest).
void expectReadsAlike(const QAccessibleTextInterface& log, const QAccessibleTextInterface& plain,
                      const char* when)
{
    const int count = plain.characterCount();
    ASSERT_EQ(log.characterCount(), count) << when;
    EXPECT_EQ(log.text(0, count), plain.text(0, count)) << when;
    for (int start = 0; start <= count; start += 13)
        for (int end = 0; end <= count; end += 17)
            ASSERT_EQ(log.text(start, end), plain.text(start, end))
                << when << ", " << start << ".." << end;
    const int firstLineEnd = pieceOf(plain, Side::At, 0, QAccessible::LineBoundary).end;
    const auto character = QAccessible::CharBoundary;
    for (int offset = 0; offset <= count; ++offset) {
        const auto where = testing::Message() << when << ", offset " << offset;
        for (const auto type : {QAccessible::LineBoundary, QAccessible::ParagraphBoundary}) {
            EXPECT_EQ(pieceOf(log, Side::At, offset, type), pieceOf(plain, Side::At, offset, type))
                << where;
            if (offset > firstLineEnd) {
                EXPECT_EQ(pieceOf(log, Side::Before, offset, type),
                          pieceOf(plain, Side::Before, offset, type))
                    << where;
            }
        }
        EXPECT_EQ(attributesOf(log, offset), attributesOf(plain, offset)) << where;
        if (offset > 0 && splitsPair(plain, offset))
            continue;
        if (offset < count) {
            EXPECT_EQ(pieceOf(log, Side::At, offset, character),
                      pieceOf(plain, Side::At, offset, character))
                << where;
        }
        if (offset > 0 && !followsPair(plain, offset)) {
            EXPECT_EQ(pieceOf(log, Side::Before, offset, character),
                      pieceOf(plain, Side::Before, offset, character))
                << where;
        }
        if (offset + 1 < count) {
            EXPECT_EQ(pieceOf(log, Side::After, offset, character),
                      pieceOf(plain, Side::After, offset, character))
                << where;
        }
    }
    for (const int asked : {-1, count + 1})
        EXPECT_EQ(attributesOf(log, asked), attributesOf(plain, asked)) << when << ", " << asked;
}

// An assistive technology listening: accessibility is on, as a screen reader turns it on, and
// what one widget tells it is written down, an event a line.
class Listener {
public:
    explicit Listener(const QObject& widget)
    {
        watched() = &widget;
        heard().clear();
        QAccessible::installUpdateHandler(&Listener::hear);
        platform().setActive(true);
    }
    ~Listener()
    {
        platform().setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        watched() = nullptr;
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    QStringList take() { return std::exchange(heard(), {}); }

private:
    static QPlatformAccessibility& platform()
    {
        return *QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    static const QObject*& watched()
    {
        static const QObject* widget = nullptr;
        return widget;
    }
    static QStringList& heard()
    {
        static QStringList events;
        return events;
    }
    static void hear(QAccessibleEvent* event)
    {
        if (event->object() == watched())
            if (const QString line = describe(event); !line.isEmpty())
                heard() << line;
    }
    static QString describe(QAccessibleEvent* event)
    {
        switch (event->type()) {
        case QAccessible::TextCaretMoved:
            return QStringLiteral("caret %1")
                .arg(static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition());
        case QAccessible::TextSelectionChanged: {
            const auto* selection = static_cast<QAccessibleTextSelectionEvent*>(event);
            return QStringLiteral("selection %1..%2, caret %3")
                .arg(selection->selectionStart())
                .arg(selection->selectionEnd())
                .arg(selection->cursorPosition());
        }
        case QAccessible::TextInserted: {
            const auto* insert = static_cast<QAccessibleTextInsertEvent*>(event);
            return QStringLiteral("insert at %1: %2")
                .arg(insert->changePosition())
                .arg(insert->textInserted());
        }
        case QAccessible::TextRemoved: {
            const auto* remove = static_cast<QAccessibleTextRemoveEvent*>(event);
            return QStringLiteral("remove at %1: %2")
                .arg(remove->changePosition())
                .arg(remove->textRemoved());
        }
        case QAccessible::TextUpdated:
            return QStringLiteral("update");
        default:
            return {};
        }
    }
};

class LogViewAccessibleTest : public ::testing::Test {
protected:
    LogViewAccessibleTest()
    {
        view.resize(400, 10 * view.fontMetrics().lineSpacing() + 40);
        view.show();
        view.setFocus();
        QApplication::setActiveWindow(&view);
        // Editable as the log is; the same font, so that the text attributes can agree.
        edit.setLineWrapMode(QPlainTextEdit::NoWrap);
        edit.setFont(view.font());
    }
    void feed(const QStringList& lines)
    {
        view.appendLines(lines);
        QTextCursor end(edit.document());
        end.movePosition(QTextCursor::End);
        end.insertText(u'\n' + lines.join(u'\n'));
    }
    // The plain text edit's caret at an offset, with an anchor.
    void placeEditCaret(int anchor, int position)
    {
        QTextCursor cursor(edit.document());
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
    }

    LogView view;
    QPlainTextEdit edit;
};

TEST_F(LogViewAccessibleTest, IsAnEditableMultiLineTextAsAPlainTextEditIs)
{
    QAccessibleInterface* log = QAccessible::queryAccessibleInterface(&view);
    QAccessibleInterface* plain = QAccessible::queryAccessibleInterface(&edit);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->role(), QAccessible::EditableText);
    EXPECT_EQ(log->role(), plain->role());
    for (const auto& [what, state] :
         {std::pair{"log", log->state()}, std::pair{"plain text edit", plain->state()}}) {
        EXPECT_TRUE(state.editable) << what;
        EXPECT_FALSE(state.readOnly) << what;
        EXPECT_TRUE(state.multiLine) << what;
        EXPECT_TRUE(state.selectableText) << what;
        EXPECT_TRUE(state.focusable) << what;
    }
    EXPECT_TRUE(log->state().focused);
    EXPECT_NE(log->textInterface(), nullptr);
    EXPECT_NE(log->editableTextInterface(), nullptr);
    feed(TraceLines);
    EXPECT_EQ(log->text(QAccessible::Value), TraceLines.join(u'\n').prepend(u'\n'));
    EXPECT_EQ(log->text(QAccessible::Value), plain->text(QAccessible::Value));
}

TEST_F(LogViewAccessibleTest, ReadsLikeAPlainTextEditHoldingTheSameLines)
{
    QAccessibleTextInterface& log = textOf(view);
    QAccessibleTextInterface& plain = textOf(edit);
    expectReadsAlike(log, plain, "the empty log");
    feed(TraceLines);
    expectReadsAlike(log, plain, "with trace lines");
    feed(numbered(0, LogLines::IndexStride));
    feed(TraceLines);
    expectReadsAlike(log, plain, "after more lines came");

    view.setSelection({}, {3, 0});
    view.deleteSelection();
    placeEditCaret(0, edit.document()->findBlockByNumber(3).position());
    edit.textCursor().removeSelectedText();
    expectReadsAlike(log, plain, "trimmed by its first three lines");

    view.selectAll();
    view.deleteSelection();
    edit.clear();
    expectReadsAlike(log, plain, "cleared");
    feed(TraceLines);
    expectReadsAlike(log, plain, "filled again");
}

TEST_F(LogViewAccessibleTest, CaretAndSelectionMadeByKeysReadAsInAPlainTextEdit)
{
    feed(TraceLines);
    QAccessibleTextInterface& log = textOf(view);
    QAccessibleTextInterface& plain = textOf(edit);
    view.setCursorPosition({1, 4});
    placeEditCaret(5, 5);
    ASSERT_EQ(caretOf(log), caretOf(plain));
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[]{
        {Qt::Key_Right, Qt::ShiftModifier},
        {Qt::Key_Right, Qt::ShiftModifier},
        {Qt::Key_Down, Qt::ShiftModifier},
        {Qt::Key_End, {}},
        {Qt::Key_Up, {}},
        {Qt::Key_Home, Qt::ShiftModifier},
        {Qt::Key_End, Qt::ShiftModifier},
        {Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier},
        {Qt::Key_Home, Qt::ControlModifier},
        {Qt::Key_A, Qt::ControlModifier},
    };
    for (const auto& [key, modifiers] : keys) {
        QTest::keyClick(&view, key, modifiers);
        QTest::keyClick(&edit, key, modifiers);
        EXPECT_EQ(caretOf(log), caretOf(plain))
            << QKeySequence(key | modifiers).toString().toStdString();
    }
}

TEST_F(LogViewAccessibleTest, CaretAndSelectionSetByMouseAndByTheReader)
{
    feed(TraceLines);
    QAccessibleTextInterface& log = textOf(view);
    const int line1 = 1; // offset of the first trace line, after the log's empty first line
    // Just right of a character's left edge, the caret goes before it.
    const auto before = [this](LogPosition position) {
        return view.characterRect(position).topLeft() + QPoint(1, 2);
    };
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, before({1, 26}));
    QMouseEvent drag(QEvent::MouseMove, QPointF(before({1, 30})),
                     view.viewport()->mapToGlobal(QPointF(before({1, 30}))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drag);
    ASSERT_EQ(view.selectedText(), "0xA5");
    EXPECT_EQ(caretOf(log), (Caret{line1 + 30, 1, line1 + 26, line1 + 30}));

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, before({1, 10}));
    ASSERT_EQ(view.selectedText(), "Link");
    EXPECT_EQ(caretOf(log), (Caret{line1 + 13, 1, line1 + 9, line1 + 13}));

    log.setSelection(0, line1 + 36, line1 + 20);
    EXPECT_EQ(view.selectedText(), "0x01; 0xA5; \n\n14");
    EXPECT_EQ(caretOf(log), (Caret{line1 + 20, 1, line1 + 20, line1 + 36}));
    log.removeSelection(0);
    EXPECT_FALSE(view.hasSelection());
    EXPECT_EQ(caretOf(log), (Caret{line1 + 20, 0, 0, 0}));
    log.addSelection(0, 1);
    EXPECT_EQ(view.selectedText(), "\n");
    log.setCursorPosition(line1 + 35);
    EXPECT_EQ(view.cursorPosition(), (LogPosition{3, 1}));
    EXPECT_FALSE(view.hasSelection());
    EXPECT_EQ(attributesOf(log, -2), attributesOf(log, line1 + 35)) << "-2 asks at the caret";
}

TEST_F(LogViewAccessibleTest, LinesBeforeAndAfterAtTheEnds)
{
    feed(TraceLines);
    const QAccessibleTextInterface& log = textOf(view);
    const int count = log.characterCount();
    const auto line = QAccessible::LineBoundary;
    const Piece none{"", -1, -1};
    struct Case {
        int offset;
        Piece before;
        Piece after;
    };
    const Case cases[]{
        {0, none, {TraceLines[0], 1, 33}},
        {1, {"", 0, 0}, {"", 34, 34}},
        {33, {"", 0, 0}, {"", 34, 34}},
        {34, {TraceLines[0], 1, 33}, {TraceLines[2], 35, 61}},
        {count - 1, {TraceLines[3], 62, 98}, none},
        {count, {TraceLines[3], 62, 98}, none},
        {count + 1, none, none},
        {-1, none, none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pieceOf(log, Side::Before, c.offset, line), c.before) << c.offset;
        EXPECT_EQ(pieceOf(log, Side::After, c.offset, line), c.after) << c.offset;
    }
    EXPECT_EQ(pieceOf(log, Side::At, 40, QAccessible::NoBoundary),
              (Piece{log.text(0, count), 0, count}));
}

TEST_F(LogViewAccessibleTest, CharactersAreWhereTheViewDrawsThem)
{
    feed(numbered(0, 40));
    QAccessibleTextInterface& log = textOf(view);
    view.setCursorPosition(view.lines().end());
    const int top = static_cast<int>(view.lines().offsetOf({view.firstVisibleLine(), 0}));
    for (const int offset : {top, top + 3, top + 40, log.characterCount() - 1}) {
        const QRect box = log.characterRect(offset);
        EXPECT_FALSE(box.isEmpty()) << offset;
        EXPECT_EQ(log.offsetAtPoint(box.center()), offset) << offset;
    }
    EXPECT_EQ(log.offsetAtPoint(view.viewport()->mapToGlobal(QPoint(-5, 5))), -1);

    log.scrollToSubstring(5, 12);
    EXPECT_EQ(view.firstVisibleLine(), 1) << "the line of offset 5 is shown, at the top";
    EXPECT_EQ(view.cursorPosition(), view.lines().end()) << "the caret stays";
}

TEST_F(LogViewAccessibleTest, TheReaderEditsTheLog)
{
    feed({"alpha", "beta"});
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&view);
    QAccessibleEditableTextInterface* editable = face->editableTextInterface();
    ASSERT_NE(editable, nullptr);
    editable->insertText(3, "1\n2");
    EXPECT_EQ(view.toPlainText(), "\nal1\n2pha\nbeta");
    EXPECT_EQ(face->textInterface()->cursorPosition(), 6) << "after the text put in";
    editable->deleteText(2, 5);
    EXPECT_EQ(view.toPlainText(), "\na2pha\nbeta");
    editable->replaceText(9, 3, "-");
    EXPECT_EQ(view.toPlainText(), "\na2-ta");
    face->setText(QAccessible::Value, "new\ntext");
    EXPECT_EQ(view.toPlainText(), "new\ntext");
    EXPECT_EQ(view.lines().count(), 2);
}

TEST_F(LogViewAccessibleTest, TellsAListeningReaderOfEveryChange)
{
    ASSERT_NE(QGuiApplicationPrivate::platformIntegration()->accessibility(), nullptr);
    Listener listener(view);
    ASSERT_TRUE(QAccessible::isActive());
    feed({"alpha", "beta"});
    EXPECT_EQ(listener.take(), QStringList{"insert at 0: \nalpha\nbeta"});

    view.setCursorPosition({1, 1});
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(listener.take(), (QStringList{"caret 2", "caret 3", "selection 2..3, caret 3",
                                            "caret 9", "selection 2..9, caret 9"}));
    QTest::keyClick(&view, Qt::Key_X);
    EXPECT_EQ(listener.take(), (QStringList{"remove at 2: lpha\nbe", "caret 2",
                                            "selection 2..2, caret 2", "insert at 2: x",
                                            "caret 3"}));
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(listener.take(), (QStringList{"remove at 2: x", "caret 2"}));
    feed({"gamma"});
    EXPECT_EQ(listener.take(), QStringList{"insert at 4: \ngamma"}) << "the caret stays";

    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(listener.take(), (QStringList{"caret 10", "selection 2..10, caret 10",
                                            "remove at 2: ta\ngamma", "caret 2",
                                            "selection 2..2, caret 2"}));
    view.setSelection({}, {1, 0});
    view.deleteSelection();
    EXPECT_EQ(listener.take(), (QStringList{"caret 1", "selection 0..1, caret 1",
                                            "remove at 0: \n", "caret 0",
                                            "selection 0..0, caret 0"}));
    EXPECT_EQ(view.toPlainText(), "a");

    const QPoint onText(4, view.fontMetrics().lineSpacing() / 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, onText + QPoint(50, 0));
    EXPECT_EQ(listener.take(), QStringList{"caret 1"});
}

// Appending, moving the caret and selecting count no offsets while nobody listens: the log holds
// what the same lines hold without a view. A listener makes it count them.
TEST_F(LogViewAccessibleTest, CountsNoOffsetsWhileNobodyListens)
{
    LogLines same;
    for (int run = 0; run < 20; ++run) {
        const QStringList lines = numbered(run * 200, 200);
        view.appendLines(lines);
        same.append(lines);
        view.setCursorPosition({run * 150, 3});
        QTest::keyClick(&view, Qt::Key_PageDown, Qt::ShiftModifier);
    }
    EXPECT_EQ(view.lines().bytesHeld(), same.bytesHeld());

    Listener listener(view);
    view.appendLines(numbered(0, 1));
    EXPECT_GT(view.lines().bytesHeld(), same.bytesHeld());
}

} // namespace
