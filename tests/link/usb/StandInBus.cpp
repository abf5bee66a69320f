#include "usb/UsbBus.h"

struct UsbBus::State {
};

UsbBus::UsbBus() = default;
UsbBus::~UsbBus() = default;

void UsbBus::settle()
{
}

std::vector<std::string> UsbBus::kernelRequests() const
{
    return {};
}

void UsbBus::clearKernelRequests()
{
}
