#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sim {

class Simulator;

// The simulated busses as the kernel shows them to the real USB library: a umockdev test bed
// with a node under /dev/bus/usb/BBB/DDD for every attached device (DDD is the device's id), whose
// read() returns the device's descriptors and whose usbfs requests the simulator answers. A bulk
// transfer is an URB: one the controller answers completes at once; one it leaves unanswered
// stays in flight until the library discards it. The nodes follow the simulator's busses and
// devices as they change, and an unplugged controller's node disappears.
//
// Requests are served on umockdev's own thread; this process, and any program the nodes are
// meant for, run with umockdev's preload library (umockdev-wrapper).
class UsbfsBed {
public:
    explicit UsbfsBed(Simulator& simulator);
    ~UsbfsBed();
    UsbfsBed(const UsbfsBed&) = delete;
    UsbfsBed& operator=(const UsbfsBed&) = delete;

    // Whether this process runs with umockdev's preload library.
    static bool preloaded();

    // Waits until every node this process closed is closed on the bed's side as well, so that
    // the simulator's handles and claims are those of the files still open.
    void settle();

    // The requests made on the nodes so far, e.g. "003 SETCONFIGURATION 2",
    // "003 CLAIMINTERFACE 0 EBUSY", "003 SUBMITURB 0x81 72", "003 REAPURB 0x81 72 EOVERFLOW" (an
    // URB reaped with that status), "003 DISCARDURB 0x81": every request but the polls that found
    // nothing to reap.
    std::vector<std::string> requests() const;
    void clearRequests();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace sim
