#include "sim/AudioParts.h"

namespace sim {

void AudioCodec::write(const std::uint8_t* bytes, int count)
{
    for (int i = 0; i + 1 < count; i += 2) {
        const int address = bytes[i] >> 1;
        const int data = ((bytes[i] & 1) << 8) | bytes[i + 1];
        if (address < static_cast<int>(registers_.size()))
            registers_[address] = static_cast<std::uint16_t>(data);
        writes_.emplace_back(address, data);
    }
}

void AudioAmplifier::write(const std::uint8_t* bytes, int count)
{
    commands_.insert(commands_.end(), bytes, bytes + count);
}

std::vector<std::uint8_t> ParameterStore::block(std::uint16_t command) const
{
    const auto found = blocks_.find(command);
    return found == blocks_.end() ? std::vector<std::uint8_t>{} : found->second;
}

} // namespace sim
