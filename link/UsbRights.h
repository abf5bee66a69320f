#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <QString>

// When Linux keeps the controller from the terminal because the user lacks the rights on its
// device node, and the line that tells the user how to fix it.
namespace UsbRights {

extern const QString HintText;

// libusb 0.1 opens a device node it may not write read-only, and the kernel then refuses the
// configuration and the claim on that handle with -EPERM; -EACCES refuses the node itself.
bool refused(int usbResult);

// The device nodes (/dev/bus/usb/BBB/DDD) of the controllers listed in a sysfs device folder.
std::vector<std::string> controllerNodes(const std::filesystem::path& sysfsDevices);

// The user may not open the node for reading and writing; a missing node is no refusal.
bool nodeRefused(const std::string& node);

// A controller on the bus whose node the user may not open. libusb 0.1 leaves a node it cannot
// read out of its device list, so the terminal would otherwise only see no controller at all.
bool hiddenControllerRefused();

} // namespace UsbRights
