#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "link/TaskContext.h"
#include "link/UsbConnection.h"
#include "sim/Simulator.h"
#include "support/RecordingNotifier.h"
#include "support/TestClock.h"

// A fresh simulated controller (R-420ZA, capacity 64) and a connection that reports to a
// recording notifier.
class SimFixture : public ::testing::Test {
protected:
    SimFixture() { sim::Simulator::instance().reset(); }
    ~SimFixture() override
    {
        connection.reset();
        sim::Simulator::instance().reset();
    }

    sim::Simulator& simulator() { return sim::Simulator::instance(); }
    std::shared_ptr<sim::SimController> controller() { return simulator().controller(); }
    TaskContext context() { return {*connection, notifier, clock}; }
    std::vector<sim::Transfer> requests() const
    {
        return sim::sentTransfers(sim::Simulator::instance().traffic());
    }

    RecordingNotifier notifier;
    TestClock clock;
    std::unique_ptr<UsbConnection> connection = std::make_unique<UsbConnection>(notifier);
};
