#pragma once

#include <cstdint>

#include <QtEndian>

// The controller's USB identity and the packet framing. A packet starts with four 16-bit
// little-endian words (Command, Param1, Param2, Param3); the payload follows at byte 8, and values
// inside payloads travel most significant byte first.
namespace Usb {
inline constexpr std::uint16_t VendorId = 0x0451;
inline constexpr std::uint16_t ProductId = 0x9001;
inline constexpr int NormalConfiguration = 2;
inline constexpr int BootConfiguration = 1;
inline constexpr int Interface = 0;
inline constexpr int RequestEndpoint = 1;
inline constexpr int ReplyEndpoint = 0x81;
inline constexpr int BootEndpoint = 6;
inline constexpr int DefaultTimeoutMs = 1000;
inline constexpr int DrainTimeoutMs = 100;
inline constexpr int HeaderSize = 8;
inline constexpr int IdentitySize = 12;
inline constexpr int ProbeSize = 4;
inline constexpr std::uint16_t ProbeParam = 0x4000;
}

enum class Command : std::uint16_t {
    Probe = 0,
    Identity = 1,
    FlashInstruction = 2,
    BusTransfer = 3,
    RecorderValues = 4,
    TraceSelection = 5,
    TraceFetch = 6,
    VocoderValues = 7,
    Statistics = 8,
    NetworkParameters = 9,
    LinkParameters = 10,
};

// Devices on the controller's serial bus, addressed by command 3.
namespace BusDevice {
inline constexpr std::uint16_t ConfigMemory = 0x50;
inline constexpr std::uint16_t AudioCodec = 0x1A;
inline constexpr std::uint16_t AudioAmplifier = 0x4B;
}

// Statistics, command 8: the controller's operating counters, 19 unsigned 32-bit counters, most
// significant byte first.
namespace Statistics {
inline constexpr int CounterCount = 19;
inline constexpr int RecordSize = CounterCount * 4;
inline constexpr int TimeoutMs = 100;
// Param1 of command 8.
enum class Mode : std::uint16_t {
    Reset = 0,
    Report = 1,
};
}

inline std::uint16_t readLe16(const std::uint8_t* bytes)
{
    return qFromLittleEndian<std::uint16_t>(bytes);
}

inline void writeLe16(std::uint8_t* bytes, std::uint16_t value)
{
    qToLittleEndian(value, bytes);
}

inline std::uint16_t readBe16(const std::uint8_t* bytes)
{
    return qFromBigEndian<std::uint16_t>(bytes);
}

inline void writeBe16(std::uint8_t* bytes, std::uint16_t value)
{
    qToBigEndian(value, bytes);
}

// Header word i (0 = Command ... 3 = Param3) of a packet.
inline std::uint16_t headerWord(const std::uint8_t* packet, int index)
{
    return readLe16(packet + 2 * index);
}
