#pragma once

#include <optional>
#include <vector>

#include <QString>

struct usb_device;

// Where a controller sits: its bus and its device as the USB library names them ("001", "003"),
// shown as "001/003". Numbers compare by value, so "1/3" names the same device.
struct DevicePath {
    QString bus;
    QString device;

    QString text() const { return bus + u'/' + device; }
    bool names(const DevicePath& other) const;
};

// "BUS/DEV", or nothing when the text is not two non-empty parts joined by one "/".
std::optional<DevicePath> parseDevicePath(const QString& text);
DevicePath pathOf(const struct usb_device* device);

// Every controller on every bus in the library's list order, after a fresh enumeration.
std::vector<DevicePath> controllerPaths();
