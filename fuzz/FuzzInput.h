#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Reads a fuzzer's input front to back; past its end every read gives zeros or nothing.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }

    std::size_t remaining() const { return size_ - position_; }

    std::uint8_t byte()
    {
        return remaining() > 0 ? data_[position_++] : 0;
    }

    std::uint16_t le16()
    {
        const std::uint16_t low = byte();
        return static_cast<std::uint16_t>(low | (byte() << 8));
    }

    // Up to count bytes: fewer when the input ends first.
    std::vector<std::uint8_t> bytes(std::size_t count)
    {
        const std::size_t taken = std::min(count, remaining());
        std::vector<std::uint8_t> result(data_ + position_, data_ + position_ + taken);
        position_ += taken;
        return result;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};
