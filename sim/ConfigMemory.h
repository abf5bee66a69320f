#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace sim {

// The controller's configuration memory: a 16 KiB serial EEPROM with 16-bit addresses. Reads run
// on across the whole memory; a write stays inside its 64-byte page and wraps to the page start,
// as a real part does.
class ConfigMemory {
public:
    static constexpr int Size = 16384;
    static constexpr int PageSize = 64;

    ConfigMemory();

    std::vector<std::uint8_t> read(int address, int count) const;
    void write(int address, const std::uint8_t* data, int count);

    void fill(int address, const std::vector<std::uint8_t>& bytes);

    // Cells that do not keep a byte, a fault for a write's read-back to find: a write to one of
    // these addresses leaves the value given here instead of what was written.
    std::map<int, std::uint8_t> stuckCells;

private:
    std::array<std::uint8_t, Size> bytes_{};
};

} // namespace sim
