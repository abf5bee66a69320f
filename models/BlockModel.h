#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/Myfunc.h"
#include "models/EditorModel.h"

// How a working copy holds the block's 16-bit words. The record keeps every word most significant
// byte first; blocks of chip commands are kept as they are, blocks of values in host order.
enum class WordOrder {
    AsStored,
    Host,
};

// The part every editor model shares: the pointer to its block inside the main window's record
// and the working copy. The block stays valid while the editor is open, because the main window
// closes its child windows before it replaces or drops the record.
template <std::size_t Size>
class BlockModel : public EditorModel {
public:
    static constexpr int BlockSize = static_cast<int>(Size);
    using Bytes = std::array<std::uint8_t, Size>;

    BlockModel(std::uint8_t* block, WordOrder order)
        : block_(block)
        , order_(order)
    {
    }

    void save() const override { toRecordOrder(block_); }

    // The whole working copy in record byte order.
    int payloadSize() const override { return BlockSize; }
    void writePayload(std::uint8_t* destination) const override { toRecordOrder(destination); }
    void setPending(int) override {}

    const Bytes& workingCopy() const { return copy_; }

protected:
    void copyIn()
    {
        if (order_ == WordOrder::Host)
            SwapWordBytes(block_, copy_.data(), BlockSize);
        else
            std::copy_n(block_, Size, copy_.begin());
    }

    Bytes copy_{};

private:
    void toRecordOrder(std::uint8_t* destination) const
    {
        if (order_ == WordOrder::Host)
            SwapWordBytes(copy_.data(), destination, BlockSize);
        else
            std::copy_n(copy_.begin(), Size, destination);
    }

    std::uint8_t* block_;
    WordOrder order_;
};
