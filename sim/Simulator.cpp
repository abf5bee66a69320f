#include "sim/Simulator.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <thread>

#include <usb.h>

#include "sim/DemoConfig.h"

namespace sim {

namespace {
constexpr std::uint16_t ControllerVendor = 0x0451;
constexpr std::uint16_t ControllerProduct = 0x9001;
constexpr int ControllerInterface = 0;
constexpr int NoHandle = 0;

// A device the library can open while it scans the bus, so that it is listed.
bool listable(const SimDevice& device)
{
    return !device.controller
        || (device.controller->connected() && !device.controller->faults.openFails);
}

// The reply as the kernel stores it in the terminal's buffer: what fits. A reply longer than the
// buffer is a babble: the buffer is filled, the rest is lost, the transfer ends with EOVERFLOW.
void store(const std::vector<std::uint8_t>& reply, std::uint8_t* buffer, int size,
           Transfer& transfer)
{
    const std::size_t stored = std::min(reply.size(), static_cast<std::size_t>(std::max(size, 0)));
    std::copy_n(reply.begin(), stored, buffer);
    transfer.bytes.assign(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(stored));
    transfer.result = static_cast<int>(stored);
    transfer.overflow = static_cast<int>(reply.size() - stored);
}

void fillDescriptor(usb_device_descriptor& descriptor, const UsbDeviceLayout& layout)
{
    const std::vector<std::uint8_t> bytes = deviceDescriptor(layout);
    const auto word = [&bytes](int at) {
        return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
    };
    descriptor.bLength = bytes[0];
    descriptor.bDescriptorType = bytes[1];
    descriptor.bcdUSB = word(2);
    descriptor.bDeviceClass = bytes[4];
    descriptor.bDeviceSubClass = bytes[5];
    descriptor.bDeviceProtocol = bytes[6];
    descriptor.bMaxPacketSize0 = bytes[7];
    descriptor.idVendor = word(8);
    descriptor.idProduct = word(10);
    descriptor.bcdDevice = word(12);
    descriptor.iManufacturer = bytes[14];
    descriptor.iProduct = bytes[15];
    descriptor.iSerialNumber = bytes[16];
    descriptor.bNumConfigurations = bytes[17];
}
}

UsbDeviceLayout SimDevice::layout() const
{
    return controller ? controllerLayout() : otherDeviceLayout(vendor, product);
}

struct Simulator::State {
    std::vector<std::vector<SimDevice>> topology;
    int nextDeviceId = 1;
    // The libusb view, as the enumerations left it.
    struct ListedBus {
        int index = 0; // in the topology
        std::unique_ptr<usb_bus> bus;
        std::vector<std::unique_ptr<struct usb_device>> devices;
    };
    std::vector<ListedBus> listed;
    std::map<const struct usb_device*, int> deviceIds;
    struct Handle {
        int deviceId = 0;
        bool claimed = false;
    };
    std::map<int, Handle> handles;
    int nextHandle = 1;
    int enumerations = 0;
    std::vector<Transfer> traffic;
    std::function<void()> topologyObserver;
    std::function<void(const Transfer&)> trafficObserver;

    const SimDevice* device(int id) const
    {
        for (const auto& bus : topology)
            for (const SimDevice& device : bus)
                if (device.id == id)
                    return &device;
        return nullptr;
    }
    const SimDevice* deviceOf(int handle) const
    {
        const auto found = handles.find(handle);
        return found == handles.end() ? nullptr : device(found->second.deviceId);
    }
    std::shared_ptr<SimController> controllerOf(int handle) const
    {
        const SimDevice* owner = deviceOf(handle);
        return owner ? owner->controller : nullptr;
    }
    // Whether a handle of the device other than the given one holds its interface; handle 0
    // asks about every handle.
    bool claimedElsewhere(int deviceId, int handle) const
    {
        return std::any_of(handles.begin(), handles.end(), [&](const auto& entry) {
            return entry.first != handle && entry.second.deviceId == deviceId
                && entry.second.claimed;
        });
    }

    ListedBus makeBus(int index) const
    {
        ListedBus listedBus{index, std::make_unique<usb_bus>(), {}};
        std::memset(listedBus.bus.get(), 0, sizeof(usb_bus));
        std::snprintf(listedBus.bus->dirname, sizeof listedBus.bus->dirname, "%03d", index + 1);
        listedBus.bus->location = static_cast<std::uint32_t>(index + 1);
        return listedBus;
    }
    std::unique_ptr<struct usb_device> makeDevice(const SimDevice& simDevice, usb_bus* bus)
    {
        auto device = std::make_unique<struct usb_device>();
        std::memset(device.get(), 0, sizeof(struct usb_device));
        std::snprintf(device->filename, sizeof device->filename, "%03d", simDevice.id);
        device->bus = bus;
        device->devnum = static_cast<std::uint8_t>(simDevice.id);
        fillDescriptor(device->descriptor, simDevice.layout());
        deviceIds[device.get()] = simDevice.id;
        return device;
    }
    void forgetDevices(ListedBus& listedBus)
    {
        for (const auto& device : listedBus.devices)
            deviceIds.erase(device.get());
        listedBus.devices.clear();
    }
    // Known devices that left the bus leave the list; new ones go in front, in bus order.
    void rescan(ListedBus& listedBus)
    {
        std::vector<const SimDevice*> present;
        if (listedBus.index < static_cast<int>(topology.size()))
            for (const SimDevice& device : topology[listedBus.index])
                if (listable(device))
                    present.push_back(&device);
        const auto isPresent = [&](int id) {
            return std::any_of(present.begin(), present.end(),
                               [id](const SimDevice* device) { return device->id == id; });
        };
        std::erase_if(listedBus.devices, [&](const std::unique_ptr<struct usb_device>& device) {
            const bool gone = !isPresent(deviceIds.at(device.get()));
            if (gone)
                deviceIds.erase(device.get());
            return gone;
        });
        const auto isListed = [&](int id) {
            return std::any_of(listedBus.devices.begin(), listedBus.devices.end(),
                               [&](const auto& device) { return deviceIds.at(device.get()) == id; });
        };
        std::vector<std::unique_ptr<struct usb_device>> fresh;
        for (const SimDevice* device : present)
            if (!isListed(device->id))
                fresh.push_back(makeDevice(*device, listedBus.bus.get()));
        listedBus.devices.insert(listedBus.devices.begin(), std::make_move_iterator(fresh.begin()),
                                 std::make_move_iterator(fresh.end()));
    }
    void relink()
    {
        usb_bus* previousBus = nullptr;
        for (ListedBus& listedBus : listed) {
            usb_bus* bus = listedBus.bus.get();
            bus->prev = previousBus;
            bus->next = nullptr;
            if (previousBus)
                previousBus->next = bus;
            previousBus = bus;
            struct usb_device* previousDevice = nullptr;
            bus->devices = listedBus.devices.empty() ? nullptr : listedBus.devices.front().get();
            for (const auto& entry : listedBus.devices) {
                struct usb_device* device = entry.get();
                device->prev = previousDevice;
                device->next = nullptr;
                if (previousDevice)
                    previousDevice->next = device;
                previousDevice = device;
            }
        }
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
    state_->trafficObserver = nullptr;
    state_->enumerations = 0;
}

void Simulator::clear()
{
    std::lock_guard lock(mutex_);
    state_->topology.clear();
    topologyChanged();
}

int Simulator::addBus()
{
    std::lock_guard lock(mutex_);
    state_->topology.emplace_back();
    topologyChanged();
    return static_cast<int>(state_->topology.size()) - 1;
}

std::shared_ptr<SimController> Simulator::addController(int bus, ControllerSettings settings)
{
    std::lock_guard lock(mutex_);
    auto controller = std::make_shared<SimController>(settings);
    fillDemoConfiguration(*controller);
    state_->topology.at(bus).push_back(
        {ControllerVendor, ControllerProduct, controller, state_->nextDeviceId++});
    topologyChanged();
    return controller;
}

void Simulator::addOtherDevice(int bus, std::uint16_t vendor, std::uint16_t product)
{
    std::lock_guard lock(mutex_);
    state_->topology.at(bus).push_back({vendor, product, nullptr, state_->nextDeviceId++});
    topologyChanged();
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

std::vector<std::vector<SimDevice>> Simulator::topology() const
{
    std::lock_guard lock(mutex_);
    return state_->topology;
}

void Simulator::setTopologyObserver(std::function<void()> observer)
{
    std::lock_guard lock(mutex_);
    state_->topologyObserver = std::move(observer);
}

void Simulator::topologyChanged()
{
    if (state_->topologyObserver)
        state_->topologyObserver();
}

bool Simulator::attached(int deviceId) const
{
    std::lock_guard lock(mutex_);
    const SimDevice* device = state_->device(deviceId);
    return device && (!device->controller || device->controller->connected());
}

void Simulator::forEachController(const std::function<void(SimController&)>& change)
{
    std::lock_guard lock(mutex_);
    for (const auto& bus : state_->topology)
        for (const SimDevice& device : bus)
            if (device.controller)
                change(*device.controller);
}

std::vector<Transfer> Simulator::traffic() const
{
    std::lock_guard lock(mutex_);
    return state_->traffic;
}

std::vector<Transfer> Simulator::trafficFrom(std::size_t from) const
{
    std::lock_guard lock(mutex_);
    const auto& traffic = state_->traffic;
    if (from >= traffic.size())
        return {};
    return {traffic.begin() + static_cast<std::ptrdiff_t>(from), traffic.end()};
}

std::size_t Simulator::trafficCount() const
{
    std::lock_guard lock(mutex_);
    return state_->traffic.size();
}

void Simulator::setTrafficObserver(std::function<void(const Transfer&)> observer)
{
    std::lock_guard lock(mutex_);
    state_->trafficObserver = std::move(observer);
}

void Simulator::record(const Transfer& transfer)
{
    state_->traffic.push_back(transfer);
    if (state_->trafficObserver)
        state_->trafficObserver(transfer);
}

void Simulator::waitLatency(int handle)
{
    std::chrono::microseconds latency{0};
    {
        std::lock_guard lock(mutex_);
        if (const auto controller = state_->controllerOf(handle))
            latency = controller->faults.latency;
    }
    if (latency.count() > 0)
        std::this_thread::sleep_for(latency);
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
    std::lock_guard lock(mutex_);
    State& state = *state_;
    const int count = static_cast<int>(state.topology.size());
    std::erase_if(state.listed, [&](State::ListedBus& listedBus) {
        const bool gone = listedBus.index >= count;
        if (gone)
            state.forgetDevices(listedBus);
        return gone;
    });
    std::vector<State::ListedBus> fresh;
    for (int index = 0; index < count; ++index)
        if (std::none_of(state.listed.begin(), state.listed.end(),
                         [index](const State::ListedBus& b) { return b.index == index; }))
            fresh.push_back(state.makeBus(index));
    state.listed.insert(state.listed.begin(), std::make_move_iterator(fresh.begin()),
                        std::make_move_iterator(fresh.end()));
    state.relink();
}

int Simulator::enumerationCount() const
{
    std::lock_guard lock(mutex_);
    return state_->enumerations;
}

void Simulator::findDevices()
{
    std::lock_guard lock(mutex_);
    ++state_->enumerations;
    for (State::ListedBus& listedBus : state_->listed)
        state_->rescan(listedBus);
    state_->relink();
}

usb_bus* Simulator::busses()
{
    std::lock_guard lock(mutex_);
    return state_->listed.empty() ? nullptr : state_->listed.front().bus.get();
}

int Simulator::open(const struct usb_device* usbDevice)
{
    std::lock_guard lock(mutex_);
    const auto id = state_->deviceIds.find(usbDevice);
    return id == state_->deviceIds.end() ? 0 : openDevice(id->second);
}

int Simulator::openDevice(int deviceId)
{
    std::lock_guard lock(mutex_);
    const SimDevice* device = state_->device(deviceId);
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
    const SimDevice* device = state_->deviceOf(handle);
    const auto controller = state_->controllerOf(handle);
    if (!controller || !controller->connected())
        return UsbError::NoDevice;
    if (controller->faults.rightsDenied)
        return UsbError::NotPermitted;
    if (controller->faults.configurationRefused) {
        controller->faults.configurationRefused = !controller->faults.connectionFaultsOnce;
        return UsbError::Busy;
    }
    if (state_->claimedElsewhere(device->id, NoHandle))
        return UsbError::Busy;
    if (!findConfiguration(device->layout(), configuration))
        return UsbError::Invalid;
    controller->setConfiguration(configuration);
    return 0;
}

int Simulator::claimInterface(int handle, int interface)
{
    std::lock_guard lock(mutex_);
    const SimDevice* device = state_->deviceOf(handle);
    const auto controller = state_->controllerOf(handle);
    if (!controller || !controller->connected())
        return UsbError::NoDevice;
    if (controller->faults.rightsDenied)
        return UsbError::NotPermitted;
    if (interface != ControllerInterface
        || !findConfiguration(device->layout(), controller->configuration()))
        return UsbError::NoEntry;
    if (controller->faults.interfaceBusy) {
        controller->faults.interfaceBusy = !controller->faults.connectionFaultsOnce;
        return UsbError::Busy;
    }
    if (state_->claimedElsewhere(device->id, handle))
        return UsbError::Busy;
    state_->handles[handle].claimed = true;
    return 0;
}

int Simulator::releaseInterface(int handle, int /*interface*/)
{
    std::lock_guard lock(mutex_);
    const auto controller = state_->controllerOf(handle);
    if (!controller || !controller->connected())
        return UsbError::NoDevice;
    State::Handle& owner = state_->handles[handle];
    if (!owner.claimed)
        return UsbError::Invalid;
    owner.claimed = false;
    return 0;
}

int Simulator::bulkWrite(int handle, int endpoint, const char* bytes, int size, int timeout)
{
    waitLatency(handle);
    std::lock_guard lock(mutex_);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes);
    Transfer transfer{Transfer::Direction::Out, endpoint, {data, data + size}, size, timeout, 0};
    transfer.result = refusedTransfer(handle, endpoint);
    if (transfer.result == 0)
        transfer.result = state_->controllerOf(handle)->write(endpoint, data, size);
    record(transfer);
    return transfer.result;
}

ReadCompletion Simulator::bulkRead(int handle, int endpoint, char* bytes, int size, int timeout)
{
    std::lock_guard lock(mutex_);
    Transfer transfer{Transfer::Direction::In, endpoint, {}, size, timeout, 0};
    transfer.result = refusedTransfer(handle, endpoint);
    std::vector<std::uint8_t> reply;
    if (transfer.result == 0)
        transfer.result = state_->controllerOf(handle)->read(endpoint, reply);
    if (transfer.result == 0)
        store(reply, reinterpret_cast<std::uint8_t*>(bytes), size, transfer);
    record(transfer);
    return {transfer.result, transfer.overflow > 0};
}

// The kernel takes a transfer only to an endpoint of the current configuration, on an interface
// no other handle holds; it claims the interface for the handle if that has not.
int Simulator::refusedTransfer(int handle, int endpoint)
{
    const SimDevice* device = state_->deviceOf(handle);
    if (!device || !device->controller)
        return UsbError::NoDevice;
    if (!device->controller->connected())
        return 0; // the controller itself answers that it is gone
    if (!hasEndpoint(device->layout(), device->controller->configuration(), endpoint))
        return UsbError::NoEntry;
    if (state_->claimedElsewhere(device->id, handle))
        return UsbError::Busy;
    state_->handles[handle].claimed = true;
    return 0;
}

} // namespace sim
