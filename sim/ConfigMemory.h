#pragma once

#include <array>
#include <cstdint>
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

    std::vector<std::uint8_t> contents(int address, int count) const { return read(address, count); }
    void fill(int address, const std::vector<std::uint8_t>& bytes);
    // The number of page writes since the last reset of the counter.
    int writeCount() const { return writeCount_; }

private:
    std::array<std::uint8_t, Size> bytes_{};
    int writeCount_ = 0;
};

} // namespace sim
