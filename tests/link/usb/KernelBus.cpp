#include "usb/UsbBus.h"

#include <stdexcept>

#include "sim/UsbfsBed.h"

struct UsbBus::State {
    sim::UsbfsBed bed{sim::Simulator::instance()};
};

namespace {
void requireMockEnvironment()
{
    if (!sim::UsbfsBed::preloaded())
        throw std::runtime_error("run the test under umockdev-wrapper");
}
}

UsbBus::UsbBus()
{
    requireMockEnvironment();
    state_ = std::make_unique<State>();
}

UsbBus::~UsbBus() = default;

void UsbBus::settle()
{
    state_->bed.settle();
}

std::vector<std::string> UsbBus::kernelRequests() const
{
    return state_->bed.requests();
}

void UsbBus::clearKernelRequests()
{
    state_->bed.clearRequests();
}
