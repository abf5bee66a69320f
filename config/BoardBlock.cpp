#include "config/BoardBlock.h"

#include <algorithm>

#include <QStringDecoder>
#include <QStringList>
#include <QStringEncoder>

#include "config/StoredText.h"

namespace {

const char* const Codepage = "windows-1251";
const QString FixedDateFormat = QStringLiteral("dd.MM.yyyy");

bool hasTwoDigitYear(const QString& format)
{
    return format.contains(QLatin1String("yy")) && !format.contains(QLatin1String("yyyy"));
}

std::optional<QDate> parseDate(const QString& text, const QString& format, const QLocale& locale)
{
    QDate date = locale.toDate(text, format);
    if (!date.isValid())
        return std::nullopt;
    if (hasTwoDigitYear(format) && date.year() < 2000)
        date = date.addYears(100);
    return date;
}

} // namespace

BoardBlock BoardBlock::fromRecord(const std::uint8_t* recordBlock)
{
    BoardBlock block;
    for (int i = 0; i < Size; i += 2) {
        block.bytes_[i] = recordBlock[i + 1];
        block.bytes_[i + 1] = recordBlock[i];
    }
    return block;
}

void BoardBlock::toRecord(std::uint8_t* recordBlock) const
{
    for (int i = 0; i < Size; i += 2) {
        recordBlock[i] = bytes_[i + 1];
        recordBlock[i + 1] = bytes_[i];
    }
}

BoardBlock::Address BoardBlock::hardwareAddress() const
{
    Address address{};
    for (int i = 0; i < AddressLength; ++i)
        address[i] = bytes_[2 * i];
    return address;
}

void BoardBlock::setAddressByte(int index, int value)
{
    if (index < 0 || index >= AddressLength)
        return;
    bytes_[2 * index] = static_cast<std::uint8_t>(value & 0xFF);
    bytes_[2 * index + 1] = 0;
}

QByteArray BoardBlock::text(TextField field) const
{
    const auto* begin = bytes_.data() + field.offset;
    const auto* end = std::find(begin, begin + field.size, std::uint8_t{0});
    return QByteArray(reinterpret_cast<const char*>(begin), end - begin);
}

void BoardBlock::setText(TextField field, const QByteArray& text)
{
    const int length = std::min<int>(static_cast<int>(text.size()), field.size);
    std::copy_n(text.constData(), length, bytes_.data() + field.offset);
    if (length < field.size)
        bytes_[field.offset + length] = 0;
}

QString BoardBlock::serialNumber() const
{
    return decodeBoardText(text(Serial));
}

bool BoardBlock::setSerialNumber(const QString& serial)
{
    return setEncodedText(Serial, encodeBoardText(serial));
}

// A carriage return without its line feed reads as the line break that the text field makes of
// it: read as itself, a carriage return before a stored line break would merge with it when the
// text is stored again, and each save would lose one byte of the description.
QString BoardBlock::description() const
{
    return StoredText::read(text(Description)).shown();
}

bool BoardBlock::setDescription(const QString& description)
{
    return setEncodedText(Description, StoredText::entered(description).bytes());
}

bool BoardBlock::setEncodedText(TextField field, const std::optional<QByteArray>& text)
{
    if (text)
        setText(field, *text);
    return text.has_value();
}

QString hardwareAddressText(const BoardBlock::Address& address)
{
    QStringList pairs;
    for (const int byte : address)
        pairs << QString::number(byte & 0xFF, 16).toUpper().rightJustified(2, u'0');
    return pairs.join(u'-');
}

QString decodeBoardText(const QByteArray& bytes)
{
    QStringDecoder decoder(Codepage);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encodeBoardText(const QString& text)
{
    QStringEncoder encoder(Codepage);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

bool isBoardText(const QString& text)
{
    return encodeBoardText(text).has_value();
}

std::optional<QDate> boardDate(const QByteArray& text, const QLocale& locale)
{
    const QString date = decodeBoardText(text);
    if (auto parsed = parseDate(date, locale.dateFormat(QLocale::ShortFormat), locale))
        return parsed;
    return parseDate(date, FixedDateFormat, locale);
}

QByteArray boardDateText(const QDate& date, const QLocale& locale)
{
    const std::optional<QByteArray> text =
        encodeBoardText(locale.toString(date, QLocale::ShortFormat));
    if (text && text->size() <= BoardBlock::Date.size && boardDate(*text, locale) == date)
        return *text;
    // Digits and dots: Windows-1251 has them all.
    return encodeBoardText(date.toString(FixedDateFormat)).value();
}
