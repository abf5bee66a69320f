#include "sim/UsbfsBed.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <linux/usbdevice_fs.h>

#include <glib/gstdio.h>
#include <umockdev.h>

#include "sim/Simulator.h"

namespace sim {

namespace {
constexpr const char* SettleNode = "/dev/r4xx-usbfs-settle";
constexpr unsigned long SettleRequest = _IO('R', 0x4B);
constexpr int BulkUrb = USBDEVFS_URB_TYPE_BULK;
constexpr int UnlinkedStatus = -ECONNRESET;

std::string busDirectory(int bus)
{
    char name[16];
    std::snprintf(name, sizeof name, "%03d", bus + 1);
    return name;
}

std::string deviceName(int id)
{
    char name[16];
    std::snprintf(name, sizeof name, "%03d", id);
    return name;
}

std::string errorName(int error)
{
    const char* name = strerrorname_np(error);
    return name ? name : std::to_string(error);
}

// A reference to umockdev's view of client memory, released with the holder.
struct DataRef {
    UMockdevIoctlData* data = nullptr;
    explicit DataRef(UMockdevIoctlData* held = nullptr) : data(held) {}
    DataRef(const DataRef&) = delete;
    DataRef& operator=(const DataRef&) = delete;
    DataRef(DataRef&& other) noexcept : data(other.data) { other.data = nullptr; }
    DataRef& operator=(DataRef&& other) noexcept
    {
        std::swap(data, other.data);
        return *this;
    }
    ~DataRef()
    {
        if (data)
            g_object_unref(data);
    }
    explicit operator bool() const { return data != nullptr; }
};

DataRef resolve(UMockdevIoctlData* data, std::size_t offset, std::size_t length)
{
    return DataRef(umockdev_ioctl_data_resolve(data, offset, length, nullptr));
}

usbdevfs_urb& urbOf(const DataRef& ref)
{
    return *static_cast<usbdevfs_urb*>(static_cast<void*>(ref.data->data));
}

// Lets umockdev's thread finish what it has received before a request is answered: above all the
// closing of files, which releases their handles and claims.
void drainPendingEvents()
{
    GMainContext* context = g_main_context_get_thread_default();
    while (g_main_context_iteration(context, FALSE)) {
    }
}
}

struct UsbfsBed::State {
    Simulator& simulator;
    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;
    std::string root;

    struct Node {
        std::string devnode;
        std::string syspath;
        UsbDeviceLayout layout;
    };
    // Each open file of a node: the simulator's handle and the file's URBs.
    struct Client {
        int deviceId = 0;
        int handle = 0;
        std::size_t readOffset = 0;
        std::deque<DataRef> completed;
        std::vector<DataRef> inFlight;
    };

    // Requests are answered on umockdev's thread, which never holds the mutex while it asks the
    // simulator, so that the topology observer (called with the simulator locked) may take it.
    mutable std::mutex mutex;
    std::map<int, Node> nodes; // by device id
    std::map<UMockdevIoctlClient*, Client> clients;
    std::set<int> busses;
    std::vector<std::string> log;

    explicit State(Simulator& owner) : simulator(owner) {}

    void record(int deviceId, const std::string& text)
    {
        std::lock_guard lock(mutex);
        log.push_back(deviceName(deviceId) + " " + text);
    }

    std::optional<int> deviceOfNode(const std::string& devnode) const
    {
        for (const auto& [id, node] : nodes)
            if (node.devnode == devnode)
                return id;
        return std::nullopt;
    }

    // --- topology ---------------------------------------------------------------------------

    void sync()
    {
        const auto topology = simulator.topology();
        std::map<int, std::pair<int, const SimDevice*>> wanted;
        for (int bus = 0; bus < static_cast<int>(topology.size()); ++bus)
            for (const SimDevice& device : topology[bus])
                if (!device.controller || device.controller->connected())
                    wanted[device.id] = {bus, &device};
        std::lock_guard lock(mutex);
        for (auto node = nodes.begin(); node != nodes.end();) {
            if (wanted.count(node->first)) {
                ++node;
                continue;
            }
            removeNode(node->second);
            node = nodes.erase(node);
        }
        syncBusDirectories(static_cast<int>(topology.size()));
        for (const auto& [id, placed] : wanted)
            if (!nodes.count(id))
                addNode(placed.first, *placed.second);
    }

    void syncBusDirectories(int count)
    {
        for (auto bus = busses.begin(); bus != busses.end();) {
            if (*bus < count) {
                ++bus;
                continue;
            }
            g_rmdir((root + "/dev/bus/usb/" + busDirectory(*bus)).c_str());
            bus = busses.erase(bus);
        }
        for (int bus = 0; bus < count; ++bus)
            if (busses.insert(bus).second)
                g_mkdir_with_parents((root + "/dev/bus/usb/" + busDirectory(bus)).c_str(), 0755);
        if (count == 0) {
            g_rmdir((root + "/dev/bus/usb").c_str());
            g_rmdir((root + "/dev/bus").c_str());
        }
    }

    void addNode(int bus, const SimDevice& device)
    {
        const std::string busName = busDirectory(bus);
        const std::string name = deviceName(device.id);
        Node node{"/dev/bus/usb/" + busName + "/" + name, {}, device.layout()};
        umockdev_testbed_attach_ioctl(testbed, node.devnode.c_str(), handler, nullptr);
        char vendor[8];
        char product[8];
        std::snprintf(vendor, sizeof vendor, "%04x", device.vendor);
        std::snprintf(product, sizeof product, "%04x", device.product);
        const std::string description = "P: /devices/usb" + std::to_string(bus + 1) + "/"
            + std::to_string(bus + 1) + "-" + std::to_string(device.id) + "\n"
            + "N: bus/usb/" + busName + "/" + name + "\n"
            + "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
            + "E: DEVNAME=" + node.devnode + "\n"
            + "E: BUSNUM=" + busName + "\nE: DEVNUM=" + name + "\n"
            + "A: idVendor=" + vendor + "\\n\nA: idProduct=" + product + "\\n\n"
            + "A: busnum=" + std::to_string(bus + 1) + "\\n\n"
            + "A: devnum=" + std::to_string(device.id) + "\\n\n";
        umockdev_testbed_add_from_string(testbed, description.c_str(), nullptr);
        node.syspath = "/sys/devices/usb" + std::to_string(bus + 1) + "/" + std::to_string(bus + 1)
            + "-" + std::to_string(device.id);
        nodes[device.id] = std::move(node);
    }

    void removeNode(const Node& node)
    {
        umockdev_testbed_detach_ioctl(testbed, node.devnode.c_str(), nullptr);
        umockdev_testbed_remove_device(testbed, node.syspath.c_str());
        g_unlink((root + node.devnode).c_str());
    }

    // An unplugged controller's node goes, as the kernel removes it; open files of it stay, and
    // the simulator answers them that the device is gone.
    void dropIfUnplugged(int deviceId)
    {
        if (simulator.attached(deviceId))
            return;
        std::lock_guard lock(mutex);
        const auto node = nodes.find(deviceId);
        if (node != nodes.end())
            g_unlink((root + node->second.devnode).c_str());
    }

    // --- files ------------------------------------------------------------------------------

    void connected(UMockdevIoctlClient* client)
    {
        std::optional<int> deviceId;
        {
            std::lock_guard lock(mutex);
            deviceId = deviceOfNode(umockdev_ioctl_client_get_devnode(client));
        }
        if (!deviceId)
            return;
        const int handle = simulator.openDevice(*deviceId);
        g_object_ref(client);
        std::lock_guard lock(mutex);
        clients[client] = Client{*deviceId, handle, 0, {}, {}};
    }

    // A closed file gives back its handle, and with it its claim. umockdev marks the file closed
    // without a signal, so the files are looked at before each request.
    void sweepClosedFiles()
    {
        std::vector<std::pair<UMockdevIoctlClient*, int>> gone;
        {
            std::lock_guard lock(mutex);
            for (auto file = clients.begin(); file != clients.end();) {
                if (umockdev_ioctl_client_get_connected(file->first)) {
                    ++file;
                    continue;
                }
                gone.emplace_back(file->first, file->second.handle);
                file = clients.erase(file);
            }
        }
        for (const auto& [client, handle] : gone) {
            if (handle)
                simulator.close(handle);
            g_object_unref(client);
        }
    }

    bool read(UMockdevIoctlClient* client)
    {
        UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
        long result = -ENODEV;
        {
            std::lock_guard lock(mutex);
            const auto found = clients.find(client);
            if (found == clients.end())
                return false;
            Client& file = found->second;
            const auto node = nodes.find(file.deviceId);
            if (node != nodes.end() && file.handle) {
                const std::vector<std::uint8_t> bytes = descriptorBytes(node->second.layout);
                const std::size_t start = std::min(file.readOffset, bytes.size());
                const std::size_t count = std::min(static_cast<std::size_t>(std::max(buffer->data_len, 0)), bytes.size() - start);
                std::memcpy(buffer->data, bytes.data() + start, count);
                file.readOffset = start + count;
                result = static_cast<long>(count);
            }
            log.push_back(deviceName(file.deviceId) + " READ "
                          + (result < 0 ? errorName(ENODEV) : std::to_string(result)));
        }
        umockdev_ioctl_client_complete(client, result < 0 ? -1 : result, result < 0 ? ENODEV : 0);
        return true;
    }

    // --- requests ---------------------------------------------------------------------------

    bool ioctl(UMockdevIoctlClient* client)
    {
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
        if (request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_REAPURB) {
            drainPendingEvents();
            sweepClosedFiles();
        }
        if (std::string(umockdev_ioctl_client_get_devnode(client)) == SettleNode) {
            // The answer travels through a socket, out of a thread sanitizer's sight; the mutex
            // shows it that all done here comes before what the caller does next.
            std::lock_guard lock(mutex);
            umockdev_ioctl_client_complete(client, 0, 0);
            return true;
        }
        Client file;
        {
            std::lock_guard lock(mutex);
            const auto found = clients.find(client);
            if (found == clients.end())
                return false;
            file.deviceId = found->second.deviceId;
            file.handle = found->second.handle;
        }
        switch (request) {
        case USBDEVFS_CONNECTINFO:
            return connectInfo(client, argument, file);
        case USBDEVFS_SETCONFIGURATION:
            return valueRequest(client, argument, file, "SETCONFIGURATION", &Simulator::setConfiguration);
        case USBDEVFS_CLAIMINTERFACE:
            return valueRequest(client, argument, file, "CLAIMINTERFACE", &Simulator::claimInterface);
        case USBDEVFS_RELEASEINTERFACE:
            return valueRequest(client, argument, file, "RELEASEINTERFACE", &Simulator::releaseInterface);
        case USBDEVFS_SUBMITURB:
            return submit(client, argument, file);
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            return reap(client, argument, file);
        case USBDEVFS_DISCARDURB:
            return discard(client, argument, file);
        default:
            // No hub driver and no kernel driver answers the rest (the library asks for the ports
            // of every device, hub or not).
            complete(client, file, "IOCTL " + std::to_string(_IOC_NR(request)), -ENOTTY);
            return true;
        }
    }

    void complete(UMockdevIoctlClient* client, const Client& file, const std::string& text, int result)
    {
        record(file.deviceId, result < 0 ? text + " " + errorName(-result) : text);
        umockdev_ioctl_client_complete(client, result < 0 ? -1 : result, result < 0 ? -result : 0);
    }

    bool connectInfo(UMockdevIoctlClient* client, UMockdevIoctlData* argument, const Client& file)
    {
        const DataRef info = resolve(argument, 0, sizeof(usbdevfs_connectinfo));
        if (!info)
            return false;
        auto& fields = *static_cast<usbdevfs_connectinfo*>(static_cast<void*>(info.data->data));
        fields.devnum = static_cast<unsigned int>(file.deviceId);
        fields.slow = 0;
        complete(client, file, "CONNECTINFO", file.handle ? 0 : -ENODEV);
        return true;
    }

    bool valueRequest(UMockdevIoctlClient* client, UMockdevIoctlData* argument, const Client& file,
                      const char* name, int (Simulator::*answer)(int, int))
    {
        const DataRef value = resolve(argument, 0, sizeof(unsigned int));
        if (!value)
            return false;
        const int number = *static_cast<int*>(static_cast<void*>(value.data->data));
        const int result = file.handle ? (simulator.*answer)(file.handle, number) : -ENODEV;
        complete(client, file, std::string(name) + " " + std::to_string(number), result);
        dropIfUnplugged(file.deviceId);
        return true;
    }

    bool submit(UMockdevIoctlClient* client, UMockdevIoctlData* argument, const Client& file)
    {
        DataRef urbData = resolve(argument, 0, sizeof(usbdevfs_urb));
        if (!urbData)
            return false;
        usbdevfs_urb& urb = urbOf(urbData);
        char text[48];
        std::snprintf(text, sizeof text, "SUBMITURB 0x%02x %d", urb.endpoint, urb.buffer_length);
        if (urb.type != BulkUrb || urb.buffer_length < 0 || !file.handle) {
            complete(client, file, text, file.handle ? -EINVAL : -ENODEV);
            return true;
        }
        const DataRef buffer = resolve(urbData.data, offsetof(usbdevfs_urb, buffer),
                                       static_cast<std::size_t>(urb.buffer_length));
        if (!buffer)
            return false;
        auto* bytes = static_cast<char*>(static_cast<void*>(buffer.data->data));
        const UrbCompletion done = transfer(file.handle, urb, bytes);
        const int result = done.actualLength;
        // An unanswered transfer stays in flight; any other failure is the kernel refusing it.
        if (result < 0 && result != UsbError::TimedOut) {
            complete(client, file, text, result);
            dropIfUnplugged(file.deviceId);
            return true;
        }
        {
            std::lock_guard lock(mutex);
            Client& owner = clients.at(client);
            if (result == UsbError::TimedOut) {
                owner.inFlight.push_back(std::move(urbData));
            } else {
                urb.actual_length = result;
                urb.status = done.status;
                owner.completed.push_back(std::move(urbData));
            }
        }
        complete(client, file, text, 0);
        dropIfUnplugged(file.deviceId);
        return true;
    }

    // A bulk transfer on the simulated bus. Like the host controller drivers (dummy_hcd's
    // transfer(), ehci-q.c's qtd_copy_status), the kernel fills the buffer with the part of an
    // overlong reply that fits and ends the URB with EOVERFLOW; usbfs hands over both.
    struct UrbCompletion {
        int actualLength = 0; // or the negative result of a transfer that did not complete
        int status = 0;
    };
    UrbCompletion transfer(int handle, const usbdevfs_urb& urb, char* bytes)
    {
        if (!(urb.endpoint & 0x80))
            return {simulator.bulkWrite(handle, urb.endpoint, bytes, urb.buffer_length, 0)};
        const ReadCompletion read =
            simulator.bulkRead(handle, urb.endpoint, bytes, urb.buffer_length, 0);
        return {read.result, read.overflowed ? -EOVERFLOW : 0};
    }

    bool reap(UMockdevIoctlClient* client, UMockdevIoctlData* argument, const Client& file)
    {
        DataRef urbData;
        {
            std::lock_guard lock(mutex);
            Client& owner = clients.at(client);
            if (!owner.completed.empty()) {
                urbData = std::move(owner.completed.front());
                owner.completed.pop_front();
            }
        }
        if (!urbData) {
            // Nothing to reap: the library polls again, or learns that the device is gone.
            const bool gone = !file.handle || !simulator.attached(file.deviceId);
            umockdev_ioctl_client_complete(client, -1, gone ? ENODEV : EAGAIN);
            return true;
        }
        const DataRef pointer = resolve(argument, 0, sizeof(void*));
        if (!pointer || !umockdev_ioctl_data_set_ptr(pointer.data, 0, urbData.data))
            return false;
        const usbdevfs_urb& urb = urbOf(urbData);
        char reaped[32];
        std::snprintf(reaped, sizeof reaped, "REAPURB 0x%02x %d", urb.endpoint, urb.actual_length);
        std::string text = reaped;
        if (urb.status != 0)
            text += " " + errorName(-urb.status);
        complete(client, file, text, 0);
        return true;
    }

    bool discard(UMockdevIoctlClient* client, UMockdevIoctlData* argument, const Client& file)
    {
        const gulong address = *static_cast<gulong*>(static_cast<void*>(argument->data));
        std::string text = "DISCARDURB";
        int result = -EINVAL;
        {
            std::lock_guard lock(mutex);
            Client& owner = clients.at(client);
            for (auto urb = owner.inFlight.begin(); urb != owner.inFlight.end(); ++urb) {
                if (urb->data->client_addr != address)
                    continue;
                char endpoint[8];
                std::snprintf(endpoint, sizeof endpoint, " 0x%02x", urbOf(*urb).endpoint);
                text += endpoint;
                urbOf(*urb).status = UnlinkedStatus;
                urbOf(*urb).actual_length = 0;
                owner.completed.push_back(std::move(*urb));
                owner.inFlight.erase(urb);
                result = 0;
                break;
            }
        }
        complete(client, file, text, result);
        return true;
    }

    // --- umockdev's signals -----------------------------------------------------------------

    static void onConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        static_cast<State*>(self)->connected(client);
    }
    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        return static_cast<State*>(self)->ioctl(client);
    }
    static gboolean onRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        return static_cast<State*>(self)->read(client);
    }
};

UsbfsBed::UsbfsBed(Simulator& simulator)
    : state_(std::make_unique<State>(simulator))
{
    State& state = *state_;
    state.testbed = umockdev_testbed_new();
    gchar* root = umockdev_testbed_get_root_dir(state.testbed);
    state.root = root;
    g_free(root);
    state.handler = umockdev_ioctl_base_new();
    g_signal_connect(state.handler, "client-connected", G_CALLBACK(State::onConnected), &state);
    g_signal_connect(state.handler, "handle-ioctl", G_CALLBACK(State::onIoctl), &state);
    g_signal_connect(state.handler, "handle-read", G_CALLBACK(State::onRead), &state);
    g_mkdir_with_parents((state.root + "/dev").c_str(), 0755);
    g_file_set_contents((state.root + SettleNode).c_str(), "", 0, nullptr);
    umockdev_testbed_attach_ioctl(state.testbed, SettleNode, state.handler, nullptr);
    simulator.setTopologyObserver([&state] { state.sync(); });
    state.sync();
}

UsbfsBed::~UsbfsBed()
{
    State& state = *state_;
    state.simulator.setTopologyObserver(nullptr);
    settle();
    g_signal_handlers_disconnect_by_data(state.handler, &state);
    std::vector<int> handles;
    {
        std::lock_guard lock(state.mutex);
        for (const auto& [client, file] : state.clients)
            if (file.handle)
                handles.push_back(file.handle);
        state.clients.clear();
        state.nodes.clear();
    }
    for (int handle : handles)
        state.simulator.close(handle);
    g_object_unref(state.testbed);
    g_object_unref(state.handler);
}

bool UsbfsBed::preloaded()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

void UsbfsBed::settle()
{
    const int file = ::open(SettleNode, O_RDWR);
    if (file < 0)
        return;
    ::ioctl(file, SettleRequest, nullptr);
    ::close(file);
    std::lock_guard lock(state_->mutex);
}

std::vector<std::string> UsbfsBed::requests() const
{
    std::lock_guard lock(state_->mutex);
    return state_->log;
}

void UsbfsBed::clearRequests()
{
    std::lock_guard lock(state_->mutex);
    state_->log.clear();
}

} // namespace sim
