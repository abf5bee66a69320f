#include "models/RecordDiff.h"

#include <algorithm>
#include <array>

#include "models/DieId.h"

namespace {

// The bits of its stored bytes that a field reads: the words of the address octets through the
// field's mask, a port's two words whole, the board's bytes whole.
QByteArray readBits(const FieldReading& reading)
{
    const Field& field = *reading.field;
    const bool wholeBytes = reading.block == EditorBlock::Board || field.kind == FieldKind::Port;
    const std::uint16_t mask = wholeBytes ? 0xFFFF : field.place.mask;
    QByteArray bits(reading.stored.size(), '\0');
    for (qsizetype index = 0; index < bits.size(); ++index)
        bits[index] = static_cast<char>(index % 2 == 0 ? mask >> 8 : mask & 0xFF);
    return bits;
}

struct Reading {
    const FieldReading* first = nullptr;
    const FieldReading* second = nullptr;
};

// The readings of both records, by block and field, in the order of the first and then of the
// fields only the second has.
std::vector<Reading> pairReadings(const std::vector<FieldReading>& first,
                                  const std::vector<FieldReading>& second)
{
    std::vector<Reading> pairs;
    for (const FieldReading& reading : first)
        pairs.push_back({&reading, nullptr});
    for (const FieldReading& reading : second) {
        const auto same = std::find_if(pairs.begin(), pairs.end(), [&](const Reading& pair) {
            return pair.first && pair.first->block == reading.block
                && pair.first->field == reading.field;
        });
        if (same != pairs.end())
            same->second = &reading;
        else
            pairs.push_back({nullptr, &reading});
    }
    return pairs;
}

std::optional<QString> shownOf(const FieldReading* reading)
{
    return reading ? std::optional(reading->shown) : std::nullopt;
}

void explain(std::array<std::uint8_t, CONFIG_RECORD_SIZE>& explained, const FieldReading* reading)
{
    if (!reading)
        return;
    const QByteArray bits = readBits(*reading);
    for (qsizetype index = 0; index < bits.size(); ++index)
        explained[static_cast<std::size_t>(reading->offset + index)]
            |= static_cast<std::uint8_t>(bits[index]);
}

bool undescribed(int offset)
{
    return offset >= Blocks::CrcWord.end() && offset < Blocks::Identity.offset;
}

} // namespace

QString identityLine(const ConfigRecord& record)
{
    const IdentityWords words = identityWords(record.data(Blocks::Identity));
    return QStringLiteral("%1, Die ID %2, Chip ID %3")
        .arg(controllerText(record.typeWord()), dieIdKey(dieIdOf(words)), chipIdText(words));
}

RecordDifferences compareRecords(const ConfigRecord& first, const ConfigRecord& second,
                                 const RecordView& view)
{
    RecordDifferences differences;
    if (!std::equal(first.data(Blocks::Identity), first.data(Blocks::Identity) + Blocks::Identity.size,
                    second.data(Blocks::Identity)))
        differences.identity = Pair<QString>{identityLine(first), identityLine(second)};
    if (first.storedCrc() != second.storedCrc())
        differences.crc = Pair<std::uint16_t>{first.storedCrc(), second.storedCrc()};

    const std::vector<FieldReading> firstReadings = describeRecord(first, view);
    const std::vector<FieldReading> secondReadings = describeRecord(second, view);
    std::array<std::uint8_t, CONFIG_RECORD_SIZE> explained{};
    for (const Reading& pair : pairReadings(firstReadings, secondReadings)) {
        const std::optional<QString> firstShown = shownOf(pair.first);
        const std::optional<QString> secondShown = shownOf(pair.second);
        if (firstShown == secondShown)
            continue;
        const FieldReading& either = pair.first ? *pair.first : *pair.second;
        differences.fields.push_back(
            {either.block, either.field, either.label, firstShown, secondShown});
        explain(explained, pair.first);
        explain(explained, pair.second);
    }
    for (int offset = 0; offset < CONFIG_RECORD_SIZE; ++offset) {
        const auto index = static_cast<std::size_t>(offset);
        const auto changed = static_cast<std::uint8_t>(first.bytes[index] ^ second.bytes[index]);
        if (undescribed(offset) && (changed & ~explained[index]) != 0)
            differences.bytes.push_back({offset, first.bytes[index], second.bytes[index]});
    }
    return differences;
}
