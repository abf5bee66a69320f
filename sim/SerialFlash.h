#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace sim {

// The controller's firmware memory: a 256 KiB serial NOR flash with the common instruction set,
// 24-bit addresses and 256-byte pages, erased to 0xFF. Program and erase need the write-enable
// latch; the chip ignores an instruction it cannot take (no latch, busy, too short), as a real
// chip does. A page program only clears bits and wraps inside its page. After an erase or a
// program the chip stays busy for a set number of status reads, so the terminal's waits see the
// same sequence at any speed.
class SerialFlash {
public:
    static constexpr int Size = 256 * 1024;
    static constexpr int PageSize = 256;

    enum Instruction : std::uint8_t {
        WriteEnable = 0x06,
        WriteDisable = 0x04,
        ReadStatus = 0x05,
        ReadData = 0x03,
        PageProgram = 0x02,
        ChipErase = 0xC7,
        ChipEraseAlternative = 0x60,
    };
    static constexpr std::uint8_t BusyBit = 0x01;
    static constexpr std::uint8_t LatchBit = 0x02;

    SerialFlash();

    // One instruction: the bytes sent while the chip is selected. Returns the readCount bytes the
    // chip clocks out after them.
    std::vector<std::uint8_t> execute(const std::vector<std::uint8_t>& instruction, int readCount);

    std::vector<std::uint8_t> read(int address, int count) const;
    // Sets bytes as a chip delivered with them holds them: no latch, no busy time.
    void preload(int address, const std::vector<std::uint8_t>& bytes);
    std::uint8_t status() const;
    // Instructions the chip did not take since it was made.
    int ignoredInstructions() const { return ignored_; }

    // How many status reads still find the chip busy after an erase, after a page program.
    int eraseBusyReads = 4;
    int programBusyReads = 1;
    // Worn cells, a fault for a verification to find: once a page program has written one of
    // these addresses, it reads back the value given here instead of what was written.
    std::map<int, std::uint8_t> wornCells;

private:
    void program(int address, const std::uint8_t* data, int count);
    bool takeWrite(int busyReads);
    std::uint8_t readStatus();

    std::array<std::uint8_t, Size> bytes_{};
    bool latch_ = false;
    int busyReads_ = 0;
    int ignored_ = 0;
};

} // namespace sim
