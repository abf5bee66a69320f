#pragma once

namespace sim {

class SimController;

// Fills the controller's configuration memory with a plausible configuration for its model and
// edition, with a valid CRC word.
void fillDemoConfiguration(SimController& controller);

} // namespace sim
