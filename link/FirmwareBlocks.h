#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

// The firmware memory behind command 2 (a serial NOR flash) and the block rules of a firmware
// load; pure rules, kept apart from the task.

namespace FlashInstruction {
inline constexpr std::uint8_t WriteEnable = 0x06;
inline constexpr std::uint8_t ChipErase = 0xC7;
inline constexpr std::uint8_t ReadStatus = 0x05;
inline constexpr std::uint8_t PageProgram = 0x02;
inline constexpr std::uint8_t ReadData = 0x03;
}

// Param3 of command 2: the firmware memory.
inline constexpr std::uint16_t FirmwareMemoryDevice = 4;
// Status bit 0: a program or erase is still in progress.
inline constexpr std::uint8_t FlashBusyBit = 0x01;

inline constexpr int FlashPageSize = 256;
// The instruction code and the 24-bit address in front of a page program's data.
inline constexpr int PageProgramOverhead = 4;
// Programming stops at this address (128 KiB); reading back stops there too, since nothing past
// it was ever written by a load.
inline constexpr int FlashProgramLimit = 0x20000;

// The erase is polled once a second; its progress runs over 11 steps and it gets 12 polls. Once
// the chip is idle, it is left to settle twice this long before programming starts.
inline constexpr int EraseProgressSteps = 11;
inline constexpr int ErasePolls = 12;
inline constexpr std::chrono::milliseconds ErasePollInterval{1000};
inline constexpr std::chrono::milliseconds EraseSettle{500};
// Status reads allowed between two page programs before the chip counts as stuck. A page
// program takes at most 3 to 5 ms on the common serial NOR chips; one status exchange over USB
// takes at least about 0.1 ms, so 1000 reads give the chip 100 ms or more: twenty times its
// worst case.
inline constexpr int ProgramBusyPolls = 1000;

// Raw image bytes per write in boot mode.
inline constexpr int BootPieceSize = 64;

// The 24-bit address after an instruction code, most significant byte first.
std::array<std::uint8_t, 3> flashAddress(int address);

// The largest page-program data block for a payload capacity: a full page when it fits with its
// instruction code and address, else what fits.
int largestProgramBlock(int payloadCapacity);
// The length of the page program at address: never across a page boundary, and odd when
// shorter than a page.
int programBlockLength(int largestBlock, int address, std::int64_t remaining);
// The pause after a page program of that length: a millisecond for each full page.
inline constexpr std::chrono::milliseconds pageProgramPause(int length)
{
    return std::chrono::milliseconds(length / FlashPageSize);
}
// The length of the next boot-mode piece.
int bootPieceLength(std::int64_t remaining);

// A range of the firmware memory to read back, as the window or the command line asks for it,
// cut to the part a load writes; a start outside that part reads nothing.
struct FlashSpan {
    std::int64_t start = 0;
    std::int64_t length = 0;
};
FlashSpan readableSpan(std::int64_t start, std::int64_t length);

// The first byte at which the memory differs from what was expected there.
struct FlashMismatch {
    std::int64_t address = 0;
    std::uint8_t expected = 0;
    std::uint8_t actual = 0;
    bool operator==(const FlashMismatch&) const = default;
};
// Compares bytes read at address with the bytes expected there (the shorter of the two counts).
std::optional<FlashMismatch> firstMismatch(std::int64_t address,
                                           std::span<const std::uint8_t> expected,
                                           std::span<const std::uint8_t> actual);
