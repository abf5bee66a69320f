#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// One configuration of a simulated device: its value and the bulk endpoints of its interface 0.
struct UsbConfiguration {
    int value = 0;
    std::vector<int> endpoints;
};

// What a simulated device tells the host about itself.
struct UsbDeviceLayout {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::vector<UsbConfiguration> configurations;
};

// The controller: the boot loader's stream endpoint in configuration 1, the request and reply
// endpoints in configuration 2.
UsbDeviceLayout controllerLayout();
// Any other device: one configuration whose interface has no endpoints.
UsbDeviceLayout otherDeviceLayout(std::uint16_t vendor, std::uint16_t product);

// The 18-byte device descriptor, words low byte first.
std::vector<std::uint8_t> deviceDescriptor(const UsbDeviceLayout& layout);
// What reading the device's node returns: the device descriptor, then each configuration
// descriptor with its interface and endpoint descriptors.
std::vector<std::uint8_t> descriptorBytes(const UsbDeviceLayout& layout);

const UsbConfiguration* findConfiguration(const UsbDeviceLayout& layout, int value);
bool hasEndpoint(const UsbDeviceLayout& layout, int configuration, int endpoint);

} // namespace sim
