#include "sim/UsbDescriptors.h"

#include <algorithm>

namespace sim {

namespace {
constexpr std::uint8_t DeviceType = 1;
constexpr std::uint8_t ConfigurationType = 2;
constexpr std::uint8_t InterfaceType = 4;
constexpr std::uint8_t EndpointType = 5;
constexpr std::uint8_t VendorClass = 0xFF;
constexpr std::uint8_t BulkAttributes = 2;
constexpr std::uint16_t PacketSize = 64;
constexpr std::uint8_t ConfigurationSize = 9;
constexpr std::uint8_t InterfaceSize = 9;
constexpr std::uint8_t EndpointSize = 7;

void putWord(std::vector<std::uint8_t>& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendConfiguration(std::vector<std::uint8_t>& bytes, const UsbConfiguration& configuration)
{
    const auto endpointCount = static_cast<std::uint8_t>(configuration.endpoints.size());
    bytes.insert(bytes.end(), {ConfigurationSize, ConfigurationType});
    putWord(bytes, static_cast<std::uint16_t>(ConfigurationSize + InterfaceSize
                                              + EndpointSize * endpointCount));
    // One interface, no string, bus powered, 100 mA.
    bytes.insert(bytes.end(), {1, static_cast<std::uint8_t>(configuration.value), 0, 0x80, 50});
    bytes.insert(bytes.end(), {InterfaceSize, InterfaceType, 0, 0, endpointCount, VendorClass, 0, 0, 0});
    for (int endpoint : configuration.endpoints) {
        bytes.insert(bytes.end(), {EndpointSize, EndpointType, static_cast<std::uint8_t>(endpoint),
                                   BulkAttributes});
        putWord(bytes, PacketSize);
        bytes.push_back(0);
    }
}
}

UsbDeviceLayout controllerLayout()
{
    return {0x0451, 0x9001, {{1, {0x06}}, {2, {0x01, 0x81}}}};
}

UsbDeviceLayout otherDeviceLayout(std::uint16_t vendor, std::uint16_t product)
{
    return {vendor, product, {{1, {}}}};
}

std::vector<std::uint8_t> deviceDescriptor(const UsbDeviceLayout& layout)
{
    std::vector<std::uint8_t> bytes{18, DeviceType};
    putWord(bytes, 0x0200); // USB 2.0
    bytes.insert(bytes.end(), {0, 0, 0, static_cast<std::uint8_t>(PacketSize)});
    putWord(bytes, layout.vendor);
    putWord(bytes, layout.product);
    putWord(bytes, 0x0100);
    bytes.insert(bytes.end(), {0, 0, 0, static_cast<std::uint8_t>(layout.configurations.size())});
    return bytes;
}

std::vector<std::uint8_t> descriptorBytes(const UsbDeviceLayout& layout)
{
    std::vector<std::uint8_t> bytes = deviceDescriptor(layout);
    for (const UsbConfiguration& configuration : layout.configurations)
        appendConfiguration(bytes, configuration);
    return bytes;
}

const UsbConfiguration* findConfiguration(const UsbDeviceLayout& layout, int value)
{
    const auto found = std::find_if(layout.configurations.begin(), layout.configurations.end(),
                                    [value](const UsbConfiguration& c) { return c.value == value; });
    return found == layout.configurations.end() ? nullptr : &*found;
}

bool hasEndpoint(const UsbDeviceLayout& layout, int configuration, int endpoint)
{
    const UsbConfiguration* found = findConfiguration(layout, configuration);
    return found
        && std::find(found->endpoints.begin(), found->endpoints.end(), endpoint)
               != found->endpoints.end();
}

} // namespace sim
