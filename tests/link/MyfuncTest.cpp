#include <gtest/gtest.h>

#include <array>

#include "link/Myfunc.h"

TEST(SwapWordBytes, SwapsWholeWordsAndLeavesAnOddTrailingByteUntouched)
{
    const std::array<std::uint8_t, 5> source{0x01, 0x02, 0x03, 0x04, 0x05};
    std::array<std::uint8_t, 5> destination{0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
    SwapWordBytes(source.data(), destination.data(), 5);
    EXPECT_EQ(destination, (std::array<std::uint8_t, 5>{0x02, 0x01, 0x04, 0x03, 0xAA}));
}

TEST(SwapWordBytes, WorksInPlace)
{
    std::array<std::uint8_t, 4> bytes{0x12, 0x34, 0x56, 0x78};
    SwapWordBytes(bytes.data(), bytes.data(), 4);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 4>{0x34, 0x12, 0x78, 0x56}));
}

TEST(SwapWordBytes, CountsBelowTwoDoNothing)
{
    for (int count : {1, 0, -1, -8}) {
        const std::array<std::uint8_t, 2> source{0x01, 0x02};
        std::array<std::uint8_t, 2> destination{0xAA, 0xBB};
        SwapWordBytes(source.data(), destination.data(), count);
        EXPECT_EQ(destination, (std::array<std::uint8_t, 2>{0xAA, 0xBB})) << count;
    }
}
