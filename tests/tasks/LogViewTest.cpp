#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

#include "tasks/LogLines.h"
#include "tasks/LogView.h"

namespace {

QStringList allLines(const LogLines& lines)
{
    QStringList result;
    for (qsizetype i = 0; i < lines.count(); ++i)
        result << lines.line(i);
    return result;
}

LogLines linesOf(const QStringList& texts)
{
    LogLines lines;
    lines.insert({}, texts.join(u'\n'));
    return lines;
}

TEST(LogLines, StartsWithOneEmptyLineAndAppendsAfterIt)
{
    LogLines lines;
    EXPECT_EQ(allLines(lines), QStringList{""});
    lines.append({"first", "", "третья"});
    lines.append({"fourth"});
    EXPECT_EQ(allLines(lines), (QStringList{"", "first", "", "третья", "fourth"}));
    EXPECT_EQ(lines.end(), (LogPosition{4, 6}));
}

TEST(LogLines, EditsAcrossLines)
{
    struct Case {
        const char* what;
        std::function<LogPosition(LogLines&)> edit;
        QStringList after;
        LogPosition returned;
    };
    const Case cases[]{
        {"insert inside a line",
         [](LogLines& l) { return l.insert({1, 2}, u"XY"); },
         {"alpha", "beXYta", "gamma"},
         {1, 4}},
        {"insert a break splits the line",
         [](LogLines& l) { return l.insert({1, 2}, u"\n"); },
         {"alpha", "be", "ta", "gamma"},
         {2, 0}},
        {"insert several lines, any line break",
         [](LogLines& l) { return l.insert({0, 5}, u"1\r\n2\r3\n4"); },
         {"alpha1", "2", "3", "4", "beta", "gamma"},
         {3, 1}},
        {"insert past the end goes to the end",
         [](LogLines& l) { return l.insert({9, 99}, u"!"); },
         {"alpha", "beta", "gamma!"},
         {2, 6}},
        {"remove within a line",
         [](LogLines& l) { l.remove({0, 1}, {0, 4}); return LogPosition{}; },
         {"aa", "beta", "gamma"},
         {}},
        {"remove across lines, backwards",
         [](LogLines& l) { l.remove({2, 1}, {0, 3}); return LogPosition{}; },
         {"alpamma"},
         {}},
        {"remove a line break joins the lines",
         [](LogLines& l) { l.remove({0, 5}, {1, 0}); return LogPosition{}; },
         {"alphabeta", "gamma"},
         {}},
        {"remove everything leaves one empty line",
         [](LogLines& l) { l.remove({}, l.end()); return LogPosition{}; },
         {""},
         {}},
    };
    for (const Case& c : cases) {
        LogLines lines = linesOf({"alpha", "beta", "gamma"});
        const LogPosition returned = c.edit(lines);
        EXPECT_EQ(allLines(lines), c.after) << c.what;
        EXPECT_EQ(returned, c.returned) << c.what;
    }
}

TEST(LogLines, TextBetweenPositionsInEitherOrder)
{
    const LogLines lines = linesOf({"alpha", "beta", "gamma"});
    EXPECT_EQ(lines.text({0, 3}, {2, 2}), "ha\nbeta\nga");
    EXPECT_EQ(lines.text({2, 2}, {0, 3}), "ha\nbeta\nga");
    EXPECT_EQ(lines.text({1, 1}, {1, 3}), "et");
    EXPECT_EQ(lines.text({0, 5}, {1, 0}), "\n");
    EXPECT_EQ(lines.text({}, lines.end()), "alpha\nbeta\ngamma");
}

TEST(LogLines, WritesEveryLineAsUtf8)
{
    LogLines lines;
    lines.append({"14:03:27 Link(RxD): 0x01; 0xA5; ", "Примечание"});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(lines.write(buffer));
    EXPECT_EQ(buffer.data(),
              QByteArray("\n14:03:27 Link(RxD): 0x01; 0xA5; \n")
                  + QStringLiteral("Примечание\n").toUtf8());
}

TEST(LogLines, ManyLinesKeepTheirTextAcrossStorageBlocks)
{
    LogLines lines;
    QStringList batch;
    for (int i = 0; i < 40000; ++i)
        batch << QStringLiteral("%1 0x%2; ").arg(i).arg(i % 256, 2, 16, QLatin1Char('0'));
    lines.append(batch);
    ASSERT_EQ(lines.count(), 40001);
    for (int i : {0, 1, 12345, 39999})
        EXPECT_EQ(lines.line(i + 1), batch[i]) << i;
    lines.insert({20000, 0}, u"→");
    EXPECT_EQ(lines.line(20000), QStringLiteral("→") + batch[19999]);
    EXPECT_EQ(lines.line(20001), batch[20000]);
}

// Every position of the log and its offset in the whole text, both ways.
void expectOffsetsMatchText(const LogLines& lines, const char* what)
{
    const QString whole = lines.text({}, lines.end());
    EXPECT_EQ(lines.characterCount(), whole.size()) << what;
    for (qsizetype line = 0; line < lines.count(); ++line)
        for (qsizetype column = 0; column <= lines.length(line); ++column) {
            const LogPosition position{line, column};
            const qsizetype offset = lines.text({}, position).size();
            ASSERT_EQ(lines.offsetOf(position), offset) << what << " at " << line << ':' << column;
            ASSERT_EQ(lines.positionAt(offset), position) << what << " at " << offset;
        }
}

TEST(LogLines, OffsetsCountUtf16UnitsThroughTheWholeTextAndFollowEdits)
{
    LogLines lines;
    QStringList texts;
    for (qsizetype i = 0; i < 3 * LogLines::IndexStride + 7; ++i)
        texts << (i % 5 == 0   ? QString()
                  : i % 5 == 1 ? QStringLiteral("0x%1; ").arg(i)
                  : i % 5 == 2 ? QStringLiteral("Канал %1").arg(i)
                  : i % 5 == 3 ? QStringLiteral("\U0001F50C%1\U0001F50C").arg(i)
                               : QStringLiteral("é%1").arg(i));
    lines.append(texts);
    EXPECT_EQ(lines.length(4), 5) << "a character beyond 16 bits is two units";
    expectOffsetsMatchText(lines, "appended");

    struct Edit {
        const char* what;
        std::function<void(LogLines&)> apply;
    };
    const Edit edits[]{
        {"lines appended after the offsets were counted",
         [](LogLines& l) { l.append({"tail", "Ж"}); }},
        {"a line lengthened inside the first stride",
         [](LogLines& l) { l.insert({3, 1}, u"inserted"); }},
        {"lines broken in two inside a later stride",
         [](LogLines& l) { l.insert({LogLines::IndexStride + 2, 3}, u"a\nb\r\nc"); }},
        {"lines removed across strides",
         [](LogLines& l) { l.remove({10, 2}, {2 * LogLines::IndexStride + 1, 1}); }},
        {"the first lines removed", [](LogLines& l) { l.remove({}, {5, 0}); }},
        {"everything removed", [](LogLines& l) { l.remove({}, l.end()); }},
    };
    for (const Edit& edit : edits) {
        lines.characterCount(); // counts every stride before the edit
        edit.apply(lines);
        expectOffsetsMatchText(lines, edit.what);
    }
}

TEST(LogLines, AnOffsetOutsideTheTextIsMovedIntoIt)
{
    LogLines lines;
    lines.append({"alpha", "beta"});
    EXPECT_EQ(lines.positionAt(-3), (LogPosition{}));
    EXPECT_EQ(lines.positionAt(1), (LogPosition{1, 0}));
    EXPECT_EQ(lines.positionAt(99), (LogPosition{2, 4}));
    EXPECT_EQ(lines.offsetOf({7, 9}), 11);
}

class LogViewTest : public ::testing::Test {
protected:
    LogViewTest()
    {
        view.resize(400, 10 * view.fontMetrics().lineSpacing() + 40);
        view.show();
        view.setFocus();
        QApplication::setActiveWindow(&view);
    }
    QStringList numbered(int from, int count)
    {
        QStringList lines;
        for (int i = from; i < from + count; ++i)
            lines << QStringLiteral("line %1").arg(i);
        return lines;
    }

    LogView view;
};

TEST_F(LogViewTest, TypingEditsTheLog)
{
    view.appendLines({"first", "second"});
    view.setCursorPosition({1, 5});
    QTest::keyClicks(&view, " line");
    EXPECT_EQ(view.toPlainText(), "\nfirst line\nsecond");
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClicks(&view, "note");
    EXPECT_EQ(view.toPlainText(), "\nfirst line\nnote\nsecond");
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.toPlainText(), "\nfirst linenote\nsecond");
    QTest::keyClick(&view, Qt::Key_End);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(view.toPlainText(), "\nfirst linenotesecond");

    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("ё"));
    QApplication::sendEvent(&view, &composed);
    EXPECT_EQ(view.toPlainText(), "\nfirst linenoteёsecond");
}

TEST_F(LogViewTest, SelectionCopiesCutsAndPastes)
{
    view.appendLines({"alpha", "beta"});
    view.setCursorPosition({1, 1});
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(view.selectedText(), "lpha\nbe");
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "lpha\nbe");
    QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), "\nata");
    QApplication::clipboard()->setText("1\r\n2");
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), "\na1\n2ta");
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.selectedText(), view.toPlainText());
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(view.lines().count(), 1);
    EXPECT_EQ(view.toPlainText(), "");
}

TEST_F(LogViewTest, ClickAndDragSelectTheTextUnderThePointer)
{
    view.appendLines({"0x01; 0xA5; "});
    const int lineHeight = view.fontMetrics().lineSpacing();
    const int charWidth = view.fontMetrics().horizontalAdvance(u'0');
    const QPoint start(4 + 6 * charWidth, lineHeight + lineHeight / 2);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, start);
    QMouseEvent drag(QEvent::MouseMove, QPointF(start + QPoint(4 * charWidth, 0)),
                     view.viewport()->mapToGlobal(QPointF(start + QPoint(4 * charWidth, 0))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drag);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, start + QPoint(4 * charWidth, 0));
    EXPECT_EQ(view.selectedText(), "0xA5");
}

TEST_F(LogViewTest, NewLinesAreFollowedOnlyFromTheBottom)
{
    QScrollBar* bar = view.verticalScrollBar();
    view.appendLines(numbered(1, 100));
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->maximum(), 0);
    view.appendLines(numbered(101, 5));
    EXPECT_EQ(bar->value(), bar->maximum()) << "at the bottom, the view follows";

    bar->setValue(10);
    view.appendLines(numbered(106, 50));
    EXPECT_EQ(bar->value(), 10) << "scrolled up, the view stays where the reader is";
    EXPECT_EQ(view.firstVisibleLine(), 10);
    EXPECT_EQ(view.lines().count(), 156);
}

// Where the caret and the view are after a press of a key.
struct Stop {
    qsizetype caret = 0;
    qsizetype column = 0;
    qsizetype top = 0;
    QString selected;

    bool operator==(const Stop&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stop& stop)
{
    return out << "caret " << stop.caret << ':' << stop.column << ", top " << stop.top
               << ", selected " << stop.selected.size() << " characters";
}

// Steps up are the mirror of steps down: from the last line Page Up goes a page a press as Page
// Down does from the first, Shift selects the same way, and a step from a caret scrolled out of
// view lands next to the caret, wherever the view was.
TEST_F(LogViewTest, StepsUpMirrorStepsDown)
{
    constexpr qsizetype LineCount = 110;
    constexpr qsizetype Column = 4;
    constexpr qsizetype last = LineCount - 1;
    QStringList texts;
    for (qsizetype i = 0; i < LineCount; ++i)
        texts << QStringLiteral("line %1").arg(i, 3, 10, QLatin1Char('0'));
    view.appendLines(texts);
    view.setCursorPosition({});
    QTest::keyClick(&view, Qt::Key_Delete); // the empty first line
    ASSERT_EQ(view.lines().count(), LineCount);
    const qsizetype rows = view.viewport()->height() / view.fontMetrics().lineSpacing();
    ASSERT_GE(rows, 5);

    const auto walk = [&](qsizetype caret, qsizetype top, Qt::Key key,
                          Qt::KeyboardModifiers modifiers) {
        view.setCursorPosition({caret, Column});
        view.verticalScrollBar()->setValue(static_cast<int>(top));
        std::vector<Stop> stops;
        for (int press = 0; press < 3; ++press) {
            QTest::keyClick(&view, key, modifiers);
            stops.push_back({view.cursorPosition().line, view.cursorPosition().column,
                             view.firstVisibleLine(), view.selectedText()});
        }
        return stops;
    };
    struct Case {
        const char* what;
        Qt::Key down;
        Qt::Key up;
        Qt::KeyboardModifiers modifiers;
        qsizetype step;
        qsizetype start; // of the caret going down, and of the view's top line
        qsizetype startTop;
    };
    const Case cases[]{
        {"Page Down, Page Up", Qt::Key_PageDown, Qt::Key_PageUp, {}, rows, 0, 0},
        {"Shift+Page Down, Shift+Page Up", Qt::Key_PageDown, Qt::Key_PageUp, Qt::ShiftModifier,
         rows, 0, 0},
        {"Down, Up, caret out of view past the edge they go to", Qt::Key_Down, Qt::Key_Up, {}, 1,
         last - 5, 49},
        {"Down, Up, caret out of view behind the edge they leave", Qt::Key_Down, Qt::Key_Up, {},
         1, 5, 50},
        {"Shift+Down, Shift+Up, caret out of view", Qt::Key_Down, Qt::Key_Up, Qt::ShiftModifier,
         1, last - 5, 49},
    };
    for (const Case& c : cases) {
        const bool selecting = c.modifiers.testFlag(Qt::ShiftModifier);
        std::vector<Stop> down;
        std::vector<Stop> up;
        qsizetype top = c.startTop;
        for (qsizetype press = 1; press <= 3; ++press) {
            const qsizetype caret = c.start + press * c.step;
            // The view scrolls just enough to show the caret.
            top = std::clamp(top, caret - rows + 1, caret);
            down.push_back({caret, Column, top,
                            selecting ? view.lines().text({c.start, Column}, {caret, Column})
                                      : QString()});
            up.push_back({last - caret, Column, last - (top + rows - 1),
                          selecting
                              ? view.lines().text({last - caret, Column}, {last - c.start, Column})
                              : QString()});
        }
        EXPECT_EQ(walk(c.start, c.startTop, c.down, c.modifiers), down) << c.what;
        EXPECT_EQ(walk(last - c.start, last - (c.startTop + rows - 1), c.up, c.modifiers), up)
            << c.what;
    }
}

TEST_F(LogViewTest, BothScrollBarsAreThereAndALongLineScrollsSideways)
{
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
    view.appendLines({QString(300, u'x')});
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
    view.setCursorPosition({1, 300});
    EXPECT_EQ(view.horizontalScrollBar()->value(), view.horizontalScrollBar()->maximum())
        << "the cursor at the end of the line is in view";
}

} // namespace
