#include "tasks/LogSegments.h"

#include <algorithm>
#include <vector>

#include <QTextBoundaryFinder>

namespace {

bool isLine(QAccessible::TextBoundaryType type)
{
    return type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary;
}

QTextBoundaryFinder::BoundaryType finderType(QAccessible::TextBoundaryType type)
{
    switch (type) {
    case QAccessible::WordBoundary:
        return QTextBoundaryFinder::Word;
    case QAccessible::SentenceBoundary:
        return QTextBoundaryFinder::Sentence;
    default:
        return QTextBoundaryFinder::Grapheme;
    }
}

// Where a line's text splits into pieces, its start and end included. Of the word boundaries only
// the edges of words count, so that the run between two words is one piece.
std::vector<qsizetype> splits(const QString& text, QAccessible::TextBoundaryType type)
{
    std::vector<qsizetype> result{0};
    QTextBoundaryFinder finder(finderType(type), text);
    const auto wordEdge = QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem;
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        if (type != QAccessible::WordBoundary || (finder.boundaryReasons() & wordEdge))
            result.push_back(at);
    if (result.back() != text.size())
        result.push_back(text.size());
    return result;
}

LogRange lineRange(const LogLines& lines, qsizetype line)
{
    return {{line, 0}, {line, lines.length(line)}};
}

LogRange pieceInLine(const LogLines& lines, LogPosition position,
                     QAccessible::TextBoundaryType type)
{
    const QString text = lines.line(position.line);
    const qsizetype line = position.line;
    if (position.column == text.size()) {
        if (type == QAccessible::CharBoundary)
            return line + 1 < lines.count() ? LogRange{position, {line + 1, 0}}
                                            : LogRange{position, position};
        if (text.isEmpty())
            return {position, position};
    }
    const std::vector<qsizetype> at = splits(text, type);
    // The piece holding the character at the column, or the last one at the line's end.
    const auto next =
        std::upper_bound(at.begin(), at.end(), std::min(position.column, text.size() - 1));
    return {{line, *(next - 1)}, {line, *next}};
}

LogPosition stepBack(const LogLines& lines, LogPosition position)
{
    if (position.column > 0)
        return {position.line, position.column - 1};
    return {position.line - 1, lines.length(position.line - 1)};
}

} // namespace

LogRange segmentAt(const LogLines& lines, LogPosition position,
                   QAccessible::TextBoundaryType type)
{
    position = lines.clamped(position);
    if (type == QAccessible::NoBoundary)
        return {{}, lines.end()};
    if (isLine(type))
        return lineRange(lines, position.line);
    return pieceInLine(lines, position, type);
}

std::optional<LogRange> segmentBefore(const LogLines& lines, LogPosition position,
                                      QAccessible::TextBoundaryType type)
{
    const LogRange at = segmentAt(lines, position, type);
    if (type == QAccessible::NoBoundary || at.start == LogPosition{})
        return std::nullopt;
    if (isLine(type))
        return lineRange(lines, at.start.line - 1);
    return segmentAt(lines, stepBack(lines, at.start), type);
}

std::optional<LogRange> segmentAfter(const LogLines& lines, LogPosition position,
                                     QAccessible::TextBoundaryType type)
{
    const LogRange at = segmentAt(lines, position, type);
    if (type == QAccessible::NoBoundary || at.end == lines.end())
        return std::nullopt;
    if (isLine(type))
        return lineRange(lines, at.end.line + 1);
    // A word or sentence that ends its line is followed by the first of the next line.
    if (type != QAccessible::CharBoundary && at.end.column == lines.length(at.end.line))
        return segmentAt(lines, {at.end.line + 1, 0}, type);
    return segmentAt(lines, at.end, type);
}
