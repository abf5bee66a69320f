#include "link/ConfigBlocks.h"

#include <algorithm>

int readBlockLength(int payloadCapacity, int remaining)
{
    return std::min(payloadCapacity, remaining);
}

int largestWriteBlock(int payloadCapacity)
{
    return payloadCapacity >= ConfigPageSize + 3 ? ConfigPageSize : payloadCapacity - 3;
}

int writeBlockLength(int largestBlock, int address, int remaining)
{
    int length = largestBlock;
    if (address % ConfigPageSize != 0)
        length = std::min(largestBlock, ConfigPageSize - address % ConfigPageSize);
    length = std::min(length, remaining);
    if (length < ConfigPageSize && length % 2 == 0)
        length -= 1;
    return length;
}
