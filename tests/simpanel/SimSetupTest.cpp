#include <gtest/gtest.h>

#include "simpanel/SimSetup.h"

using DieId = std::array<std::uint16_t, 4>;

// Each controller of a setup differs from the first by its number in the Die ID's last word, and
// only there.
TEST(SimSetup, EachControllerHasItsOwnDieId)
{
    const struct {
        DieId first;
        int index;
        DieId expected;
    } cases[] = {
        {{0x0001, 0x2345, 0x00AB, 0x0C00}, 0, {0x0001, 0x2345, 0x00AB, 0x0C00}},
        {{0x0001, 0x2345, 0x00AB, 0x0C00}, 1, {0x0001, 0x2345, 0x00AB, 0x0C01}},
        {{0x0001, 0x2345, 0x00AB, 0x0C00}, 7, {0x0001, 0x2345, 0x00AB, 0x0C07}},
        {{0x00FF, 0x1234, 0xABCD, 0xFFFF}, 1, {0x00FF, 0x1234, 0xABCD, 0x0000}},
    };
    for (const auto& c : cases) {
        simpanel::SimSetup setup;
        setup.settings.dieId = c.first;
        setup.settings.chipId = 0x0C0A;
        setup.settings.typeWord = 0x1721;
        const sim::ControllerSettings settings = simpanel::settingsOfController(setup, c.index);
        EXPECT_EQ(settings.dieId, c.expected) << c.index;
        EXPECT_EQ(settings.chipId, 0x0C0A);
        EXPECT_EQ(settings.typeWord, 0x1721);
        EXPECT_EQ(settings.capacity, simpanel::SimSetup::DemoCapacity);
    }
}
