#pragma once

#include <vector>

#include "sim/Transfer.h"

struct ReplayOutcome {
    double seconds = 0;
    // Transfers whose result differs from the recorded one: the bare loop did other work.
    int mismatches = 0;
};

// The same USB calls as a recorded task, with nothing of the terminal around them: find, open,
// configure and claim the controller, then every transfer as it was made, in order. The
// terminal must not hold the controller meanwhile, or every transfer is refused.
ReplayOutcome replayTransfers(const std::vector<sim::Transfer>& transfers);
