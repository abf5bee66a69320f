#include "models/Field.h"

#include <bit>

#include "config/ConfigRecord.h"

namespace {

std::uint16_t ownedBits(const WordBits& place)
{
    return place.owned != 0 ? place.owned : place.mask;
}

int shiftOf(const WordBits& place)
{
    return std::countr_zero(place.mask);
}

int wordAt(std::span<const std::uint16_t> words, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < words.size()
               ? words[static_cast<std::size_t>(index)]
               : 0;
}

void setWordAt(std::span<std::uint16_t> words, int index, int value)
{
    if (index >= 0 && static_cast<std::size_t>(index) < words.size())
        words[static_cast<std::size_t>(index)] = static_cast<std::uint16_t>(value);
}

constexpr int ByteBits = 8;
constexpr int LowByte = 0xFF;
constexpr int OctetCount = 4;

} // namespace

FieldContext fieldContextOf(std::uint16_t typeWord, std::span<const std::uint16_t> words)
{
    return {modelCode(typeWord), editionBit(typeWord), words};
}

int bitsOf(const WordBits& place, std::uint16_t word)
{
    return (word & place.mask) >> shiftOf(place);
}

std::uint16_t withBits(const WordBits& place, std::uint16_t word, int bits)
{
    const auto placed = static_cast<std::uint16_t>((bits << shiftOf(place)) & place.mask);
    return static_cast<std::uint16_t>((word & ~ownedBits(place)) | placed);
}

int shownValue(const Field& field, const FieldContext& context)
{
    const int first = field.place.word;
    int bits = 0;
    if (field.kind == FieldKind::Octets) {
        Octets octets{};
        for (int index = 0; index < OctetCount; ++index)
            octets[static_cast<std::size_t>(index)] = bitsOf(field.place, static_cast<std::uint16_t>(wordAt(context.words, first + index)));
        bits = addressOf(octets);
    } else if (field.kind == FieldKind::Port)
        bits = wordAt(context.words, first) << ByteBits | wordAt(context.words, first + 1);
    else
        bits = bitsOf(field.place, static_cast<std::uint16_t>(wordAt(context.words, first)));
    return field.shown ? field.shown(bits, context) : bits;
}

void storeShown(const Field& field, std::span<std::uint16_t> words, int shown,
                const FieldContext& context)
{
    const int bits = field.stored ? field.stored(shown, context) : shown;
    const int first = field.place.word;
    if (field.kind == FieldKind::Octets) {
        const Octets octets = octetsOf(bits);
        for (int index = 0; index < OctetCount; ++index)
            setWordAt(words, first + index, withBits(field.place, static_cast<std::uint16_t>(wordAt(words, first + index)), octets[static_cast<std::size_t>(index)]));
        return;
    }
    if (field.kind == FieldKind::Port) {
        setWordAt(words, first, bits >> ByteBits);
        setWordAt(words, first + 1, bits & LowByte);
        return;
    }
    setWordAt(words, first, withBits(field.place, static_cast<std::uint16_t>(wordAt(words, first)), bits));
}

QString shownText(const Field& field, int shown, const FieldContext& context)
{
    switch (field.kind) {
    case FieldKind::Flag:
        return flagText(shown != 0);
    case FieldKind::Choice:
        return fieldItems(field, context).value(shown);
    case FieldKind::Octets:
        return dottedText(shown);
    default:
        break;
    }
    return field.text ? field.text(shown, context) : QString::number(shown);
}

QString fieldLabel(const Field& field, const FieldContext& context)
{
    return field.labelOf ? field.labelOf(context) : field.label;
}

int fieldDefault(const Field& field, const FieldContext& context)
{
    return field.defaultOf ? field.defaultOf(context) : field.defaultValue;
}

QStringList fieldItems(const Field& field, const FieldContext& context)
{
    return field.items ? field.items(context) : QStringList();
}

NumberRange fieldRange(const Field& field, const FieldContext& context)
{
    if (field.kind == FieldKind::Flag)
        return {0, 1};
    if (field.kind == FieldKind::Choice)
        return {0, static_cast<int>(fieldItems(field, context).size()) - 1};
    return field.range;
}

int fittedValue(const Field& field, int shown, NumberRange range)
{
    if (field.kind != FieldKind::Octets)
        return fitToRange(shown, range).value;
    Octets octets = octetsOf(shown);
    const Octets limits = octetLimits(field);
    for (std::size_t index = 0; index < octets.size(); ++index)
        octets[index] = fitToRange(octets[index], {0, limits[index]}).value;
    return addressOf(octets);
}

int levelPosition(const Field& level, int value)
{
    return level.range.minimum + level.range.maximum - value;
}

int levelAt(const Field& level, int position)
{
    return level.range.minimum + level.range.maximum - position;
}

QString flagText(bool on)
{
    return on ? QStringLiteral("да") : QStringLiteral("нет");
}

int invertedBit(int bits, const FieldContext&)
{
    return bits == 0 ? 1 : 0;
}

Octets octetsOf(int address)
{
    const auto bits = static_cast<std::uint32_t>(address);
    return {static_cast<int>(bits >> 24), static_cast<int>(bits >> 16 & LowByte),
            static_cast<int>(bits >> 8 & LowByte), static_cast<int>(bits & LowByte)};
}

int addressOf(const Octets& octets)
{
    std::uint32_t bits = 0;
    for (int octet : octets)
        bits = bits << ByteBits | (static_cast<std::uint32_t>(octet) & LowByte);
    return static_cast<int>(bits);
}

QString dottedText(int address)
{
    QStringList parts;
    for (int octet : octetsOf(address))
        parts.append(QString::number(octet));
    return parts.join(u'.');
}

Octets octetLimits(const Field& address)
{
    return {address.range.maximum, LowByte, LowByte, LowByte};
}

std::size_t fieldIndex(std::span<const Field> fields, const Field& field)
{
    return static_cast<std::size_t>(&field - fields.data());
}
