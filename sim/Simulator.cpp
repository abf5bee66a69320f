#include "sim/Simulator.h"

#include <cstring>
#include <map>

#include <usb.h>

#include "sim/DemoConfig.h"

namespace sim {

namespace {
constexpr std::uint16_t ControllerVendor = 0x0451;
constexpr std::uint16_t ControllerProduct = 0x9001;
}

struct Simulator::State {
    std::vector<std::vector<SimDevice>> topology;
    int nextDeviceId = 1;
    // The libusb view of the last enumeration.
    std::vector<std::unique_ptr<usb_bus>> busList;
    std::vector<std::unique_ptr<struct usb_device>> deviceList;
    std::map<const struct usb_device*, int> deviceIds;
    struct Handle {
        int deviceId = 0;
        bool claimed = false;
    };
    std::map<int, Handle> handles;
    int nextHandle = 1;
    std::vector<Transfer> traffic;

    const SimDevice* device(int id) const
    {
        for (const auto& bus : topology)
            for (const SimDevice& device : bus)
                if (device.id == id)
                    return &device;
        return nullptr;
    }
    std::shared_ptr<SimController> controllerOf(int handle) const
    {
        const auto found = handles.find(handle);
        if (found == handles.end())
            return nullptr;
        const SimDevice* owner = device(found->second.deviceId);
        return owner ? owner->controller : nullptr;
    }
};

Simulator& Simulator::instance()
{
    static Simulator simulator;
    return simulator;
}

Simulator::Simulator()
    : state_(std::make_unique<State>())
{
    reset();
}

void Simulator::reset()
{
    std::lock_guard lock(mutex_);
    clear();
    addBus();
    addController(0);
    state_->traffic.clear();
}

void Simulator::clear()
{
    std::lock_guard lock(mutex_);
    state_->topology.clear();
}

int Simulator::addBus()
{
    std::lock_guard lock(mutex_);
    state_->topology.emplace_back();
    return static_cast<int>(state_->topology.size()) - 1;
}

std::shared_ptr<SimController> Simulator::addController(int bus, ControllerSettings settings)
{
    std::lock_guard lock(mutex_);
    auto controller = std::make_shared<SimController>(settings);
    fillDemoConfiguration(*controller);
    state_->topology.at(bus).push_back(
        {ControllerVendor, ControllerProduct, controller, state_->nextDeviceId++});
    return controller;
}

void Simulator::addOtherDevice(int bus, std::uint16_t vendor, std::uint16_t product)
{
    std::lock_guard lock(mutex_);
    state_->topology.at(bus).push_back({vendor, product, nullptr, state_->nextDeviceId++});
}

std::shared_ptr<SimController> Simulator::controller() const
{
    std::lock_guard lock(mutex_);
    for (const auto& bus : state_->topology)
        for (const SimDevice& device : bus)
            if (device.controller)
                return device.controller;
    return nullptr;
}

std::vector<Transfer> Simulator::traffic() const
{
    std::lock_guard lock(mutex_);
    return state_->traffic;
}

void Simulator::clearTraffic()
{
    std::lock_guard lock(mutex_);
    state_->traffic.clear();
}

int Simulator::openHandleCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(state_->handles.size());
}

void Simulator::findBusses()
{
}

// Takes a snapshot of the attached devices as libusb structures; a disconnected controller
// no longer appears.
void Simulator::findDevices()
{
    std::lock_guard lock(mutex_);
    State& state = *state_;
    state.busList.clear();
    state.deviceList.clear();
    state.deviceIds.clear();
    usb_bus* previousBus = nullptr;
    for (std::size_t b = 0; b < state.topology.size(); ++b) {
        auto bus = std::make_unique<usb_bus>();
        std::memset(bus.get(), 0, sizeof(usb_bus));
        std::snprintf(bus->dirname, sizeof bus->dirname, "%03zu", b + 1);
        struct usb_device* previousDevice = nullptr;
        for (const SimDevice& simDevice : state.topology[b]) {
            if (simDevice.controller && !simDevice.controller->connected())
                continue;
            auto device = std::make_unique<struct usb_device>();
            std::memset(device.get(), 0, sizeof(struct usb_device));
            device->descriptor.idVendor = simDevice.vendor;
            device->descriptor.idProduct = simDevice.product;
            device->bus = bus.get();
            device->prev = previousDevice;
            if (previousDevice)
                previousDevice->next = device.get();
            else
                bus->devices = device.get();
            previousDevice = device.get();
            state.deviceIds[device.get()] = simDevice.id;
            state.deviceList.push_back(std::move(device));
        }
        bus->prev = previousBus;
        if (previousBus)
            previousBus->next = bus.get();
        previousBus = bus.get();
        state.busList.push_back(std::move(bus));
    }
}

usb_bus* Simulator::busses()
{
    std::lock_guard lock(mutex_);
    return state_->busList.empty() ? nullptr : state_->busList.front().get();
}

int Simulator::open(const struct usb_device* usbDevice)
{
    std::lock_guard lock(mutex_);
    const auto id = state_->deviceIds.find(usbDevice);
    if (id == state_->deviceIds.end())
        return 0;
    const SimDevice* device = state_->device(id->second);
    if (!device || (device->controller
                    && (!device->controller->connected() || device->controller->faults.openFails)))
        return 0;
    const int handle = state_->nextHandle++;
    state_->handles[handle] = {device->id, false};
    return handle;
}

int Simulator::close(int handle)
{
    std::lock_guard lock(mutex_);
    return state_->handles.erase(handle) == 1 ? 0 : UsbError::NoDevice;
}

int Simulator::setConfiguration(int handle, int configuration)
{
    std::lock_guard lock(mutex_);
    const auto controller = state_->controllerOf(handle);
    if (!controller || !controller->connected())
        return UsbError::NoDevice;
    if (controller->faults.rightsDenied)
        return UsbError::NotPermitted;
    if (controller->faults.configurationRefused)
        return UsbError::Busy;
    controller->setConfiguration(configuration);
    return 0;
}

int Simulator::claimInterface(int handle, int /*interface*/)
{
    std::lock_guard lock(mutex_);
    const auto controller = state_->controllerOf(handle);
    if (!controller || !controller->connected())
        return UsbError::NoDevice;
    if (controller->faults.rightsDenied)
        return UsbError::NotPermitted;
    if (controller->faults.interfaceBusy)
        return UsbError::Busy;
    state_->handles[handle].claimed = true;
    return 0;
}

int Simulator::releaseInterface(int handle, int /*interface*/)
{
    std::lock_guard lock(mutex_);
    const auto found = state_->handles.find(handle);
    if (found == state_->handles.end() || !found->second.claimed)
        return UsbError::NoDevice;
    found->second.claimed = false;
    return 0;
}

int Simulator::bulkWrite(int handle, int endpoint, const char* bytes, int size, int timeout)
{
    std::lock_guard lock(mutex_);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes);
    Transfer transfer{Transfer::Direction::Out, endpoint, {data, data + size}, size, timeout, 0};
    const auto controller = state_->controllerOf(handle);
    transfer.result = controller ? controller->write(endpoint, data, size) : UsbError::NoDevice;
    state_->traffic.push_back(transfer);
    return transfer.result;
}

int Simulator::bulkRead(int handle, int endpoint, char* bytes, int size, int timeout)
{
    std::lock_guard lock(mutex_);
    Transfer transfer{Transfer::Direction::In, endpoint, {}, size, timeout, 0};
    const auto controller = state_->controllerOf(handle);
    transfer.result = controller
        ? controller->read(endpoint, reinterpret_cast<std::uint8_t*>(bytes), size, transfer.bytes)
        : UsbError::NoDevice;
    state_->traffic.push_back(transfer);
    return transfer.result;
}

} // namespace sim
