#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QChar>
#include <QString>

// Where one text differs from another: from `position` on, `removed` characters of the first
// stand where the second has `added` characters; both agree before and after.
struct TextChange {
    int position;
    int removed;
    int added;
};
TextChange textChange(const QString& before, const QString& after);

// A multi-line text of the board block as its field shows it and as the block stores it. Each
// character keeps the bytes it was read from, so that storing an edited text changes only what
// the edit touched: a line break goes back in the form the record had it in (CR LF, a lone CR or
// a lone LF), every other character as its own byte. A character entered in the field is encoded
// when the text is stored, a line break as CR LF.
class StoredText {
public:
    StoredText() = default;
    // Windows-1251 bytes; CR LF, a lone CR and a lone LF each read as one line break.
    static StoredText read(const QByteArray& bytes);
    // A text entered as a whole; its CR LF, lone CR and lone LF are line breaks as well.
    static StoredText entered(const QString& text);

    // Each line break as "\n".
    QString shown() const;
    // The text after one edit that made the field show `shown` (line breaks as entered() reads
    // them): the characters before and after the part it changed keep their bytes, those of
    // that part are entered.
    StoredText edited(const QString& shown) const;
    // The bytes to store, or nothing when an entered character has no Windows-1251 byte: the
    // encoder's substitute is never stored.
    std::optional<QByteArray> bytes() const;

private:
    struct Piece {
        QChar shown;
        QByteArray stored; // empty for an entered character
    };
    using Pieces = std::vector<Piece>;

    explicit StoredText(Pieces pieces);

    Pieces pieces_;
};
