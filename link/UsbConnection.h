#pragma once

#include <array>
#include <optional>
#include <cstdint>
#include <vector>

#include <QString>

#include "link/DevicePath.h"

class Notifier;
struct usb_dev_handle;
struct usb_device;

// What the connection reports when it finds no controller or cannot take the one it found.
namespace ConnectionTexts {
inline const QString NotFoundText = QStringLiteral("Контроллер не обнаружен на шине USB");
inline const QString ConfigurationText = QStringLiteral("Конфигурация контроллера не доступна");
inline const QString InterfaceText = QStringLiteral("Интерфейс контроллера не доступен");
}

// The worker's connection with the controller: finding and opening it, probing its payload
// capacity, reading its identity, and the request/reply exchange that every task is built from.
// Used by the worker thread only. Failures are reported to the main window's log.
class UsbConnection {
public:
    explicit UsbConnection(Notifier& notifier);
    ~UsbConnection();
    UsbConnection(const UsbConnection&) = delete;
    UsbConnection& operator=(const UsbConnection&) = delete;

    // Opens only the controller at this path from now on; without one (the default), the
    // controller the terminal opens.
    void choose(std::optional<DevicePath> path) { chosen_ = std::move(path); }
    // Re-opens the known controller, or enumerates afresh; afterwards isOpen() tells the outcome.
    void OpenConnection(int configuration);
    void CloseConnection();
    // Probes the payload capacity and reads the identity; on failure the connection is closed.
    void Connect();
    // At worker end: swallow a reply still pending in the controller, then close.
    void drainAndClose();

    bool isOpen() const { return handle_ != nullptr; }

    // Sends the first sendLength bytes of the buffer to the request endpoint, then reads one reply
    // of up to bufferSize() bytes into the buffer. Returns the reply length or the negative USB
    // result of the call that failed.
    int exchange(int sendLength, int timeoutMs);
    // Writes raw bytes, without a header and without a reply, to an OUT endpoint (the boot-mode
    // stream). Returns the USB result.
    int writeRaw(int endpoint, const std::uint8_t* bytes, int length, int timeoutMs);
    // One bulk transfer on the open connection, shown in the USB diagnostics; returns the USB
    // result. Every transfer of a task goes through these two.
    int bulkWrite(int endpoint, const std::uint8_t* bytes, int length, int timeoutMs);
    int bulkRead(int endpoint, std::uint8_t* bytes, int length, int timeoutMs);

    std::uint8_t* buffer() { return buffer_.data(); }
    const std::uint8_t* buffer() const { return buffer_.data(); }
    int bufferSize() const { return static_cast<int>(buffer_.size()); }
    int payloadCapacity() const { return bufferSize() - 8; }
    int lastResult() const { return lastResult_; }
    // Whether the last opening was refused because another program holds the controller: such a
    // controller runs its firmware, however it answered this program.
    bool heldElsewhere() const { return heldElsewhere_; }
    // The identity block in host order, as the last successful Connect read it.
    const std::array<std::uint8_t, 12>& identity() const { return identity_; }
    std::uint16_t identityWord0() const;

private:
    bool reopenKnownController(int configuration);
    struct usb_device* knownController() const;
    bool chosen(const struct usb_device* device) const;
    void enumerate(int configuration);
    bool configure(int configuration, const QString& configFailure, const QString& claimFailure);
    int setConfiguration(int configuration);
    int claimInterface();
    // Reports a configuration or claim failure, with the hint when the rights are missing.
    bool refuse(const QString& failure, int result);
    bool probe();
    bool readIdentity();
    void closeHandleOnly();
    void reportText(const QString& text);
    void reportError(int value);
    void fail(int value);

    Notifier& notifier_;
    usb_dev_handle* handle_ = nullptr;
    std::vector<std::uint8_t> buffer_;
    int lastResult_ = 0;
    bool heldElsewhere_ = false;
    std::array<std::uint8_t, 12> identity_{};
    std::optional<DevicePath> chosen_;
};

bool isController(const struct usb_device* device);
