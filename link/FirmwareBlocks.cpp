#include "link/FirmwareBlocks.h"

#include <algorithm>

std::array<std::uint8_t, 3> flashAddress(int address)
{
    return {static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
            static_cast<std::uint8_t>(address)};
}

int largestProgramBlock(int payloadCapacity)
{
    return payloadCapacity >= FlashPageSize + PageProgramOverhead
        ? FlashPageSize
        : payloadCapacity - PageProgramOverhead;
}

int programBlockLength(int largestBlock, int address, std::int64_t remaining)
{
    int length = largestBlock;
    if (address % FlashPageSize != 0)
        length = std::min(FlashPageSize - address % FlashPageSize, largestBlock);
    if (remaining < length)
        length = static_cast<int>(remaining);
    if (length < FlashPageSize && length % 2 == 0)
        length -= 1;
    return length;
}

int bootPieceLength(std::int64_t remaining)
{
    return static_cast<int>(std::min<std::int64_t>(BootPieceSize, remaining));
}

FlashSpan readableSpan(std::int64_t start, std::int64_t length)
{
    if (start < 0 || start > FlashProgramLimit)
        return {};
    return {start, std::clamp<std::int64_t>(length, 0, FlashProgramLimit - start)};
}

std::optional<FlashMismatch> firstMismatch(std::int64_t address,
                                           std::span<const std::uint8_t> expected,
                                           std::span<const std::uint8_t> actual)
{
    const std::size_t count = std::min(expected.size(), actual.size());
    const auto [wanted, found] =
        std::mismatch(expected.begin(), expected.begin() + count, actual.begin());
    if (wanted == expected.begin() + count)
        return std::nullopt;
    return FlashMismatch{address + (wanted - expected.begin()), *wanted, *found};
}
