#include "link/FirmwareBlocks.h"

#include <algorithm>

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
