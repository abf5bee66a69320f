#pragma once

#include "sim/AudioParts.h"
#include "sim/BootLoader.h"
#include "sim/ConfigMemory.h"
#include "sim/SerialFlash.h"
#include "sim/TraceQueues.h"
#include "sim/StatisticsCounters.h"

namespace sim {

// The devices of the controller behind its USB side; tests read and set their state.
struct Devices {
    ConfigMemory configMemory;
    AudioCodec codec;
    AudioAmplifier amplifier;
    ParameterStore parameters;
    SerialFlash flash;
    BootLoader bootLoader;
    TraceQueues trace;
    StatisticsCounters statistics;
};

} // namespace sim
