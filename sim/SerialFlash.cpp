#include "sim/SerialFlash.h"

namespace sim {

namespace {
constexpr int AddressedSize = 4; // instruction code and a 24-bit address

int addressOf(const std::vector<std::uint8_t>& instruction)
{
    return ((instruction[1] << 16) | (instruction[2] << 8) | instruction[3]) % SerialFlash::Size;
}
}

SerialFlash::SerialFlash()
{
    bytes_.fill(0xFF);
}

std::uint8_t SerialFlash::status() const
{
    // The latch stays set until the cycle it started has ended.
    if (busyReads_ > 0)
        return BusyBit | LatchBit;
    return latch_ ? LatchBit : 0;
}

std::uint8_t SerialFlash::readStatus()
{
    const std::uint8_t value = status();
    if (busyReads_ > 0)
        --busyReads_;
    return value;
}

// A program or erase starts only with the latch set and the chip idle; starting clears the latch.
bool SerialFlash::takeWrite(int busyReads)
{
    if (!latch_)
        return false;
    latch_ = false;
    busyReads_ = busyReads;
    return true;
}

std::vector<std::uint8_t> SerialFlash::execute(const std::vector<std::uint8_t>& instruction,
                                               int readCount)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(readCount > 0 ? readCount : 0), 0xFF);
    if (instruction.empty())
        return out;
    const std::uint8_t code = instruction[0];
    if (code == ReadStatus) {
        const std::uint8_t value = readStatus();
        std::fill(out.begin(), out.end(), value);
        return out;
    }
    // While a cycle runs the chip takes nothing but status reads.
    bool taken = busyReads_ == 0;
    if (taken) {
        const bool addressed = instruction.size() >= AddressedSize;
        switch (code) {
        case WriteEnable:
            latch_ = true;
            break;
        case WriteDisable:
            latch_ = false;
            break;
        case ReadData:
            taken = addressed;
            if (taken)
                out = read(addressOf(instruction), readCount > 0 ? readCount : 0);
            break;
        case PageProgram:
            taken = instruction.size() > AddressedSize && takeWrite(programBusyReads);
            if (taken)
                program(addressOf(instruction), instruction.data() + AddressedSize,
                        static_cast<int>(instruction.size()) - AddressedSize);
            break;
        case ChipErase:
        case ChipEraseAlternative:
            taken = instruction.size() == 1 && takeWrite(eraseBusyReads);
            if (taken)
                bytes_.fill(0xFF);
            break;
        default:
            taken = false;
            break;
        }
    }
    if (!taken)
        ++ignored_;
    return out;
}

std::vector<std::uint8_t> SerialFlash::read(int address, int count) const
{
    std::vector<std::uint8_t> result(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        result[i] = bytes_[(address + i) % Size];
    return result;
}

// Only the last page's worth of data counts when more is sent; the address wraps to the start of
// its page, and programming can only clear bits.
void SerialFlash::program(int address, const std::uint8_t* data, int count)
{
    const int pageStart = address - address % PageSize;
    int offset = address % PageSize;
    if (count > PageSize) {
        offset = (offset + count - PageSize) % PageSize;
        data += count - PageSize;
        count = PageSize;
    }
    for (int i = 0; i < count; ++i) {
        const int at = pageStart + (offset + i) % PageSize;
        const auto worn = wornCells.find(at);
        bytes_[at] = worn != wornCells.end() ? worn->second : bytes_[at] & data[i];
    }
}

void SerialFlash::preload(int address, const std::vector<std::uint8_t>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes_[(address + i) % Size] = bytes[i];
}

} // namespace sim
