// What the real libusb 0.1 asks of the kernel's USB device interface for the terminal's calls:
// the requests that only the emulated interface sees.

#include <chrono>

#include "link/Packet.h"
#include "usb/UsbBus.h"

using Lines = std::vector<std::string>;

class KernelInterface : public UsbFixture {
protected:
    bool connect() { return context().connect(Usb::NormalConfiguration); }
    // The requests on the first controller's node, without its number.
    Lines controllerRequests()
    {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%03d ", controllerId());
        Lines requests;
        for (const std::string& request : bus->kernelRequests())
            if (request.rfind(prefix, 0) == 0)
                requests.push_back(request.substr(4));
        return requests;
    }
    int controllerId()
    {
        for (const auto& devices : simulator().topology())
            for (const sim::SimDevice& device : devices)
                if (device.controller)
                    return device.id;
        return 0;
    }
};

TEST_F(KernelInterface, TheLibraryReadsTheDescriptorsFromTheNodeThenConfiguresClaimsAndExchanges)
{
    ASSERT_TRUE(connect());
    EXPECT_EQ(controllerRequests(),
              (Lines{// the scan: connection, device and both configuration descriptors
                     "CONNECTINFO", "READ 18", "READ 8", "READ 17", "READ 8", "READ 24",
                     // the question for a hub's ports
                     "IOCTL 18 ENOTTY",
                     // the terminal's open
                     "SETCONFIGURATION 2", "CLAIMINTERFACE 0",
                     // probe and identity, each transfer one URB
                     "SUBMITURB 0x01 4", "REAPURB 0x01 4", "SUBMITURB 0x81 4", "REAPURB 0x81 4",
                     "SUBMITURB 0x01 8", "REAPURB 0x01 8", "SUBMITURB 0x81 72",
                     "REAPURB 0x81 20"}));
}

TEST_F(KernelInterface, TheKnownControllerIsReopenedWithoutAScan)
{
    ASSERT_TRUE(connect());
    bus->clearKernelRequests();
    ASSERT_TRUE(connect());
    const Lines requests = controllerRequests();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(Lines(requests.begin(), requests.begin() + 3),
              (Lines{"RELEASEINTERFACE 0", "SETCONFIGURATION 2", "CLAIMINTERFACE 0"}));
    for (const std::string& request : requests)
        EXPECT_EQ(request.rfind("READ", 0), std::string::npos) << request;
}

// The library hands the kernel at most 16 KiB per URB and stops at the first short one.
TEST_F(KernelInterface, AReadLargerThanAnUrbAsksForTheFirstUrbOnly)
{
    controller()->settings.capacity = 0xFFFF;
    ASSERT_TRUE(connect());
    EXPECT_EQ(connection->bufferSize(), 0xFFFF + 8);
    const Lines requests = controllerRequests();
    EXPECT_EQ(Lines(requests.end() - 2, requests.end()),
              (Lines{"SUBMITURB 0x81 16384", "REAPURB 0x81 20"}));
    EXPECT_EQ(simulator().traffic().back().lengthAsked, 16384);
}

// The library itself waits out the time-out, then discards the URB and reaps it.
TEST_F(KernelInterface, AnUnansweredReadIsDiscardedAfterTheTimeOut)
{
    controller()->faults.transferResults[1] = -110; // the probe's reply
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(connect());
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(Usb::DefaultTimeoutMs));
    const Lines requests = controllerRequests();
    ASSERT_GE(requests.size(), 4u);
    EXPECT_EQ(Lines(requests.end() - 4, requests.end()),
              (Lines{"SUBMITURB 0x81 4", "DISCARDURB 0x81", "REAPURB 0x81 0 ECONNRESET",
                     "RELEASEINTERFACE 0"}));
    EXPECT_EQ(notifier.log(), Lines{"Error: -110"});
}

// The kernel stores the part of an overlong reply that fits and ends the URB with EOVERFLOW; the
// library takes the byte count and goes on.
TEST_F(KernelInterface, ABabblingReplyIsReapedWithTheBytesThatFitAndOverflow)
{
    controller()->faults.probeReplyLength = 8;
    ASSERT_TRUE(connect());
    const Lines requests = controllerRequests();
    ASSERT_GE(requests.size(), 8u);
    EXPECT_EQ(Lines(requests.end() - 8, requests.end()),
              (Lines{"SUBMITURB 0x01 4", "REAPURB 0x01 4", "SUBMITURB 0x81 4",
                     "REAPURB 0x81 4 EOVERFLOW", "SUBMITURB 0x01 8", "REAPURB 0x01 8",
                     "SUBMITURB 0x81 72", "REAPURB 0x81 20"}));
    EXPECT_EQ(connection->bufferSize(), 72);
    EXPECT_TRUE(notifier.lines().empty());
}

// The kernel answers the open file that the device is gone, and removes its node.
TEST_F(KernelInterface, AnUnpluggedControllersNodeIsGoneAndItsFileAnswersNoDevice)
{
    controller()->faults.disconnectAfterExchanges = 2; // probe and identity
    ASSERT_TRUE(connect());
    bus->clearKernelRequests();
    EXPECT_FALSE(connect());
    EXPECT_EQ(controllerRequests(), Lines{"RELEASEINTERFACE 0 ENODEV"});
    EXPECT_EQ(notifier.log(), Lines{"Контроллер не обнаружен на шине USB"});
}
