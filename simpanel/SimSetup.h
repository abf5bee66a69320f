#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include <QString>

#include "sim/SimController.h"
#include "sim/StatisticsCounters.h"
#include "sim/TraceQueues.h"

namespace simpanel {

// A controller pulled out of the bus in the middle of a run: transfers 0 to before-1 to it go
// through, and it is gone as transfer number `before` (counted over every program that talks to
// it) begins.
struct Unplug {
    int controller = 1; // from 1, in the order of the bus
    int before = 0;

    bool operator==(const Unplug&) const = default;
};

// What the demo program and the emulated USB bed start with: the bus, the controllers on it and
// how they behave.
struct SimSetup {
    // Packets large enough for every reply, the 84-byte statistics reply included (the
    // simulator's default of 64 payload bytes suits the tests of block transfers).
    static constexpr std::uint16_t DemoCapacity = 256;
    static constexpr int MaxControllers = 8;

    int controllers = 1; // 0 to MaxControllers on the bus
    sim::ControllerSettings settings{.capacity = DemoCapacity};
    std::chrono::microseconds latency{0};
    int traceRate = sim::TraceQueues::DemoRate;
    int statisticsActivity = sim::StatisticsCounters::DemoActivity; // percent of one call
    QString trafficFile; // empty: no traffic file
    std::vector<Unplug> unplugs;
};

// Controller number `index` (from 0) of the setup: its settings, with a Die ID of its own. The
// first keeps the Die ID given; each next one adds 1 to the last word (modulo 0x10000), so every
// controller on the bus can be told apart by its Die ID.
sim::ControllerSettings settingsOfController(const SimSetup& setup, int index);

// Puts the bus of the setup in place of the simulator's: its controllers with their settings,
// latency, trace rate and statistics activity, each with a fresh demo configuration.
void applySetup(const SimSetup& setup);

} // namespace simpanel
