#include "link/Protocol.h"

#include <algorithm>
#include <cstring>

#include <QtEndian>

#include "link/FirmwareBlocks.h"
#include "link/Myfunc.h"
#include "link/UsbConnection.h"

namespace Protocol {

namespace {

constexpr int CommandWordSize = 2;
constexpr int AddressSize = 2;
constexpr int TraceFetchTimeoutMs = 100;

void putWord(std::uint8_t* at, std::uint16_t value)
{
    qToLittleEndian(value, at);
}

// Copies data behind the header and what comes before it, and returns the packet's length.
int withPayload(std::uint8_t* packet, int offset, std::span<const std::uint8_t> data)
{
    if (!data.empty())
        std::memcpy(packet + offset, data.data(), data.size());
    return offset + static_cast<int>(data.size());
}

// The exchange of one framed request and its reply, taken apart by parse.
template <typename Parse>
auto exchanged(UsbConnection& usb, int sendLength, int timeoutMs, Parse parse)
{
    return parsed(usb.exchange(sendLength, timeoutMs), usb.buffer(), parse);
}

Reply<Acknowledged> acknowledged(const std::uint8_t*, int)
{
    return Acknowledged{};
}

} // namespace

int Failure::logged() const
{
    switch (kind) {
    case Kind::Usb:
        return usbResult;
    case Kind::Malformed:
        return -1;
    case Kind::WrongCommand:
        return -2;
    }
    return usbResult;
}

void writeHeader(std::uint8_t* packet, const Header& header)
{
    putWord(packet, static_cast<std::uint16_t>(header.command));
    putWord(packet + 2, header.param1);
    putWord(packet + 4, header.param2);
    putWord(packet + 6, header.param3);
}

std::uint16_t commandWord(const std::uint8_t* reply)
{
    return qFromLittleEndian<std::uint16_t>(reply);
}

// Only Command and Param1 go out: the probe is four bytes.
int probeRequest(std::uint8_t* packet)
{
    putWord(packet, static_cast<std::uint16_t>(Command::Probe));
    putWord(packet + 2, Usb::ProbeParam);
    return Usb::ProbeSize;
}

int identityRequest(std::uint8_t* packet)
{
    writeHeader(packet, {Command::Identity});
    return Usb::HeaderSize;
}

int memoryRequest(std::uint8_t* packet, int address, int count, std::span<const std::uint8_t> data)
{
    writeHeader(packet, {Command::BusTransfer, static_cast<std::uint16_t>(count),
                         static_cast<std::uint16_t>(AddressSize + data.size()),
                         BusDevice::ConfigMemory});
    qToBigEndian(static_cast<std::uint16_t>(address), packet + Usb::HeaderSize);
    return withPayload(packet, Usb::HeaderSize + AddressSize, data);
}

int flashRequest(std::uint8_t* packet, std::initializer_list<std::uint8_t> instruction,
                 std::span<const std::uint8_t> data, int readBack)
{
    const auto length = static_cast<std::uint16_t>(instruction.size() + data.size());
    writeHeader(packet, {Command::FlashInstruction, static_cast<std::uint16_t>(readBack), length,
                         FirmwareMemoryDevice});
    std::copy(instruction.begin(), instruction.end(), packet + Usb::HeaderSize);
    return withPayload(packet, Usb::HeaderSize + static_cast<int>(instruction.size()), data);
}

// The header words and bytes the payload does not fill carry no meaning; they go out as zero.
int pushRequest(std::uint8_t* packet, const PushFrame& frame, std::span<const std::uint8_t> payload)
{
    std::fill(packet, packet + frame.bytesSent, std::uint8_t{0});
    Header header{frame.command};
    if (frame.busDevice) {
        header.param2 = static_cast<std::uint16_t>(frame.payloadSize);
        header.param3 = *frame.busDevice;
    }
    writeHeader(packet, header);
    withPayload(packet, Usb::HeaderSize,
                payload.first(std::min<std::size_t>(payload.size(), frame.payloadSize)));
    return frame.bytesSent;
}

int statisticsRequest(std::uint8_t* packet, Statistics::Mode mode)
{
    writeHeader(packet, {Command::Statistics, static_cast<std::uint16_t>(mode),
                         static_cast<std::uint16_t>(Statistics::RecordSize)});
    return Usb::HeaderSize;
}

int traceSelectionRequest(std::uint8_t* packet, std::uint16_t mask)
{
    writeHeader(packet, {Command::TraceSelection, mask});
    return Usb::HeaderSize;
}

int traceFetchRequest(std::uint8_t* packet)
{
    writeHeader(packet, {Command::TraceFetch});
    return Usb::HeaderSize;
}

// A controller too small to return its own identity block could never be served safely.
Reply<int> probeReply(const std::uint8_t* reply, int length)
{
    if (length < Usb::ProbeSize)
        return Failure::malformed();
    const int capacity = qFromLittleEndian<std::uint16_t>(reply + 2);
    if (capacity < Usb::IdentitySize)
        return Failure::malformed();
    return capacity;
}

// The identity travels least significant byte first in each word, the other way round from the
// host's words: it is swapped on arrival. A wrong command is as malformed as a short reply here.
Reply<IdentityBlock> identityReply(const std::uint8_t* reply, int length)
{
    if (length < Usb::HeaderSize + Usb::IdentitySize
        || commandWord(reply) != static_cast<std::uint16_t>(Command::Identity))
        return Failure::malformed();
    IdentityBlock block{};
    SwapWordBytes(reply + Usb::HeaderSize, block.data(), Usb::IdentitySize);
    return block;
}

Reply<std::span<const std::uint8_t>> dataReply(const std::uint8_t* reply, int length, int count)
{
    if (length < Usb::HeaderSize + count)
        return Failure::malformed();
    return std::span<const std::uint8_t>(reply + Usb::HeaderSize, static_cast<std::size_t>(count));
}

// The command word is checked before the length, as for the statistics reply.
Reply<std::span<const std::uint8_t>> flashDataReply(const std::uint8_t* reply, int length,
                                                    int count)
{
    if (length < CommandWordSize)
        return Failure::malformed();
    if (commandWord(reply) != static_cast<std::uint16_t>(Command::FlashInstruction))
        return Failure::wrongCommand();
    return dataReply(reply, length, count);
}

Reply<CountersRecord> statisticsReply(const std::uint8_t* reply, int length)
{
    if (length < CommandWordSize)
        return Failure::malformed();
    if (commandWord(reply) != static_cast<std::uint16_t>(Command::Statistics))
        return Failure::wrongCommand();
    if (length < Usb::HeaderSize + Statistics::RecordSize)
        return Failure::malformed();
    CountersRecord counters{};
    std::copy_n(reply + Usb::HeaderSize, counters.size(), counters.begin());
    return counters;
}

Reply<TraceFetchReply> traceFetchReply(const std::uint8_t* reply, int length)
{
    if (length < CommandWordSize)
        return TraceFetchReply{};
    if (commandWord(reply) != static_cast<std::uint16_t>(Command::TraceFetch))
        return Failure::wrongCommand();
    TraceFetchReply fetched{std::nullopt, length - Usb::HeaderSize};
    fetched.record = parseTraceRecord(reply + Usb::HeaderSize, fetched.remaining);
    if (fetched.record)
        fetched.remaining = fetched.record->dataLength;
    return fetched;
}

Reply<std::span<const std::uint8_t>> readMemory(UsbConnection& usb, int address, int count)
{
    const int length = memoryRequest(usb.buffer(), address, count, {});
    return exchanged(
        usb, length, Usb::DefaultTimeoutMs,
        [count](const std::uint8_t* reply, int length) { return dataReply(reply, length, count); });
}

Reply<Acknowledged> writeMemory(UsbConnection& usb, int address, std::span<const std::uint8_t> data)
{
    const int length = memoryRequest(usb.buffer(), address, 0, data);
    return exchanged(usb, length, Usb::DefaultTimeoutMs, acknowledged);
}

Reply<std::span<const std::uint8_t>> flashInstruction(UsbConnection& usb,
                                                      std::initializer_list<std::uint8_t> instruction,
                                                      std::span<const std::uint8_t> data,
                                                      int readBack)
{
    const int length = flashRequest(usb.buffer(), instruction, data, readBack);
    return exchanged(
        usb, length, Usb::DefaultTimeoutMs,
        [readBack](const std::uint8_t* reply, int length) -> Reply<std::span<const std::uint8_t>> {
            // Without a read-back the reply is not examined.
            if (readBack == 0)
                return std::span<const std::uint8_t>();
            return dataReply(reply, length, readBack);
        });
}

Reply<std::span<const std::uint8_t>> readFlash(UsbConnection& usb, int address, int count)
{
    const auto [high, middle, low] = flashAddress(address);
    const int length =
        flashRequest(usb.buffer(), {FlashInstruction::ReadData, high, middle, low}, {}, count);
    return exchanged(usb, length, Usb::DefaultTimeoutMs,
                     [count](const std::uint8_t* reply, int length) {
                         return flashDataReply(reply, length, count);
                     });
}

Reply<Acknowledged> push(UsbConnection& usb, const PushFrame& frame,
                         std::span<const std::uint8_t> payload)
{
    const int length = pushRequest(usb.buffer(), frame, payload);
    return exchanged(usb, length, Usb::DefaultTimeoutMs, acknowledged);
}

Reply<CountersRecord> statistics(UsbConnection& usb, Statistics::Mode mode)
{
    const int length = statisticsRequest(usb.buffer(), mode);
    return exchanged(usb, length, Statistics::TimeoutMs, statisticsReply);
}

Reply<Acknowledged> selectTrace(UsbConnection& usb, std::uint16_t mask)
{
    const int length = traceSelectionRequest(usb.buffer(), mask);
    return exchanged(usb, length, Usb::DefaultTimeoutMs, acknowledged);
}

Reply<TraceFetchReply> fetchTrace(UsbConnection& usb)
{
    const int length = traceFetchRequest(usb.buffer());
    return exchanged(usb, length, TraceFetchTimeoutMs, traceFetchReply);
}

} // namespace Protocol
