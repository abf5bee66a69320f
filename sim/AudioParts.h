#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

namespace sim {

// The audio codec on the serial bus: 9-bit registers written as two bytes, the register address
// times 2 plus data bit 8 first.
class AudioCodec {
public:
    void write(const std::uint8_t* bytes, int count);
    std::uint16_t reg(int address) const { return registers_.at(address); }
    // Every register write received, as (address, data).
    const std::vector<std::pair<int, int>>& writes() const { return writes_; }

private:
    std::array<std::uint16_t, 16> registers_{};
    std::vector<std::pair<int, int>> writes_;
};

// The audio power amplifier: one-byte commands (gain level 0..63, or a modulation command).
class AudioAmplifier {
public:
    void write(const std::uint8_t* bytes, int count);
    const std::vector<std::uint8_t>& commands() const { return commands_; }

private:
    std::vector<std::uint8_t> commands_;
};

// The parameter blocks that commands 4, 7, 9 and 10 hand to the running controller.
class ParameterStore {
public:
    void store(std::uint16_t command, std::vector<std::uint8_t> block) { blocks_[command] = std::move(block); }
    // The last block received with the command, empty if none.
    std::vector<std::uint8_t> block(std::uint16_t command) const;

private:
    std::map<std::uint16_t, std::vector<std::uint8_t>> blocks_;
};

} // namespace sim
