#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <variant>

#include "link/Packet.h"
#include "link/TraceRecord.h"

class UsbConnection;

// The controller's protocol in one place: every request is framed here and every reply is taken
// apart here. A packet starts with four 16-bit little-endian header words (Command, Param1,
// Param2, Param3); values inside payloads travel most significant byte first.
namespace Protocol {

// A failed exchange, and the number the message log shows for it after "Error: ".
struct Failure {
    enum class Kind {
        Usb,          // the USB library's negative result
        Malformed,    // too short for what it must hold: -1
        WrongCommand, // a reply to another command: -2
    };
    Kind kind = Kind::Usb;
    int usbResult = 0;

    int logged() const;
    static Failure usb(int result) { return {Kind::Usb, result}; }
    static Failure malformed() { return {Kind::Malformed}; }
    static Failure wrongCommand() { return {Kind::WrongCommand}; }
};

// What an exchange brings: its value, or how it failed.
template <typename Value>
using Reply = std::variant<Value, Failure>;

template <typename Value>
const Failure* failureOf(const Reply<Value>& reply)
{
    return std::get_if<Failure>(&reply);
}

// The reply of a transfer that returned `result`: its USB failure, or what parse makes of its
// bytes.
template <typename Parse>
auto parsed(int result, const std::uint8_t* reply, Parse parse) -> decltype(parse(reply, result))
{
    if (result < 0)
        return Failure::usb(result);
    return parse(reply, result);
}

// An exchange whose reply is read and not examined.
struct Acknowledged {};

using IdentityBlock = std::array<std::uint8_t, Usb::IdentitySize>;
using CountersRecord = std::array<std::uint8_t, Statistics::RecordSize>;

struct Header {
    Command command = Command::Probe;
    std::uint16_t param1 = 0;
    std::uint16_t param2 = 0;
    std::uint16_t param3 = 0;
};

void writeHeader(std::uint8_t* packet, const Header& header);
// The command word of a reply of at least two bytes.
std::uint16_t commandWord(const std::uint8_t* reply);

// The serial-bus device and payload of a parameter push of command 3; the other pushes have
// their own command and a header of the command word alone.
struct PushFrame {
    Command command;
    std::optional<std::uint16_t> busDevice;
    int payloadSize;
    int bytesSent; // header and payload as sent; bytes past the payload go out as zero
};

// Requests, written from the start of the packet; each returns the number of bytes to send.
int probeRequest(std::uint8_t* packet);
int identityRequest(std::uint8_t* packet);
// Command 3 to the configuration memory: the address, then count bytes come back, or the data
// is written.
int memoryRequest(std::uint8_t* packet, int address, int count, std::span<const std::uint8_t> data);
// Command 2: one instruction of the firmware memory with its data; readBack bytes come back.
int flashRequest(std::uint8_t* packet, std::initializer_list<std::uint8_t> instruction,
                 std::span<const std::uint8_t> data, int readBack);
int pushRequest(std::uint8_t* packet, const PushFrame& frame, std::span<const std::uint8_t> payload);
int statisticsRequest(std::uint8_t* packet, Statistics::Mode mode);
int traceSelectionRequest(std::uint8_t* packet, std::uint16_t mask);
int traceFetchRequest(std::uint8_t* packet);

// Replies, as read: `length` bytes of the reply, never negative.
// The controller's payload capacity (Param1 of the probe reply).
Reply<int> probeReply(const std::uint8_t* reply, int length);
// The identity block in host order.
Reply<IdentityBlock> identityReply(const std::uint8_t* reply, int length);
// The count bytes after the header; a shorter reply would leave stale bytes in their place.
Reply<std::span<const std::uint8_t>> dataReply(const std::uint8_t* reply, int length, int count);
// The count bytes of a firmware memory read: a reply of command 2 that holds them all. Another
// command's reply carries no bytes of the memory.
Reply<std::span<const std::uint8_t>> flashDataReply(const std::uint8_t* reply, int length,
                                                    int count);
Reply<CountersRecord> statisticsReply(const std::uint8_t* reply, int length);
// The one trace record of a fetch reply, if it carries one, and the number of bytes after the
// header (the run asks again while that is above zero). A reply too short for its command word
// carries nothing.
struct TraceFetchReply {
    std::optional<TraceRecord> record;
    int remaining = 0;
};
Reply<TraceFetchReply> traceFetchReply(const std::uint8_t* reply, int length);

// The exchanges of the tasks on the open connection: the request framed in its buffer, sent, and
// one reply read and taken apart. Data in a reply stays valid until the next exchange.
Reply<std::span<const std::uint8_t>> readMemory(UsbConnection& usb, int address, int count);
Reply<Acknowledged> writeMemory(UsbConnection& usb, int address,
                                std::span<const std::uint8_t> data);
Reply<std::span<const std::uint8_t>> flashInstruction(UsbConnection& usb,
                                                      std::initializer_list<std::uint8_t> instruction,
                                                      std::span<const std::uint8_t> data = {},
                                                      int readBack = 0);
// Count bytes of the firmware memory from a 24-bit address.
Reply<std::span<const std::uint8_t>> readFlash(UsbConnection& usb, int address, int count);
Reply<Acknowledged> push(UsbConnection& usb, const PushFrame& frame,
                         std::span<const std::uint8_t> payload);
Reply<CountersRecord> statistics(UsbConnection& usb, Statistics::Mode mode);
Reply<Acknowledged> selectTrace(UsbConnection& usb, std::uint16_t mask);
Reply<TraceFetchReply> fetchTrace(UsbConnection& usb);

} // namespace Protocol
