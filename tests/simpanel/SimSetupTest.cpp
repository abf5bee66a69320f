#include <gtest/gtest.h>

#include "sim/Simulator.h"
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

// An unplugged controller answers its first transfers, then is gone from the bus as the chosen
// one begins; the others stay.
TEST(SimSetup, UnpluggedControllerGoesAtItsTransfer)
{
    simpanel::SimSetup setup;
    setup.controllers = 3;
    setup.unplugs = {{2, 3}, {3, 0}};
    simpanel::applySetup(setup);
    const std::vector<sim::SimDevice> bus = sim::Simulator::instance().topology().at(0);
    ASSERT_EQ(bus.size(), 3u);
    const std::uint8_t probe[] = {0, 0, 0x40, 0};
    const struct {
        int controller;
        std::vector<int> results;
    } cases[] = {
        {1, {4, 4, 4, 4, 4}},
        {2, {4, 4, 4, sim::UsbError::NoDevice, sim::UsbError::NoDevice}},
        {3, {sim::UsbError::NoDevice, sim::UsbError::NoDevice, sim::UsbError::NoDevice,
             sim::UsbError::NoDevice, sim::UsbError::NoDevice}},
    };
    for (const auto& c : cases) {
        sim::SimController& controller = *bus.at(static_cast<std::size_t>(c.controller - 1)).controller;
        std::vector<int> results;
        for (std::size_t i = 0; i < c.results.size(); ++i)
            results.push_back(controller.write(1, probe, sizeof probe));
        EXPECT_EQ(results, c.results) << c.controller;
        EXPECT_EQ(controller.connected(), c.results.back() > 0) << c.controller;
    }
    sim::Simulator::instance().reset();
}
