#pragma once

#include <cstdint>
#include <optional>

#include <QString>

// The four traced channels, one bit each in the channel mask the controller records by.
enum class TraceChannel : std::uint16_t {
    BusRx = 0,
    BusTx = 1,
    LinkRx = 2,
    LinkTx = 3,
};
inline constexpr int TraceChannelCount = 4;

constexpr std::uint16_t channelBit(TraceChannel channel)
{
    return static_cast<std::uint16_t>(1u << static_cast<unsigned>(channel));
}

// The mask with the channel's bit set or cleared.
std::uint16_t withChannel(std::uint16_t mask, TraceChannel channel, bool selected);

// One record of a trace fetch reply: a 16-bit kind, high byte first, then the traced bytes.
// A bus-transmit record carries one more byte before its data, which is not shown.
struct TraceRecord {
    std::uint16_t kind = 0;
    const std::uint8_t* data = nullptr;
    int dataLength = 0;
};

// The kind of a frame on each channel is the channel's number.
constexpr std::uint16_t traceKind(TraceChannel channel)
{
    return static_cast<std::uint16_t>(channel);
}

// Nothing for a record shorter than its kind and one byte.
std::optional<TraceRecord> parseTraceRecord(const std::uint8_t* record, int length);

// "Bus+(RxD): " ... "Link(TxD): " for the four kinds, nothing for any other.
QString tracePrefix(std::uint16_t kind);
// Each byte as "0x", two upper-case hexadecimal digits and "; ".
QString traceBytesText(const std::uint8_t* bytes, int count);
// The time of day, one blank, the kind's prefix and the bytes.
QString traceLine(const QString& timeOfDay, const TraceRecord& record);
