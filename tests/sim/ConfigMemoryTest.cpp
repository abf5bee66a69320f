#include <gtest/gtest.h>

#include "sim/ConfigMemory.h"

using Bytes = std::vector<std::uint8_t>;

// The simulated memory must wrap a page write like the real part, or a terminal that let a block
// cross a page boundary would pass its tests.
TEST(ConfigMemory, WriteWrapsInsideItsPage)
{
    sim::ConfigMemory memory;
    memory.fill(0, Bytes(128, 0x00));
    const Bytes data{1, 2, 3, 4, 5, 6};
    memory.write(62, data.data(), 6);
    EXPECT_EQ(memory.read(62, 2), (Bytes{1, 2}));
    EXPECT_EQ(memory.read(0, 4), (Bytes{3, 4, 5, 6}));
    EXPECT_EQ(memory.read(64, 4), (Bytes{0, 0, 0, 0}));
}

TEST(ConfigMemory, ReadRunsAcrossPagesAndWrapsAtTheEnd)
{
    sim::ConfigMemory memory;
    memory.fill(16382, Bytes{7, 8, 9, 10});
    EXPECT_EQ(memory.read(16382, 4), (Bytes{7, 8, 9, 10}));
    EXPECT_EQ(memory.read(0, 2), (Bytes{9, 10}));
}

TEST(ConfigMemory, NewMemoryIsErased)
{
    sim::ConfigMemory memory;
    EXPECT_EQ(memory.read(1000, 3), (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST(ConfigMemory, StuckCellsKeepTheirOwnValueWhateverIsWritten)
{
    sim::ConfigMemory memory;
    memory.stuckCells = {{70, 0x00}, {130, 0xA5}};
    const Bytes data{1, 2, 3};
    memory.write(69, data.data(), 3);
    EXPECT_EQ(memory.read(69, 3), (Bytes{1, 0x00, 3}));
    EXPECT_EQ(memory.read(130, 1), Bytes{0xFF}) << "untouched until a write reaches it";
    memory.fill(129, Bytes{7, 8});
    EXPECT_EQ(memory.read(129, 2), (Bytes{7, 8})) << "a fill sets the memory as delivered";
}
