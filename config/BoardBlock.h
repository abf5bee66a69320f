#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QDate>
#include <QLocale>
#include <QString>

#include "config/ConfigRecord.h"

// The board identity block as the windows work on it: the record's 45 words in host order, so
// that each word's low byte comes first and the texts read as plain byte strings. Texts are
// Windows-1251 bytes; a text ends at its first zero byte or at the end of its field, and the bytes
// after a zero byte keep whatever they held.
class BoardBlock {
public:
    static constexpr int Size = Blocks::Board.size;
    static constexpr int AddressLength = 6;
    using Bytes = std::array<std::uint8_t, Size>;
    using Address = std::array<int, AddressLength>;

    struct TextField {
        int offset;
        int size;
    };
    static constexpr TextField Serial{12, 4};
    static constexpr TextField Date{16, 10};
    static constexpr TextField Description{26, 64};

    BoardBlock() = default;
    // From and to the record's block, whose words are most significant byte first.
    static BoardBlock fromRecord(const std::uint8_t* recordBlock);
    void toRecord(std::uint8_t* recordBlock) const;

    const Bytes& bytes() const { return bytes_; }

    // Words 0 to 5, one address byte each: the low byte of each word.
    Address hardwareAddress() const;
    // Word index becomes the value's low byte, its high byte 0.
    void setAddressByte(int index, int value);

    // The field's bytes up to its first zero byte.
    QByteArray text(TextField field) const;
    // At most the field's size; a zero byte follows when shorter, the bytes after it stay.
    void setText(TextField field, const QByteArray& text);

    QString serialNumber() const;
    // False, and the field as it was, when a character has no Windows-1251 byte.
    [[nodiscard]] bool setSerialNumber(const QString& serial);
    // CR LF, a lone CR and a lone LF each read as one line break, "\n".
    QString description() const;
    // A description entered as a whole, its line breaks stored as CR LF. False, and the field as
    // it was, when a character has no Windows-1251 byte.
    [[nodiscard]] bool setDescription(const QString& description);

private:
    bool setEncodedText(TextField field, const std::optional<QByteArray>& text);

    Bytes bytes_{};
};

// The address as six pairs of upper-case hexadecimal digits joined by "-", first byte first:
// 00-1A-2B-3C-4D-5E.
QString hardwareAddressText(const BoardBlock::Address& address);

// Windows-1251 texts of the block. A text with a character that has no Windows-1251 byte has no
// encoding: the encoder would put a substitute byte in its place.
QString decodeBoardText(const QByteArray& bytes);
std::optional<QByteArray> encodeBoardText(const QString& text);
bool isBoardText(const QString& text);

// The date text in the locale's short date format (or DD.MM.YYYY, which is written where that
// format does not fit), or nothing when it does not parse. A two-digit year is read in this
// century: the controllers were made after 2000.
std::optional<QDate> boardDate(const QByteArray& text, const QLocale& locale);
// The date in the locale's short date format, or as DD.MM.YYYY where that format would not fit
// the 10 bytes of the field or would read back as another date (a two-digit year outside this
// century): what is written must parse again to the same date.
QByteArray boardDateText(const QDate& date, const QLocale& locale);
