#include "simpanel/SimSetup.h"

#include "sim/Simulator.h"

namespace simpanel {

sim::ControllerSettings settingsOfController(const SimSetup& setup, int index)
{
    sim::ControllerSettings settings = setup.settings;
    settings.dieId.back() = static_cast<std::uint16_t>(settings.dieId.back() + index);
    return settings;
}

void applySetup(const SimSetup& setup)
{
    sim::Simulator& simulator = sim::Simulator::instance();
    simulator.clear();
    const int bus = simulator.addBus();
    for (int i = 0; i < setup.controllers; ++i) {
        const auto controller = simulator.addController(bus, settingsOfController(setup, i));
        controller->faults.latency = setup.latency;
        controller->devices().trace.setLiveRate(setup.traceRate);
        controller->devices().statistics.setActivity(setup.statisticsActivity);
        for (const Unplug& unplug : setup.unplugs)
            if (unplug.controller == i + 1)
                controller->faults.disconnectAtTransfer = unplug.before;
    }
}

} // namespace simpanel
