#include "sim/ConfigMemory.h"

namespace sim {

ConfigMemory::ConfigMemory()
{
    bytes_.fill(0xFF);
}

std::vector<std::uint8_t> ConfigMemory::read(int address, int count) const
{
    std::vector<std::uint8_t> result(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        result[i] = bytes_[(address + i) % Size];
    return result;
}

void ConfigMemory::write(int address, const std::uint8_t* data, int count)
{
    const int pageStart = (address % Size) - (address % PageSize);
    for (int i = 0; i < count; ++i) {
        const int at = pageStart + (address + i) % PageSize;
        const auto stuck = stuckCells.find(at);
        bytes_[at] = stuck != stuckCells.end() ? stuck->second : data[i];
    }
}

void ConfigMemory::fill(int address, const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes_[(address + i) % Size] = bytes[i];
}

} // namespace sim
