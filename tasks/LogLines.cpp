#include "tasks/LogLines.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <QIODevice>

namespace {
constexpr std::uint32_t BlockSize = 1u << 20;
// Written in pieces of this size, so a device without a buffer of its own is not called per line.
constexpr qsizetype WriteChunk = 1 << 16;

QStringList splitLines(QStringView text)
{
    QString normalised = text.toString();
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    return normalised.split(u'\n');
}

// UTF-16 units of valid UTF-8: one per leading byte, two for a four-byte sequence.
qsizetype utf16Length(const char* bytes, std::uint32_t size)
{
    qsizetype units = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        units += (byte & 0xC0) != 0x80;
        units += byte >= 0xF0;
    }
    return units;
}
}

LogLines::LogLines()
    : spans_(1)
{
}

const char* LogLines::bytesOf(const Span& span) const
{
    return span.size == 0 ? "" : blocks_[span.block].bytes.get() + span.offset;
}

QString LogLines::line(qsizetype index) const
{
    const Span& span = spans_[static_cast<std::size_t>(index)];
    return QString::fromUtf8(bytesOf(span), span.size);
}

qsizetype LogLines::length(qsizetype index) const
{
    const Span& span = spans_[static_cast<std::size_t>(index)];
    return utf16Length(bytesOf(span), span.size);
}

void LogLines::indexThrough(qsizetype stride) const
{
    if (strideOffsets_.empty())
        strideOffsets_.push_back(0);
    while (static_cast<qsizetype>(strideOffsets_.size()) <= stride) {
        const qsizetype first = (static_cast<qsizetype>(strideOffsets_.size()) - 1) * IndexStride;
        qsizetype offset = strideOffsets_.back();
        for (qsizetype i = first; i < first + IndexStride; ++i)
            offset += length(i) + 1;
        strideOffsets_.push_back(offset);
    }
}

void LogLines::forgetOffsetsAfter(qsizetype line)
{
    const auto kept = static_cast<std::size_t>(line / IndexStride + 1);
    if (strideOffsets_.size() > kept)
        strideOffsets_.resize(kept);
}

qsizetype LogLines::offsetOf(LogPosition position) const
{
    position = clamped(position);
    const qsizetype stride = position.line / IndexStride;
    indexThrough(stride);
    qsizetype offset = strideOffsets_[static_cast<std::size_t>(stride)];
    for (qsizetype i = stride * IndexStride; i < position.line; ++i)
        offset += length(i) + 1;
    return offset + position.column;
}

LogPosition LogLines::positionAt(qsizetype offset) const
{
    offset = std::max<qsizetype>(0, offset);
    const qsizetype lastStride = (count() - 1) / IndexStride;
    indexThrough(0);
    while (static_cast<qsizetype>(strideOffsets_.size()) <= lastStride
           && strideOffsets_.back() <= offset)
        indexThrough(static_cast<qsizetype>(strideOffsets_.size()));
    const auto after = std::upper_bound(strideOffsets_.begin(), strideOffsets_.end(), offset);
    const auto stride = static_cast<qsizetype>(after - strideOffsets_.begin()) - 1;
    qsizetype line = stride * IndexStride;
    qsizetype start = strideOffsets_[static_cast<std::size_t>(stride)];
    while (line + 1 < count() && start + length(line) < offset) {
        start += length(line) + 1;
        ++line;
    }
    return {line, std::min(offset - start, length(line))};
}

LogPosition LogLines::end() const
{
    return {count() - 1, line(count() - 1).size()};
}

LogPosition LogLines::clamped(LogPosition position) const
{
    const qsizetype lineIndex = std::clamp<qsizetype>(position.line, 0, count() - 1);
    return {lineIndex, std::clamp<qsizetype>(position.column, 0, line(lineIndex).size())};
}

LogLines::Span LogLines::store(QStringView text)
{
    if (text.isEmpty())
        return {};
    const QByteArray utf8 = text.toUtf8();
    const auto size = static_cast<std::uint32_t>(utf8.size());
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < size) {
        const std::uint32_t capacity = std::max(BlockSize, size);
        blocks_.push_back({std::make_unique<char[]>(capacity), capacity, 0});
    }
    Block& block = blocks_.back();
    std::memcpy(block.bytes.get() + block.used, utf8.constData(), size);
    const Span span{static_cast<std::uint32_t>(blocks_.size() - 1), block.used, size};
    block.used += size;
    return span;
}

void LogLines::setLine(qsizetype index, QStringView text)
{
    spans_[static_cast<std::size_t>(index)] = store(text);
}

void LogLines::append(const QStringList& lines)
{
    for (const QString& text : lines)
        spans_.push_back(store(text));
}

LogPosition LogLines::insert(LogPosition at, QStringView text)
{
    at = clamped(at);
    forgetOffsetsAfter(at.line);
    const QString current = line(at.line);
    const QString head = current.left(at.column);
    const QString tail = current.mid(at.column);
    const QStringList parts = splitLines(text);
    if (parts.size() == 1) {
        setLine(at.line, QString(head + parts.front() + tail));
        return {at.line, at.column + parts.front().size()};
    }
    setLine(at.line, QString(head + parts.front()));
    std::vector<Span> added;
    added.reserve(static_cast<std::size_t>(parts.size() - 1));
    for (qsizetype i = 1; i + 1 < parts.size(); ++i)
        added.push_back(store(parts[i]));
    added.push_back(store(QString(parts.back() + tail)));
    spans_.insert(spans_.begin() + at.line + 1, added.begin(), added.end());
    return {at.line + parts.size() - 1, parts.back().size()};
}

void LogLines::remove(LogPosition from, LogPosition to)
{
    from = clamped(from);
    to = clamped(to);
    if (to < from)
        std::swap(from, to);
    forgetOffsetsAfter(from.line);
    if (from == LogPosition{} && to == end()) {
        spans_.assign(1, Span{});
        blocks_.clear();
        return;
    }
    const QString joined = line(from.line).left(from.column) + line(to.line).mid(to.column);
    spans_.erase(spans_.begin() + from.line + 1, spans_.begin() + to.line + 1);
    setLine(from.line, joined);
}

QString LogLines::text(LogPosition from, LogPosition to) const
{
    from = clamped(from);
    to = clamped(to);
    if (to < from)
        std::swap(from, to);
    if (from.line == to.line)
        return line(from.line).mid(from.column, to.column - from.column);
    QString result = line(from.line).mid(from.column);
    for (qsizetype i = from.line + 1; i < to.line; ++i)
        result += u'\n' + line(i);
    result += u'\n' + line(to.line).left(to.column);
    return result;
}

bool LogLines::write(QIODevice& device) const
{
    QByteArray chunk;
    chunk.reserve(WriteChunk);
    const auto flush = [&] {
        const bool written = device.write(chunk) == chunk.size();
        chunk.clear();
        return written;
    };
    for (const Span& span : spans_) {
        chunk.append(bytesOf(span), span.size);
        chunk.append('\n');
        if (chunk.size() >= WriteChunk && !flush())
            return false;
    }
    return flush();
}

std::size_t LogLines::bytesHeld() const
{
    std::size_t bytes =
        spans_.size() * sizeof(Span) + strideOffsets_.capacity() * sizeof(qsizetype);
    for (const Block& block : blocks_)
        bytes += block.capacity;
    return bytes;
}
