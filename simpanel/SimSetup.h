#pragma once

#include <chrono>

#include <QString>

#include "sim/SimController.h"
#include "sim/TraceQueues.h"

namespace simpanel {

// What the demo program starts with: the bus, the controller on it and how it behaves.
struct SimSetup {
    int controllers = 1; // 0, 1 or 2 on the bus
    sim::ControllerSettings settings;
    std::chrono::microseconds latency{0};
    int traceRate = sim::TraceQueues::DemoRate;
    QString trafficFile; // empty: no traffic file
};

// Puts the bus of the setup in place of the simulator's: its controllers with their settings,
// latency and trace rate, each with a fresh demo configuration.
void applySetup(const SimSetup& setup);

} // namespace simpanel
