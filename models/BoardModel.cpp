#include "models/BoardModel.h"

#include <QStringList>

#include "config/ConfigRecord.h"
#include "link/Packet.h"

namespace {

constexpr int AddressModel = 2; // the R-420
const QChar GroupSeparator = u'-';
constexpr int HexBase = 16;

int hexDigitValue(QChar digit)
{
    const char16_t c = digit.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

std::optional<int> addressGroupValue(QString group)
{
    group.remove(u' ');
    int value = 0;
    if (group.size() > 2)
        return std::nullopt;
    for (const QChar digit : group) {
        const int digitValue = hexDigitValue(digit);
        if (digitValue < 0)
            return std::nullopt;
        value = HexBase * value + digitValue;
    }
    return value;
}

// The bytes of a text that its field holds as they are: no zero byte, which would end the text
// early, and no more than the field's size, which would cut it.
std::optional<QByteArray> storable(const std::optional<QByteArray>& bytes,
                                   BoardBlock::TextField field)
{
    if (!bytes || bytes->contains('\0') || bytes->size() > field.size)
        return std::nullopt;
    return bytes;
}

BoardBlock::TextField fieldOf(BoardText text)
{
    return text == BoardText::Serial ? BoardBlock::Serial : BoardBlock::Description;
}

} // namespace

QString boardTitle(std::uint16_t typeWord)
{
    return QStringLiteral("Контроллер ") + controllerText(typeWord);
}

bool hasHardwareAddress(std::uint16_t typeWord)
{
    return modelCode(typeWord) == AddressModel;
}

AddressGroups hardwareAddressGroups(const QString& text)
{
    const QStringList groups = text.split(GroupSeparator);
    AddressGroups values{};
    for (int i = 0; i < BoardBlock::AddressLength && i < groups.size(); ++i)
        values[i] = addressGroupValue(groups[i]);
    return values;
}

bool acceptsAddressKey(QChar typed)
{
    return hexDigitValue(typed.toUpper()) >= 0;
}

bool acceptsSerial(const QString& serial)
{
    return storable(encodeBoardText(serial), BoardBlock::Serial).has_value();
}

bool acceptsDescription(const StoredText& description)
{
    return storable(description.bytes(), BoardBlock::Description).has_value();
}

QString boardTextLabel(BoardText text)
{
    return text == BoardText::Serial ? QStringLiteral("Сер. номер:") : QStringLiteral("Описание:");
}

QString unstorableTextMessage(BoardText text)
{
    return QStringLiteral("Недопустимый текст в поле \"%1\". Допускаются только символы "
                          "кодировки Windows-1251, не более %2 байт.")
        .arg(boardTextLabel(text))
        .arg(fieldOf(text).size);
}

void BoardModel::LoadBlock(const BoardInputs& inputs)
{
    block_ = inputs.boardBlock;
    typeWord_ = readLe16(inputs.identityBlock);
    copy_ = BoardBlock::fromRecord(block_);
}

QString BoardModel::title() const
{
    return boardTitle(typeWord_);
}

bool BoardModel::addressShown() const
{
    return hasHardwareAddress(typeWord_);
}

QString BoardModel::addressText() const
{
    return hardwareAddressText(copy_.hardwareAddress());
}

void BoardModel::setAddressText(const QString& text)
{
    const AddressGroups groups = hardwareAddressGroups(text);
    for (int i = 0; i < BoardBlock::AddressLength; ++i)
        if (groups[i])
            copy_.setAddressByte(i, *groups[i]);
}

QString BoardModel::serialNumber() const
{
    return copy_.serialNumber();
}

QDate BoardModel::date(const QLocale& locale, const QDate& today) const
{
    return boardDate(copy_.text(BoardBlock::Date), locale).value_or(today);
}

QString BoardModel::description() const
{
    return copy_.description();
}

StoredText BoardModel::storedDescription() const
{
    return StoredText::read(copy_.text(BoardBlock::Description));
}

std::optional<BoardText> BoardModel::save(const BoardEntries& entries, const QLocale& locale)
{
    const std::optional<QByteArray> serial =
        storable(encodeBoardText(entries.serial), BoardBlock::Serial);
    if (!serial)
        return BoardText::Serial;
    const std::optional<QByteArray> description =
        storable(entries.description.bytes(), BoardBlock::Description);
    if (!description)
        return BoardText::Description;
    copy_.setText(BoardBlock::Serial, *serial);
    copy_.setText(BoardBlock::Date, boardDateText(entries.date, locale));
    copy_.setText(BoardBlock::Description, *description);
    copy_.toRecord(block_);
    return std::nullopt;
}
