#include <gtest/gtest.h>

#include "link/ConfigBlocks.h"

namespace {
// The (address, length) of every write block for a total and a payload capacity.
std::vector<std::pair<int, int>> writeBlocks(int total, int capacity)
{
    std::vector<std::pair<int, int>> blocks;
    const int largest = largestWriteBlock(capacity);
    for (int address = 0; address < total;) {
        const int length = writeBlockLength(largest, address, total - address);
        blocks.emplace_back(address, length);
        address += length;
    }
    return blocks;
}
}

TEST(ConfigBlocks, WriteBlocksForTheTwoExtents)
{
    using Blocks = std::vector<std::pair<int, int>>;
    EXPECT_EQ(writeBlocks(200, 67), (Blocks{{0, 64}, {64, 64}, {128, 64}, {192, 7}, {199, 1}}));
    EXPECT_EQ(writeBlocks(200, 0xFFFF), writeBlocks(200, 67));
    EXPECT_EQ(writeBlocks(110, 64 + 3), (Blocks{{0, 64}, {64, 45}, {109, 1}}));
}

TEST(ConfigBlocks, SmallCapacityNeverCrossesAPage)
{
    const auto blocks = writeBlocks(200, 40);
    ASSERT_GE(blocks.size(), 5u);
    const std::vector<int> starts{blocks[0].first, blocks[1].first, blocks[2].first,
                                  blocks[3].first, blocks[4].first};
    EXPECT_EQ(starts, (std::vector<int>{0, 37, 64, 101, 128}));
    for (int capacity = 12; capacity <= 80; ++capacity)
        for (const auto& [address, length] : writeBlocks(200, capacity)) {
            EXPECT_GT(length, 0);
            EXPECT_LE(length, capacity - 2) << capacity;
            EXPECT_EQ(address / 64, (address + length - 1) / 64) << capacity << " at " << address;
        }
}

TEST(ConfigBlocks, ReadBlocksTakeTheCapacityUpToWhatRemains)
{
    EXPECT_EQ(readBlockLength(64, 200), 64);
    EXPECT_EQ(readBlockLength(64, 8), 8);
    EXPECT_EQ(readBlockLength(0xFFFF, 200), 200);
}
