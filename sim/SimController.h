#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "sim/Devices.h"

namespace sim {

// Negative results that the USB library reports.
namespace UsbError {
inline constexpr int NoEntry = -2;
inline constexpr int NotPermitted = -1;
inline constexpr int Io = -5;
inline constexpr int Busy = -16;
inline constexpr int NoDevice = -19;
inline constexpr int Invalid = -22;
inline constexpr int TimedOut = -110;
}

struct ControllerSettings {
    std::uint16_t typeWord = 0x2000;                    // R-420ZA
    std::array<std::uint16_t, 4> dieId{0x0001, 0x2345, 0x00AB, 0x0C00};
    std::uint16_t chipId = 0x0005;
    std::uint16_t capacity = 64;                        // payload bytes per packet
    // False for a controller without working firmware: nothing answers on the request endpoint,
    // only the boot loader's stream in configuration 1.
    bool firmwareRuns = true;
};

struct Request {
    std::uint16_t command = 0;
    std::uint16_t param1 = 0;
    std::uint16_t param2 = 0;
    std::uint16_t param3 = 0;
    std::vector<std::uint8_t> payload;
};

// Faults a test can inject.
struct Faults {
    bool openFails = false;
    bool configurationRefused = false;
    bool interfaceBusy = false;
    // The user may read but not write the device node: libusb 0.1 opens it read-only, and the
    // kernel refuses the configuration and the claim on that handle.
    bool rightsDenied = false;
    // The probe reply's length: 3, say, for a truncated one; more than 4 overflows the
    // terminal's 4-byte read (a babble).
    std::optional<int> probeReplyLength;
    std::optional<std::uint16_t> identityReplyCode;
    std::optional<int> replyLength;           // truncate every reply after the probe
    // Transfer number (counted from 0 over all transfers to this controller) -> its result.
    std::map<int, int> transferResults;
    std::optional<int> disconnectAfterExchanges;
    // Unplugged as transfer number N begins (counted as for transferResults), so a fault can also
    // strike a transfer that has no reply, such as a piece of the boot-mode stream.
    std::optional<int> disconnectAtTransfer;
    // The result of every transfer, when set (a controller that always times out, say).
    std::optional<int> everyTransferResult;
    // The configuration refusal and the busy interface hold for one attempt, then clear.
    bool connectionFaultsOnce = false;
    std::chrono::microseconds latency{0};    // real delay per exchange, outside the simulator's lock
    // Rewrites any reply before it is sent (request, reply): a controller that misbehaves at will,
    // even with a reply longer than its buffer, which overflows the terminal's read (a babble).
    std::function<void(const Request&, std::vector<std::uint8_t>&)> replyFilter;
};

// The controller's USB side: it takes requests on endpoint 1 and queues the reply for endpoint
// 0x81. Its devices are parts that register the commands they answer, so new parts plug in
// without touching this core. A reply never holds more than the controller's buffer: the header
// and its payload capacity.
class SimController {
public:
    // A handler returns the reply's payload; the header is echoed in front of it.
    using CommandHandler = std::function<std::vector<std::uint8_t>(const Request&)>;
    using BusHandler = std::function<std::vector<std::uint8_t>(const Request&)>;
    // Takes the bytes written to a raw OUT endpoint; returns the USB result.
    using StreamHandler = std::function<int(const std::uint8_t*, int)>;

    explicit SimController(ControllerSettings settings);

    ControllerSettings settings;
    Faults faults;

    void onCommand(std::uint16_t command, CommandHandler handler);
    // A device on the serial bus behind command 3: its handler returns the bytes read back.
    void onBusDevice(std::uint16_t address, BusHandler handler);
    void onStream(int endpoint, StreamHandler handler);

    Devices& devices() { return devices_; }
    ConfigMemory& configMemory() { return devices_.configMemory; }
    const ConfigMemory& configMemory() const { return devices_.configMemory; }

    bool connected() const { return connected_; }
    // Plugs the controller into its bus or pulls it out.
    void setConnected(bool connected) { connected_ = connected; }
    // Transfers and answered exchanges so far, to arm a fault counted from now.
    int transferCount() const { return transferCount_; }
    int exchangeCount() const { return exchangeCount_; }
    int configuration() const { return configuration_; }
    void setConfiguration(int configuration) { configuration_ = configuration; }

    // Transfers from the terminal. A write returns the USB result; a read returns 0 and the whole
    // reply the controller sends, however much the terminal asked for, or the USB result that
    // ends the transfer instead.
    int write(int endpoint, const std::uint8_t* bytes, int size);
    int read(int endpoint, std::vector<std::uint8_t>& reply);
    // Counts a transfer; returns an injected result for it, if any.
    std::optional<int> injectedResult();

private:
    std::vector<std::uint8_t> answer(const std::uint8_t* bytes, int size);
    std::vector<std::uint8_t> answerRequest(const Request& request);
    void injectReplyFaults(const Request& request, std::vector<std::uint8_t>& reply) const;
    std::vector<std::uint8_t> answerProbe() const;
    std::vector<std::uint8_t> answerIdentity() const;
    std::vector<std::uint8_t> answerBusTransfer(const Request& request);

    std::map<std::uint16_t, CommandHandler> commands_;
    std::map<std::uint16_t, BusHandler> busDevices_;
    std::map<int, StreamHandler> streams_;
    Devices devices_;
    std::optional<std::vector<std::uint8_t>> pendingReply_;
    // The kernel gives a new device its first configuration.
    int configuration_ = 1;
    int transferCount_ = 0;
    int exchangeCount_ = 0;
    bool connected_ = true;
};

} // namespace sim
