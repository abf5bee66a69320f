#include "Replay.h"

#include <chrono>

#include <usb.h>

namespace {

struct usb_device* firstController()
{
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* device = bus->devices; device; device = device->next)
            if (device->descriptor.idVendor == 0x0451 && device->descriptor.idProduct == 0x9001)
                return device;
    return nullptr;
}

int replayOne(usb_dev_handle* handle, const sim::Transfer& transfer, std::vector<char>& buffer)
{
    if (transfer.direction == sim::Transfer::Direction::Out)
        return usb_bulk_write(handle, transfer.endpoint,
            reinterpret_cast<const char*>(transfer.bytes.data()),
            static_cast<int>(transfer.bytes.size()), transfer.timeout);
    return usb_bulk_read(
        handle, transfer.endpoint, buffer.data(), transfer.lengthAsked, transfer.timeout);
}

} // namespace

ReplayOutcome replayTransfers(const std::vector<sim::Transfer>& transfers)
{
    std::vector<char> buffer(0x10000);
    ReplayOutcome outcome;
    const auto start = std::chrono::steady_clock::now();
    usb_init();
    usb_find_busses();
    usb_find_devices();
    usb_dev_handle* handle = usb_open(firstController());
    if (!handle)
        return { 0, static_cast<int>(transfers.size()) };
    usb_set_configuration(handle, 2);
    usb_claim_interface(handle, 0);
    for (const sim::Transfer& transfer : transfers)
        outcome.mismatches += replayOne(handle, transfer, buffer) != transfer.result;
    outcome.seconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    usb_release_interface(handle, 0);
    usb_close(handle);
    return outcome;
}
