#pragma once

#include <compare>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>
#include <QStringView>

class QIODevice;

// A place in the log: a line, and a column counted in UTF-16 units of that line's text.
struct LogPosition {
    qsizetype line = 0;
    qsizetype column = 0;

    auto operator<=>(const LogPosition&) const = default;
};

// The text of a log, line by line. The lines are kept as UTF-8 in large blocks, so that a line
// costs little more than its text and adding lines never moves or re-reads the ones already
// there. Editing a line stores its new text anew; the old bytes stay in their block until the
// whole log is emptied. There is always at least one line.
class LogLines {
public:
    static constexpr qsizetype IndexStride = 64;

    LogLines();

    qsizetype count() const { return static_cast<qsizetype>(spans_.size()); }
    QString line(qsizetype index) const;
    LogPosition end() const;
    // The position moved into the text: a line that exists, a column inside it.
    LogPosition clamped(LogPosition position) const;

    // Each line as a new line after the last one.
    void append(const QStringList& lines);
    // Inserts text that may hold line breaks ("\n", "\r\n" or "\r"); returns the position after it.
    LogPosition insert(LogPosition at, QStringView text);
    // Removes the text between two positions, in either order.
    void remove(LogPosition from, LogPosition to);
    // The text between two positions, in either order, lines joined by "\n".
    QString text(LogPosition from, LogPosition to) const;

    // Offsets count UTF-16 units through that whole text. They are worked out only when asked
    // for, from every IndexStride-th line's offset, so a log nobody asks costs nothing more.
    qsizetype length(qsizetype index) const;
    qsizetype offsetOf(LogPosition position) const;
    // The position at an offset, which is first moved into the text.
    LogPosition positionAt(qsizetype offset) const;
    qsizetype characterCount() const { return offsetOf(end()); }

    // Every line followed by "\n", as UTF-8; false when the device refused a write.
    bool write(QIODevice& device) const;
    // The bytes the log holds for its text, its line table and its offsets.
    std::size_t bytesHeld() const;

private:
    struct Span {
        std::uint32_t block = 0;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
    };
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::uint32_t capacity = 0;
        std::uint32_t used = 0;
    };

    Span store(QStringView text);
    void setLine(qsizetype index, QStringView text);
    const char* bytesOf(const Span& span) const;
    void indexThrough(qsizetype stride) const;
    void forgetOffsetsAfter(qsizetype line);

    std::deque<Span> spans_;
    std::vector<Block> blocks_;
    // The offset of line i * IndexStride at [i], as far as asked for; an edit drops those after it.
    mutable std::vector<qsizetype> strideOffsets_;
};
