#include "link/TraceRecord.h"

#include "link/Packet.h"

namespace {
constexpr int KindSize = 2;
constexpr int SkippedBusTransmitBytes = 1;
}

std::uint16_t withChannel(std::uint16_t mask, TraceChannel channel, bool selected)
{
    const std::uint16_t bit = channelBit(channel);
    return static_cast<std::uint16_t>(selected ? mask | bit : mask & ~bit);
}

std::optional<TraceRecord> parseTraceRecord(const std::uint8_t* record, int length)
{
    if (length < KindSize + 1)
        return std::nullopt;
    TraceRecord parsed;
    parsed.kind = readBe16(record);
    int start = KindSize;
    if (parsed.kind == traceKind(TraceChannel::BusTx))
        start += SkippedBusTransmitBytes;
    parsed.data = record + start;
    parsed.dataLength = length - start;
    return parsed;
}

QString tracePrefix(std::uint16_t kind)
{
    static const QString prefixes[TraceChannelCount] = {
        QStringLiteral("Bus+(RxD): "),
        QStringLiteral("Bus+(TxD): "),
        QStringLiteral("Link(RxD): "),
        QStringLiteral("Link(TxD): "),
    };
    return kind < TraceChannelCount ? prefixes[kind] : QString();
}

QString traceBytesText(const std::uint8_t* bytes, int count)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(6 * count);
    for (int i = 0; i < count; ++i) {
        text += QLatin1String("0x");
        text += QLatin1Char(Digits[bytes[i] >> 4]);
        text += QLatin1Char(Digits[bytes[i] & 0x0F]);
        text += QLatin1String("; ");
    }
    return text;
}

QString traceLine(const QString& timeOfDay, const TraceRecord& record)
{
    return timeOfDay + u' ' + tracePrefix(record.kind)
        + traceBytesText(record.data, record.dataLength);
}
