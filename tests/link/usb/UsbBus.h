#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/TaskContext.h"
#include "link/UsbConnection.h"
#include "sim/Simulator.h"
#include "support/RecordingNotifier.h"
#include "support/TestClock.h"

// The USB world the link layer runs in. The same tests are built twice: against the stand-in
// library (sim/SimUsb.cpp), and against Debian's libusb 0.1 with the simulator behind the
// kernel's USB device interface (sim/UsbfsBed). Both must show the terminal the same world.
class UsbBus {
public:
    UsbBus();
    ~UsbBus();
    UsbBus(const UsbBus&) = delete;
    UsbBus& operator=(const UsbBus&) = delete;

    // Waits until the bus has taken every file and handle the terminal closed.
    void settle();
    // The requests the kernel's device interface was asked; none with the stand-in.
    std::vector<std::string> kernelRequests() const;
    void clearKernelRequests();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A fresh simulated controller (R-420ZA, capacity 64) on the bus, and a connection that reports
// to a recording notifier.
class UsbFixture : public ::testing::Test {
protected:
    UsbFixture()
    {
        simulator().reset();
        bus = std::make_unique<UsbBus>();
    }
    ~UsbFixture() override
    {
        connection.reset();
        bus.reset();
        simulator().reset();
    }

    sim::Simulator& simulator() { return sim::Simulator::instance(); }
    std::shared_ptr<sim::SimController> controller() { return simulator().controller(); }
    TaskContext context() { return {*connection, notifier, clock}; }
    int openHandles()
    {
        bus->settle();
        return simulator().openHandleCount();
    }
    std::vector<sim::Transfer> sent() const
    {
        return sim::sentTransfers(sim::Simulator::instance().traffic());
    }

    RecordingNotifier notifier;
    TestClock clock;
    std::unique_ptr<UsbBus> bus;
    std::unique_ptr<UsbConnection> connection = std::make_unique<UsbConnection>(notifier);
};
