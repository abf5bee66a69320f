#pragma once

namespace sim {
class SimController;
}

namespace simpanel {

// The faults a person can arm on the simulated controller.
enum class FaultKind {
    TimedOut,          // the transfer times out
    UsbFailure,        // the USB library reports an I/O error
    ShortReply,        // the reply comes with half its bytes
    WrongReplyCode,    // the reply's code is not the request's
    ConfigurationRefused,
    InterfaceBusy,
    UnplugAfter,       // the controller is pulled out after a number of exchanges
};

enum class FaultScope { NextExchange, EveryExchange };

struct FaultChoice {
    FaultKind kind = FaultKind::TimedOut;
    FaultScope scope = FaultScope::NextExchange;
    int exchanges = 1; // for UnplugAfter
};

// Arms the fault on the controller, counted from its present transfer and exchange.
// A connection fault armed for the next exchange holds for the next connection attempt.
void armFault(sim::SimController& controller, const FaultChoice& choice);
// Takes back every armed fault; the latency stays.
void clearFaults(sim::SimController& controller);

} // namespace simpanel
