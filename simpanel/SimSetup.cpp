#include "simpanel/SimSetup.h"

#include "sim/Simulator.h"

namespace simpanel {

void applySetup(const SimSetup& setup)
{
    sim::Simulator& simulator = sim::Simulator::instance();
    simulator.clear();
    const int bus = simulator.addBus();
    for (int i = 0; i < setup.controllers; ++i) {
        const auto controller = simulator.addController(bus, setup.settings);
        controller->faults.latency = setup.latency;
        controller->devices().trace.setLiveRate(setup.traceRate);
        controller->devices().statistics.setActivity(setup.statisticsActivity);
    }
}

} // namespace simpanel
