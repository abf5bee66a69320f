#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

#include "tasks/LogLines.h"
#include "tasks/LogSegments.h"

namespace {

const QStringList Texts{
    "14:03:27 Link(RxD): 0x01; 0xA5; ",
    "",
    "Примечание, it's a test. Second one!",
    "x\U0001F50Cy",
};

LogLines textLines()
{
    LogLines lines;
    lines.insert({}, Texts.join(u'\n'));
    return lines;
}

// A piece as its text, or "none".
QString textOf(const LogLines& lines, const std::optional<LogRange>& range)
{
    return range ? lines.text(range->start, range->end) : QStringLiteral("none");
}

struct Case {
    LogPosition position;
    QAccessible::TextBoundaryType type;
    QString before;
    QString at;
    QString after;
};

TEST(LogSegments, PiecesAtBeforeAndAfterAPosition)
{
    using A = QAccessible;
    const QString none = QStringLiteral("none");
    const Case cases[]{
        // Characters: the line break is one, a character beyond 16 bits is one.
        {{0, 0}, A::CharBoundary, none, "1", "4"},
        {{0, 32}, A::CharBoundary, " ", "\n", "\n"},
        {{1, 0}, A::CharBoundary, "\n", "\n", "П"},
        {{3, 1}, A::CharBoundary, "x", "\U0001F50C", "y"},
        {{3, 2}, A::CharBoundary, "x", "\U0001F50C", "y"},
        {{3, 4}, A::CharBoundary, "y", "", none},
        // Words: a word, or the run between two words; nothing crosses a line break.
        {{0, 0}, A::WordBoundary, none, "14", ":"},
        {{0, 10}, A::WordBoundary, " ", "Link", "("},
        {{0, 17}, A::WordBoundary, "RxD", "): ", "0x01"},
        {{0, 30}, A::WordBoundary, "0xA5", "; ", ""},
        {{0, 32}, A::WordBoundary, "0xA5", "; ", ""},
        {{1, 0}, A::WordBoundary, "; ", "", "Примечание"},
        {{2, 0}, A::WordBoundary, "", "Примечание", ", "},
        {{2, 13}, A::WordBoundary, ", ", "it's", " "},
        {{2, 36}, A::WordBoundary, "one", "!", "x"},
        // Sentences.
        {{2, 3}, A::SentenceBoundary, "", "Примечание, it's a test. ", "Second one!"},
        {{2, 30}, A::SentenceBoundary, "Примечание, it's a test. ", "Second one!",
         "x\U0001F50Cy"},
        // Lines, without their line break, and paragraphs alike.
        {{0, 5}, A::LineBoundary, none, Texts[0], ""},
        {{0, 32}, A::LineBoundary, none, Texts[0], ""},
        {{1, 0}, A::LineBoundary, Texts[0], "", Texts[2]},
        {{3, 4}, A::LineBoundary, Texts[2], Texts[3], none},
        {{2, 7}, A::ParagraphBoundary, "", Texts[2], Texts[3]},
        // No boundary: the whole text.
        {{2, 7}, A::NoBoundary, none, Texts.join(u'\n'), none},
    };
    const LogLines lines = textLines();
    for (const Case& c : cases) {
        const auto where = testing::Message() << "boundary " << c.type << " at "
                                              << c.position.line << ':' << c.position.column;
        const LogRange at = segmentAt(lines, c.position, c.type);
        EXPECT_EQ(textOf(lines, at), c.at) << where;
        EXPECT_LE(at.start, c.position) << where;
        EXPECT_EQ(textOf(lines, segmentBefore(lines, c.position, c.type)), c.before) << where;
        EXPECT_EQ(textOf(lines, segmentAfter(lines, c.position, c.type)), c.after) << where;
    }
}

// Stepping from piece to piece after one another reads the whole text once, in order, and
// stepping back reads the same pieces; only characters read the line breaks.
TEST(LogSegments, StepsThroughTheWholeTextEitherWay)
{
    const LogLines lines = textLines();
    const QString whole = Texts.join(u'\n');
    for (const QAccessible::TextBoundaryType type :
         {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary}) {
        std::vector<LogRange> forward;
        for (std::optional<LogRange> piece = segmentAt(lines, {}, type); piece;
             piece = segmentAfter(lines, piece->start, type))
            forward.push_back(*piece);
        std::vector<LogRange> backward;
        for (std::optional<LogRange> piece = forward.back(); piece;
             piece = segmentBefore(lines, piece->start, type))
            backward.insert(backward.begin(), *piece);
        EXPECT_EQ(backward, forward) << "boundary " << type;
        QString read;
        for (const LogRange& piece : forward)
            read += lines.text(piece.start, piece.end);
        EXPECT_EQ(read, type == QAccessible::CharBoundary ? whole : QString(whole).remove(u'\n'))
            << "boundary " << type;
    }
}

} // namespace
