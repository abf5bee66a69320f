#include "config/StoredText.h"

#include <algorithm>
#include <utility>

#include "config/BoardBlock.h"

namespace {

const QChar LineBreak = u'\n';
const QByteArray StoredLineBreak = QByteArrayLiteral("\r\n");

QString joinedLineBreaks(QString text)
{
    return text.replace(QString::fromLatin1(StoredLineBreak), QString(LineBreak))
        .replace(u'\r', LineBreak);
}

bool isLineBreak(const QByteArray& stored)
{
    return stored == StoredLineBreak || stored == "\r" || stored == "\n";
}

// Windows-1251 gives every byte a character of its own.
QChar shownCharacter(const QByteArray& stored)
{
    if (isLineBreak(stored))
        return LineBreak;
    const QString decoded = decodeBoardText(stored);
    return decoded.size() == 1 ? decoded.front() : QChar(QChar::ReplacementCharacter);
}

std::optional<QByteArray> enteredBytes(QChar entered)
{
    if (entered == LineBreak)
        return StoredLineBreak;
    return encodeBoardText(QString(entered));
}

} // namespace

TextChange textChange(const QString& before, const QString& after)
{
    const int shorter = static_cast<int>(std::min(before.size(), after.size()));
    int prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix
        && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, static_cast<int>(before.size()) - prefix - suffix,
        static_cast<int>(after.size()) - prefix - suffix};
}

StoredText::StoredText(Pieces pieces)
    : pieces_(std::move(pieces))
{
}

StoredText StoredText::read(const QByteArray& bytes)
{
    Pieces pieces;
    for (int at = 0; at < bytes.size();) {
        const int length = bytes.mid(at, 2) == StoredLineBreak ? 2 : 1;
        const QByteArray stored = bytes.mid(at, length);
        pieces.push_back({shownCharacter(stored), stored});
        at += length;
    }
    return StoredText(std::move(pieces));
}

StoredText StoredText::entered(const QString& text)
{
    Pieces pieces;
    for (const QChar character : joinedLineBreaks(text))
        pieces.push_back({character, {}});
    return StoredText(std::move(pieces));
}

QString StoredText::shown() const
{
    QString text;
    text.reserve(static_cast<qsizetype>(pieces_.size()));
    for (const Piece& piece : pieces_)
        text.append(piece.shown);
    return text;
}

StoredText StoredText::edited(const QString& shown) const
{
    const QString now = joinedLineBreaks(shown);
    const TextChange change = textChange(this->shown(), now);
    const auto first = pieces_.begin() + change.position;
    const auto last = first + change.removed;
    Pieces pieces(pieces_.begin(), first);
    const Pieces added = entered(now.mid(change.position, change.added)).pieces_;
    pieces.insert(pieces.end(), added.begin(), added.end());
    pieces.insert(pieces.end(), last, pieces_.end());
    return StoredText(std::move(pieces));
}

std::optional<QByteArray> StoredText::bytes() const
{
    QByteArray bytes;
    for (const Piece& piece : pieces_) {
        std::optional<QByteArray> stored
            = piece.stored.isEmpty() ? enteredBytes(piece.shown) : piece.stored;
        if (!stored)
            return std::nullopt;
        // A lone LF brought next to a lone CR by an edit would read with it as one line break.
        if (bytes.endsWith('\r') && stored->startsWith('\n'))
            stored = StoredLineBreak;
        bytes.append(*stored);
    }
    return bytes;
}
