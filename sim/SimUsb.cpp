// The libusb 0.1 functions the terminal calls, answered by the simulated controller.

#include <usb.h>

#include "sim/Simulator.h"

struct usb_dev_handle {
    int id;
};

namespace {
sim::Simulator& simulator()
{
    return sim::Simulator::instance();
}

int idOf(usb_dev_handle* handle)
{
    return handle ? handle->id : 0;
}
}

extern "C" {

void usb_init(void)
{
}

void usb_set_debug(int)
{
}

int usb_find_busses(void)
{
    simulator().findBusses();
    return 0;
}

int usb_find_devices(void)
{
    simulator().findDevices();
    return 0;
}

struct usb_bus* usb_get_busses(void)
{
    return simulator().busses();
}

usb_dev_handle* usb_open(struct usb_device* device)
{
    const int id = simulator().open(device);
    return id ? new usb_dev_handle{id} : nullptr;
}

int usb_close(usb_dev_handle* handle)
{
    const int result = simulator().close(idOf(handle));
    delete handle;
    return result;
}

int usb_set_configuration(usb_dev_handle* handle, int configuration)
{
    return simulator().setConfiguration(idOf(handle), configuration);
}

int usb_claim_interface(usb_dev_handle* handle, int interface)
{
    return simulator().claimInterface(idOf(handle), interface);
}

int usb_release_interface(usb_dev_handle* handle, int interface)
{
    return simulator().releaseInterface(idOf(handle), interface);
}

int usb_bulk_write(usb_dev_handle* handle, int endpoint, const char* bytes, int size, int timeout)
{
    return simulator().bulkWrite(idOf(handle), endpoint, bytes, size, timeout);
}

// Debian's libusb 0.1 (linux.c, usb_urb_transfer) counts the bytes of a reaped URB and never looks
// at its status. A reply longer than the buffer, which the kernel ends with EOVERFLOW, therefore
// reads as a full buffer: the bytes that fit are there and the result is the size asked for.
int usb_bulk_read(usb_dev_handle* handle, int endpoint, char* bytes, int size, int timeout)
{
    return simulator().bulkRead(idOf(handle), endpoint, bytes, size, timeout).result;
}

} // extern "C"
