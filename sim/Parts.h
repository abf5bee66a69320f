#pragma once

namespace sim {

class SimController;

// Connects the controller's devices (configuration memory, and the parts added over time) to the
// commands they answer.
void installParts(SimController& controller);

} // namespace sim
