#pragma once

#include <chrono>

#include <QString>

#include "sim/SimController.h"
#include "sim/StatisticsCounters.h"
#include "sim/TraceQueues.h"

namespace simpanel {

// What the demo program starts with: the bus, the controller on it and how it behaves.
struct SimSetup {
    // Packets large enough for every reply, the 84-byte statistics reply included (the
    // simulator's default of 64 payload bytes suits the tests of block transfers).
    static constexpr std::uint16_t DemoCapacity = 256;

    int controllers = 1; // 0, 1 or 2 on the bus
    sim::ControllerSettings settings{.capacity = DemoCapacity};
    std::chrono::microseconds latency{0};
    int traceRate = sim::TraceQueues::DemoRate;
    int statisticsActivity = sim::StatisticsCounters::DemoActivity; // percent of one call
    QString trafficFile; // empty: no traffic file
};

// Puts the bus of the setup in place of the simulator's: its controllers with their settings,
// latency, trace rate and statistics activity, each with a fresh demo configuration.
void applySetup(const SimSetup& setup);

} // namespace simpanel
