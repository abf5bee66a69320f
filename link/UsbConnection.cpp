#include "link/UsbConnection.h"

#include <cerrno>

#include <usb.h>

#include "link/Diagnostics.h"
#include "link/Notifier.h"
#include "link/Packet.h"
#include "link/Protocol.h"
#include "link/UsbRights.h"

namespace {
using ConnectionTexts::ConfigurationText;
using ConnectionTexts::InterfaceText;
using ConnectionTexts::NotFoundText;

char* asChars(std::uint8_t* bytes)
{
    return reinterpret_cast<char*>(bytes);
}

const char* asChars(const std::uint8_t* bytes)
{
    return reinterpret_cast<const char*>(bytes);
}
}

bool isController(const struct usb_device* device)
{
    return device->descriptor.idVendor == Usb::VendorId
        && device->descriptor.idProduct == Usb::ProductId;
}

UsbConnection::UsbConnection(Notifier& notifier)
    : notifier_(notifier)
{
}

UsbConnection::~UsbConnection()
{
    CloseConnection();
}

void UsbConnection::OpenConnection(int configuration)
{
    heldElsewhere_ = false;
    if (handle_ && reopenKnownController(configuration))
        return;
    enumerate(configuration);
}

// Re-opens the controller without a new enumeration when it is the first device of the first bus
// of the list the last enumeration left, or the chosen controller wherever that list has it. Any
// failure falls back to a fresh enumeration, silently.
bool UsbConnection::reopenKnownController(int configuration)
{
    struct usb_device* known = knownController();
    CloseConnection();
    if (!known)
        return false;
    handle_ = usb_open(known);
    if (!handle_)
        return false;
    if (setConfiguration(configuration) < 0 || claimInterface() < 0) {
        closeHandleOnly();
        return false;
    }
    return true;
}

struct usb_device* UsbConnection::knownController() const
{
    usb_bus* bus = usb_get_busses();
    if (chosen_) {
        for (; bus; bus = bus->next)
            for (struct usb_device* device = bus->devices; device; device = device->next)
                if (chosen(device))
                    return device;
        return nullptr;
    }
    struct usb_device* first = bus ? bus->devices : nullptr;
    return first && isController(first) ? first : nullptr;
}

bool UsbConnection::chosen(const struct usb_device* device) const
{
    return isController(device) && (!chosen_ || chosen_->names(pathOf(device)));
}

// Walks every bus and device. Every controller that opens replaces the one held before; a
// configuration or claim failure on any of them ends the walk without a connection.
void UsbConnection::enumerate(int configuration)
{
    usb_init();
    usb_set_debug(0);
    usb_find_busses();
    usb_find_devices();
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next) {
        for (struct usb_device* device = bus->devices; device; device = device->next) {
            if (!chosen(device))
                continue;
            usb_dev_handle* opened = usb_open(device);
            if (!opened)
                continue;
            CloseConnection();
            handle_ = opened;
            if (!configure(configuration, ConfigurationText, InterfaceText))
                return;
        }
    }
    if (!handle_) {
        reportText(NotFoundText);
        if (UsbRights::hiddenControllerRefused())
            reportText(UsbRights::HintText);
    }
}

bool UsbConnection::configure(int configuration, const QString& configFailure,
                              const QString& claimFailure)
{
    const int configured = setConfiguration(configuration);
    if (configured < 0)
        return refuse(configFailure, configured);
    const int claimed = claimInterface();
    if (claimed < 0)
        return refuse(claimFailure, claimed);
    return true;
}

int UsbConnection::setConfiguration(int configuration)
{
    const int result = usb_set_configuration(handle_, configuration);
    qCDebug(usbLog) << "configuration" << configuration << "result" << result;
    return result;
}

int UsbConnection::claimInterface()
{
    const int result = usb_claim_interface(handle_, Usb::Interface);
    qCDebug(usbLog) << "claim interface" << Usb::Interface << "result" << result;
    return result;
}

bool UsbConnection::refuse(const QString& failure, int result)
{
    heldElsewhere_ = result == -EBUSY;
    reportText(failure);
    if (UsbRights::refused(result))
        reportText(UsbRights::HintText);
    closeHandleOnly();
    return false;
}

void UsbConnection::closeHandleOnly()
{
    usb_close(handle_);
    handle_ = nullptr;
}

void UsbConnection::CloseConnection()
{
    if (!handle_)
        return;
    usb_release_interface(handle_, Usb::Interface);
    closeHandleOnly();
}

void UsbConnection::Connect()
{
    if (!handle_)
        return;
    buffer_.clear();
    if (probe())
        readIdentity();
}

bool UsbConnection::probe()
{
    std::uint8_t scratch[Usb::ProbeSize] = {};
    const int length = Protocol::probeRequest(scratch);
    lastResult_ = bulkWrite(Usb::RequestEndpoint, scratch, length, Usb::DefaultTimeoutMs);
    if (lastResult_ >= 0)
        lastResult_ = bulkRead(Usb::ReplyEndpoint, scratch, Usb::ProbeSize, Usb::DefaultTimeoutMs);
    const auto capacity = Protocol::parsed(lastResult_, scratch, Protocol::probeReply);
    if (const Protocol::Failure* failure = Protocol::failureOf(capacity)) {
        fail(failure->logged());
        return false;
    }
    buffer_.assign(static_cast<std::size_t>(std::get<int>(capacity)) + Usb::HeaderSize, 0);
    return true;
}

bool UsbConnection::readIdentity()
{
    const int length = Protocol::identityRequest(buffer_.data());
    const auto identity = Protocol::parsed(exchange(length, Usb::DefaultTimeoutMs), buffer_.data(),
                                           Protocol::identityReply);
    if (const Protocol::Failure* failure = Protocol::failureOf(identity)) {
        fail(failure->logged());
        return false;
    }
    identity_ = std::get<Protocol::IdentityBlock>(identity);
    return true;
}

int UsbConnection::exchange(int sendLength, int timeoutMs)
{
    lastResult_ = bulkWrite(Usb::RequestEndpoint, buffer_.data(), sendLength, timeoutMs);
    if (lastResult_ < 0)
        return lastResult_;
    lastResult_ = bulkRead(Usb::ReplyEndpoint, buffer_.data(), bufferSize(), timeoutMs);
    return lastResult_;
}

int UsbConnection::writeRaw(int endpoint, const std::uint8_t* bytes, int length, int timeoutMs)
{
    lastResult_ = bulkWrite(endpoint, bytes, length, timeoutMs);
    return lastResult_;
}

int UsbConnection::bulkWrite(int endpoint, const std::uint8_t* bytes, int length, int timeoutMs)
{
    const int result = usb_bulk_write(handle_, endpoint, asChars(bytes), length, timeoutMs);
    qCDebug(usbLog).noquote() << transferLine(TransferDirection::Out, endpoint, length, result, bytes);
    return result;
}

int UsbConnection::bulkRead(int endpoint, std::uint8_t* bytes, int length, int timeoutMs)
{
    const int result = usb_bulk_read(handle_, endpoint, asChars(bytes), length, timeoutMs);
    qCDebug(usbLog).noquote() << transferLine(TransferDirection::In, endpoint, length, result, bytes);
    return result;
}

std::uint16_t UsbConnection::identityWord0() const
{
    return qFromLittleEndian<std::uint16_t>(identity_.data());
}

void UsbConnection::drainAndClose()
{
    if (!handle_)
        return;
    if (!buffer_.empty())
        bulkRead(Usb::ReplyEndpoint, buffer_.data(), bufferSize(), Usb::DrainTimeoutMs);
    CloseConnection();
}

void UsbConnection::fail(int value)
{
    reportError(value);
    CloseConnection();
}

void UsbConnection::reportText(const QString& text)
{
    notifier_.notify(Target::Device, Report::Text{text});
}

void UsbConnection::reportError(int value)
{
    notifier_.notify(Target::Device, Report::UsbFailure{value});
}
