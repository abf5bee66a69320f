#include "link/UsbRights.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

#include "link/Packet.h"

namespace UsbRights {

const QString HintText = QStringLiteral(
    "Нет прав доступа к USB: установите правило udev из пакета r4xx-terminal и переподключите "
    "контроллер");

namespace {
const std::filesystem::path SysfsDevices = "/sys/bus/usb/devices";

// The first word of a sysfs attribute, or -1 when it is missing or not a number.
int attribute(const std::filesystem::path& device, const char* name, int base)
{
    std::ifstream file(device / name);
    std::string text;
    if (!(file >> text))
        return -1;
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used, base);
        return used == text.size() ? value : -1;
    } catch (const std::exception&) {
        return -1;
    }
}

std::string nodePath(int bus, int device)
{
    char path[40];
    std::snprintf(path, sizeof path, "/dev/bus/usb/%03d/%03d", bus, device);
    return path;
}
}

bool refused(int usbResult)
{
    return usbResult == -EPERM || usbResult == -EACCES;
}

std::vector<std::string> controllerNodes(const std::filesystem::path& sysfsDevices)
{
    std::vector<std::string> nodes;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(sysfsDevices, error), end;
         !error && entry != end; entry.increment(error)) {
        const std::filesystem::path& device = entry->path();
        if (attribute(device, "idVendor", 16) != Usb::VendorId
            || attribute(device, "idProduct", 16) != Usb::ProductId)
            continue;
        const int bus = attribute(device, "busnum", 10);
        const int number = attribute(device, "devnum", 10);
        if (bus > 0 && number > 0)
            nodes.push_back(nodePath(bus, number));
    }
    return nodes;
}

bool nodeRefused(const std::string& node)
{
    return faccessat(AT_FDCWD, node.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

bool hiddenControllerRefused()
{
    for (const std::string& node : controllerNodes(SysfsDevices))
        if (nodeRefused(node))
            return true;
    return false;
}

} // namespace UsbRights
