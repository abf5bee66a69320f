#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/SimController.h"
#include "sim/Transfer.h"
#include "sim/UsbDescriptors.h"

struct usb_bus;
struct usb_device;

namespace sim {

// A bulk IN transfer as the kernel completes it.
struct ReadCompletion {
    int result = 0;          // bytes stored in the buffer, or a negative error number
    bool overflowed = false; // the reply was longer than the buffer: status EOVERFLOW
};

// One device on a simulated bus: a controller, or some other device with its own ids.
struct SimDevice {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::shared_ptr<SimController> controller; // null for other devices
    // Unique in the process; also the device's number and node name on its bus.
    int id = 0;

    UsbDeviceLayout layout() const;
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

    // Every bus with its devices, in the order they were attached.
    std::vector<std::vector<SimDevice>> topology() const;
    // Called after every change of busses or devices; sim/UsbfsBed.cpp mirrors them as device
    // nodes. It runs with the simulator locked.
    void setTopologyObserver(std::function<void()> observer);
    // A device is attached until it is removed or, for a controller, unplugged.
    bool attached(int deviceId) const;
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
    // Bus enumerations (usb_find_devices calls) since the last reset.
    int enumerationCount() const;

    // Entry points of the libusb functions (sim/SimUsb.cpp). The bus and device lists behave as
    // libusb 0.1 keeps them: a device it cannot open is not listed, busses and devices it knew
    // keep their place, and new ones go in front of them.
    void findBusses();
    void findDevices();
    usb_bus* busses();
    // Handles are numbers above 0; 0 means the device did not open.
    int open(const struct usb_device* device);
    int openDevice(int deviceId);
    // The requests below answer as the kernel's USB device interface does, with a negative
    // error number: an interface is claimed by one handle at a time, and no configuration can be
    // set while any handle holds it.
    int close(int handle);
    int setConfiguration(int handle, int configuration);
    int claimInterface(int handle, int interface);
    int releaseInterface(int handle, int interface);
    int bulkWrite(int handle, int endpoint, const char* bytes, int size, int timeout);
    ReadCompletion bulkRead(int handle, int endpoint, char* bytes, int size, int timeout);

private:
    Simulator();
    void topologyChanged();
    int refusedTransfer(int handle, int endpoint);
    void record(const Transfer& transfer);
    // Sleeps for the controller's latency without holding the lock, so the control interface
    // answers at once during a slow exchange.
    void waitLatency(int handle);
    struct State;
    std::unique_ptr<State> state_;
    mutable std::recursive_mutex mutex_;
};

} // namespace sim
