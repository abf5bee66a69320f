// The controller's replies as the bus carries them: never more than its buffer holds, and stored
// in the terminal's buffer as the kernel stores them.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "sim/Simulator.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int RequestEndpoint = 1;
constexpr int ReplyEndpoint = 0x81;

std::string hex(const std::uint8_t* bytes, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", bytes[i]);
        text += byte;
    }
    return text;
}

std::string hex(const Bytes& bytes)
{
    return hex(bytes.data(), bytes.size());
}

// The default controller, opened in its normal configuration with its interface claimed.
class ControllerReplies : public ::testing::Test {
protected:
    ControllerReplies()
    {
        simulator().reset();
        handle = simulator().openDevice(simulator().topology()[0][0].id);
        simulator().setConfiguration(handle, 2);
        simulator().claimInterface(handle, 0);
    }
    ~ControllerReplies() override { simulator().reset(); }

    static sim::Simulator& simulator() { return sim::Simulator::instance(); }
    static sim::SimController& controller() { return *simulator().controller(); }

    // Sends a request and reads its reply into a buffer of `room` bytes.
    sim::ReadCompletion exchange(const Bytes& request, int room)
    {
        EXPECT_EQ(simulator().bulkWrite(handle, RequestEndpoint,
                                        reinterpret_cast<const char*>(request.data()),
                                        static_cast<int>(request.size()), 100),
                  static_cast<int>(request.size()));
        buffer.assign(static_cast<std::size_t>(room) + Guard, Untouched);
        return simulator().bulkRead(handle, ReplyEndpoint, reinterpret_cast<char*>(buffer.data()),
                                    room, 100);
    }
    sim::Transfer lastTransfer() const { return simulator().traffic().back(); }

    static constexpr std::size_t Guard = 4;
    static constexpr std::uint8_t Untouched = 0xEE;
    int handle = 0;
    Bytes buffer;
};

const Bytes Probe{0x00, 0x00, 0x00, 0x40};
const Bytes Identity{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Bytes StatisticsReport{0x08, 0x00, 0x01, 0x00, 0x4C, 0x00, 0x00, 0x00};
const Bytes TraceFetch{0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
// 200 bytes from address 0 of the configuration memory.
const Bytes ConfigurationRead{0x03, 0x00, 0xC8, 0x00, 0x02, 0x00, 0x50, 0x00, 0x00, 0x00};
// 200 bytes from address 0 of the firmware memory: the read-data instruction and its address.
const Bytes FirmwareRead{0x02, 0x00, 0xC8, 0x00, 0x04, 0x00, 0x04, 0x00, 0x03, 0x00, 0x00, 0x00};

void queueLongTraceRecord(sim::SimController& controller)
{
    Bytes record{0x00, 0x02};
    record.resize(100, 0x5A);
    controller.devices().trace.setLiveRate(0);
    controller.devices().trace.queueRecord(record);
}

} // namespace

// Whatever a part of the controller has to say, its reply holds the header and at most its
// payload capacity, even when the terminal offers a larger buffer.
TEST_F(ControllerReplies, NoReplyIsLongerThanTheControllersBuffer)
{
    struct Case {
        const char* name;
        std::uint16_t capacity;
        Bytes request;
        std::function<void(sim::SimController&)> prepare;
        int length;
    };
    const auto nothing = [](sim::SimController&) {};
    const Case cases[]{
        {"probe", 64, Probe, nothing, 4},
        {"identity", 64, Identity, nothing, 20},
        {"identity, capacity 11", 11, Identity, nothing, 19},
        {"statistics", 64, StatisticsReport, nothing, 72},
        {"statistics, capacity 76", 76, StatisticsReport, nothing, 84},
        {"statistics, capacity 128", 128, StatisticsReport, nothing, 84},
        {"trace record of 100 bytes", 64, TraceFetch, queueLongTraceRecord, 72},
        {"trace record of 100 bytes, capacity 128", 128, TraceFetch, queueLongTraceRecord, 108},
        {"configuration read of 200 bytes", 64, ConfigurationRead, nothing, 72},
        {"configuration read of 200 bytes, capacity 300", 300, ConfigurationRead, nothing, 208},
        {"firmware read of 200 bytes", 64, FirmwareRead, nothing, 72},
        {"firmware read of 200 bytes, capacity 300", 300, FirmwareRead, nothing, 208},
    };
    for (const Case& c : cases) {
        controller().settings.capacity = c.capacity;
        c.prepare(controller());
        const sim::ReadCompletion done = exchange(c.request, 1000);
        EXPECT_EQ(done.result, c.length) << c.name;
        EXPECT_FALSE(done.overflowed) << c.name;
        const sim::Transfer reply = lastTransfer();
        EXPECT_EQ(reply.overflow, 0) << c.name;
        EXPECT_EQ(reply.bytes.size(), static_cast<std::size_t>(c.length)) << c.name;
        if (c.length >= 8 && reply.bytes.size() >= 8) {
            EXPECT_EQ(hex(reply.bytes.data(), 8), hex(c.request.data(), 8))
                << c.name << ": the header comes back";
        }
        EXPECT_EQ(buffer[static_cast<std::size_t>(c.length)], Untouched) << c.name;
    }
}

TEST_F(ControllerReplies, AConfigurationReadBackHoldsTheMemorysBytesUpToTheCapacity)
{
    controller().settings.capacity = 64;
    Bytes image(256);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 3 + 1);
    controller().configMemory().fill(0, image);
    exchange(ConfigurationRead, 1000);
    EXPECT_EQ(hex(lastTransfer().bytes), hex(ConfigurationRead.data(), 8) + " "
                                             + hex(image.data(), 64));
}

TEST_F(ControllerReplies, AFirmwareReadBackHoldsTheFlashsBytesAcrossPagesUpToTheCapacity)
{
    controller().settings.capacity = 64;
    Bytes image(300);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 5 + 2);
    controller().devices().flash.preload(0xE0, image);
    // 200 bytes from 0xF0, across the page boundary at 0x100.
    Bytes request = FirmwareRead;
    request[11] = 0xF0;
    exchange(request, 1000);
    EXPECT_EQ(hex(lastTransfer().bytes), hex(request.data(), 8) + " " + hex(image.data() + 0x10, 64));
}

// The kernel stores what fits; a longer reply is a babble: the buffer is filled, nothing beyond
// it is touched, and the transfer ends with EOVERFLOW.
TEST_F(ControllerReplies, AReplyLongerThanTheBufferFillsItAndOverflows)
{
    struct Case {
        int replyLength;
        int room;
        int result;
        bool overflowed;
    };
    const Case cases[]{
        {8, 4, 4, true}, {5, 4, 4, true}, {4, 4, 4, false},
        {4, 72, 4, false}, {3, 4, 3, false}, {4, 0, 0, true},
    };
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.replyLength) + " bytes into "
            + std::to_string(c.room);
        controller().faults.probeReplyLength = c.replyLength;
        const sim::ReadCompletion done = exchange(Probe, c.room);
        EXPECT_EQ(done.result, c.result) << name;
        EXPECT_EQ(done.overflowed, c.overflowed) << name;
        const auto stored = static_cast<std::size_t>(c.result);
        const Bytes reply{0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00};
        EXPECT_EQ(hex(buffer.data(), stored), hex(reply.data(), stored)) << name;
        EXPECT_EQ(buffer[stored], Untouched) << name;
        const sim::Transfer transfer = lastTransfer();
        EXPECT_EQ(transfer.lengthAsked, c.room) << name;
        EXPECT_EQ(transfer.result, c.result) << name;
        EXPECT_EQ(transfer.bytes.size(), static_cast<std::size_t>(c.result)) << name;
        EXPECT_EQ(transfer.overflow, c.replyLength - c.result) << name;
    }
}

// A controller that sends more than its buffer holds is a fault a test injects.
TEST_F(ControllerReplies, AFaultCanStillMakeTheControllerSendMoreThanItsBuffer)
{
    controller().faults.replyFilter = [](const sim::Request& request, Bytes& reply) {
        if (request.command == 8)
            reply.resize(84, 0xA5);
    };
    const sim::ReadCompletion done = exchange(StatisticsReport, 72);
    EXPECT_EQ(done.result, 72);
    EXPECT_TRUE(done.overflowed);
    EXPECT_EQ(lastTransfer().overflow, 12);
}
