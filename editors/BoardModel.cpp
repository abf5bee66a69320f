#include "editors/BoardModel.h"

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

bool holdsOnlyBoardText(const QString& text)
{
    return isBoardText(text) && !text.contains(QChar(u'\0'));
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
    return serial.size() <= BoardBlock::Serial.size && holdsOnlyBoardText(serial);
}

bool acceptsDescription(const QString& before, const QString& after)
{
    if (!holdsOnlyBoardText(after))
        return false;
    const int bytes = descriptionByteCount(after);
    return bytes <= BoardBlock::Description.size || bytes <= descriptionByteCount(before);
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

void BoardModel::save(const BoardEntries& entries, const QLocale& locale)
{
    if (entries.serial)
        copy_.setSerialNumber(*entries.serial);
    copy_.setText(BoardBlock::Date, boardDateText(entries.date, locale));
    if (entries.description)
        copy_.setDescription(*entries.description);
    copy_.toRecord(block_);
}
