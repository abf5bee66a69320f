// The controller of the demo program: packets large enough for every reply, the 84-byte
// statistics reply included (the simulator's default of 64 payload bytes suits the tests of
// block transfers, not a running controller's counters).

#include "sim/Simulator.h"

namespace {
constexpr std::uint16_t DemoCapacity = 256;

const bool demoControllerReady = [] {
    if (const auto controller = sim::Simulator::instance().controller())
        controller->settings.capacity = DemoCapacity;
    return true;
}();
}
