#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/SimController.h"
#include "sim/Transfer.h"

struct usb_bus;
struct usb_device;

namespace sim {

// One device on a simulated bus: a controller, or some other device with its own ids.
struct SimDevice {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::shared_ptr<SimController> controller; // null for other devices
    int id = 0;
};

// The simulated USB world behind the libusb 0.1 functions: busses, devices, open handles and a
// record of every transfer. One instance per process; tests reset it. Thread-safe.
class Simulator {
public:
    static Simulator& instance();

    // Back to one bus with one R-420ZA controller, no faults, an empty traffic record.
    void reset();
    // Removes every bus and device.
    void clear();
    int addBus();
    std::shared_ptr<SimController> addController(int bus, ControllerSettings settings = {});
    void addOtherDevice(int bus, std::uint16_t vendor, std::uint16_t product);
    // The first controller of the topology, or null.
    std::shared_ptr<SimController> controller() const;

    // Runs a change on every controller under the simulator's lock, so settings and faults can
    // change while the terminal's worker talks to the controllers.
    void forEachController(const std::function<void(SimController&)>& change);

    std::vector<Transfer> traffic() const;
    // The record from transfer number `from` on, and its length: a viewer takes only what is new.
    std::vector<Transfer> trafficFrom(std::size_t from) const;
    std::size_t trafficCount() const;
    void clearTraffic();
    // Called with each transfer as it is recorded, under the simulator's lock; empty to stop.
    void setTrafficObserver(std::function<void(const Transfer&)> observer);
    int openHandleCount() const;

    // Entry points of the libusb functions (sim/SimUsb.cpp).
    void findBusses();
    void findDevices();
    usb_bus* busses();
    // Handles are numbers above 0; 0 means the device did not open.
    int open(const struct usb_device* device);
    int close(int handle);
    int setConfiguration(int handle, int configuration);
    int claimInterface(int handle, int interface);
    int releaseInterface(int handle, int interface);
    int bulkWrite(int handle, int endpoint, const char* bytes, int size, int timeout);
    int bulkRead(int handle, int endpoint, char* bytes, int size, int timeout);

private:
    Simulator();
    void record(const Transfer& transfer);
    // Sleeps for the controller's latency without holding the lock, so the control interface
    // answers at once during a slow exchange.
    void waitLatency(int handle);
    struct State;
    std::unique_ptr<State> state_;
    mutable std::recursive_mutex mutex_;
};

} // namespace sim
