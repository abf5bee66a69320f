#include "link/DevicePath.h"

#include <usb.h>

#include <QStringList>

#include "link/UsbConnection.h"

namespace {
bool samePart(const QString& a, const QString& b)
{
    bool aNumber = false;
    bool bNumber = false;
    const uint aValue = a.toUInt(&aNumber, 10);
    const uint bValue = b.toUInt(&bNumber, 10);
    return aNumber && bNumber ? aValue == bValue : a == b;
}
}

bool DevicePath::names(const DevicePath& other) const
{
    return samePart(bus, other.bus) && samePart(device, other.device);
}

std::optional<DevicePath> parseDevicePath(const QString& text)
{
    const QStringList parts = text.split(u'/');
    if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty())
        return std::nullopt;
    return DevicePath{parts[0], parts[1]};
}

DevicePath pathOf(const struct usb_device* device)
{
    const QString bus = device->bus ? QString::fromLocal8Bit(device->bus->dirname) : QString();
    return {bus, QString::fromLocal8Bit(device->filename)};
}

std::vector<DevicePath> controllerPaths()
{
    usb_init();
    usb_set_debug(0);
    usb_find_busses();
    usb_find_devices();
    std::vector<DevicePath> paths;
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* device = bus->devices; device; device = device->next)
            if (isController(device))
                paths.push_back(pathOf(device));
    return paths;
}
