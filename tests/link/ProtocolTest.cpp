#include <array>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/FirmwareBlocks.h"
#include "link/ParameterTasks.h"
#include "link/Protocol.h"
#include "support/RecordingNotifier.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The request a builder writes, as hex bytes, from a packet that starts full of 0xEE.
std::string framed(const std::function<int(std::uint8_t*)>& build)
{
    std::array<std::uint8_t, 128> packet;
    packet.fill(0xEE);
    return hexBytes(packet.data(), build(packet.data()));
}

TEST(Protocol, EveryRequestIsFramedWithLittleEndianHeaderWords)
{
    const Bytes data{0xA1, 0xA2, 0xA3};
    const struct {
        const char* what;
        std::function<int(std::uint8_t*)> build;
        const char* bytes;
    } cases[]{
        {"probe", Protocol::probeRequest, "00 00 00 40"},
        {"identity", Protocol::identityRequest, "01 00 00 00 00 00 00 00"},
        {"memory read of 64 bytes at 0x0140",
         [](std::uint8_t* p) { return Protocol::memoryRequest(p, 0x0140, 64, {}); },
         "03 00 40 00 02 00 50 00 01 40"},
        {"memory write of three bytes at 0x0020",
         [&](std::uint8_t* p) { return Protocol::memoryRequest(p, 0x0020, 0, data); },
         "03 00 00 00 05 00 50 00 00 20 A1 A2 A3"},
        {"flash status read",
         [](std::uint8_t* p) {
             return Protocol::flashRequest(p, {FlashInstruction::ReadStatus}, {}, 1);
         },
         "02 00 01 00 01 00 04 00 05"},
        {"flash page program at 0x012345",
         [&](std::uint8_t* p) {
             return Protocol::flashRequest(p, {FlashInstruction::PageProgram, 0x01, 0x23, 0x45},
                                           data, 0);
         },
         "02 00 00 00 07 00 04 00 02 01 23 45 A1 A2 A3"},
        {"flash read of 300 bytes at 0x01FF00",
         [](std::uint8_t* p) {
             const auto [high, middle, low] = flashAddress(0x01FF00);
             return Protocol::flashRequest(p, {FlashInstruction::ReadData, high, middle, low}, {},
                                           300);
         },
         "02 00 2C 01 04 00 04 00 03 01 FF 00"},
        {"codec push: zeros past the payload",
         [](std::uint8_t* p) {
             const Bytes payload{0x0C, 0x34};
             return Protocol::pushRequest(p, parameterPush(TaskEvent::CodecTest).frame, payload);
         },
         "03 00 00 00 02 00 1A 00 0C 34"},
        {"network load: a short payload is padded with zeros",
         [](std::uint8_t* p) {
             const Bytes payload{0x01};
             return Protocol::pushRequest(p, parameterPush(TaskEvent::NetworkLoad).frame, payload);
         },
         "09 00 00 00 00 00 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
         "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
        {"statistics report",
         [](std::uint8_t* p) { return Protocol::statisticsRequest(p, Statistics::Mode::Report); },
         "08 00 01 00 4C 00 00 00"},
        {"trace selection",
         [](std::uint8_t* p) { return Protocol::traceSelectionRequest(p, 0x0009); },
         "05 00 09 00 00 00 00 00"},
        {"trace fetch", Protocol::traceFetchRequest, "06 00 00 00 00 00 00 00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(framed(c.build), c.bytes) << c.what;
}

// What the log would show for a reply: the number after "Error: ", or 0 for a reply taken.
template <typename Value>
int logged(const Protocol::Reply<Value>& reply)
{
    const Protocol::Failure* failure = Protocol::failureOf(reply);
    return failure ? failure->logged() : 0;
}

Bytes reply(std::uint16_t command, std::initializer_list<std::uint8_t> afterCommand)
{
    Bytes bytes{static_cast<std::uint8_t>(command & 0xFF), static_cast<std::uint8_t>(command >> 8)};
    bytes.insert(bytes.end(), afterCommand);
    return bytes;
}

TEST(Protocol, ProbeAndIdentityRepliesAreCheckedAndTakenApart)
{
    const Bytes probe{0x00, 0x00, 0x40, 0x00};
    EXPECT_EQ(std::get<int>(Protocol::probeReply(probe.data(), 4)), 64);
    EXPECT_EQ(logged(Protocol::probeReply(probe.data(), 3)), -1) << "cut short";
    const Bytes tiny{0x00, 0x00, 0x0B, 0x00};
    EXPECT_EQ(logged(Protocol::probeReply(tiny.data(), 4)), -1) << "no room for the identity";

    const Bytes identity = reply(1, {0, 0, 0, 0, 0, 0, 0x34, 0x12, 0x01, 0x00, 0x45, 0x23, 0xAB,
                                     0x00, 0x00, 0x0C, 0x05, 0x00});
    const auto block = std::get<Protocol::IdentityBlock>(
        Protocol::identityReply(identity.data(), static_cast<int>(identity.size())));
    EXPECT_EQ(hexBytes(block.data(), 12), "12 34 00 01 23 45 00 AB 0C 00 00 05");
    EXPECT_EQ(logged(Protocol::identityReply(identity.data(), 19)), -1) << "cut short";
    const Bytes other = reply(2, {0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(logged(Protocol::identityReply(other.data(), 20)), -1) << "another command";
}

TEST(Protocol, ReadBackStatisticsAndTraceRepliesAreCheckedAndTakenApart)
{
    const Bytes memory = reply(3, {0, 0, 0, 0, 0, 0, 0xA1, 0xA2});
    const auto data = std::get<std::span<const std::uint8_t>>(
        Protocol::dataReply(memory.data(), 10, 2));
    EXPECT_EQ(Bytes(data.begin(), data.end()), (Bytes{0xA1, 0xA2}));
    EXPECT_EQ(logged(Protocol::dataReply(memory.data(), 9, 2)), -1);

    const Bytes flash = reply(2, {3, 0, 4, 0, 4, 0, 0xB1, 0xB2, 0xB3});
    const auto flashData = std::get<std::span<const std::uint8_t>>(
        Protocol::flashDataReply(flash.data(), 11, 3));
    EXPECT_EQ(Bytes(flashData.begin(), flashData.end()), (Bytes{0xB1, 0xB2, 0xB3}));
    EXPECT_EQ(logged(Protocol::flashDataReply(flash.data(), 10, 3)), -1) << "cut short";
    EXPECT_EQ(logged(Protocol::flashDataReply(flash.data(), 1, 3)), -1) << "no command word";
    EXPECT_EQ(logged(Protocol::flashDataReply(memory.data(), 10, 2)), -2) << "another command";

    Bytes counters = reply(8, {0, 0, 0, 0, 0, 0});
    counters.resize(8 + Statistics::RecordSize, 0x5A);
    EXPECT_EQ(std::get<Protocol::CountersRecord>(Protocol::statisticsReply(counters.data(), 84))[75],
              0x5A);
    EXPECT_EQ(logged(Protocol::statisticsReply(counters.data(), 83)), -1);
    EXPECT_EQ(logged(Protocol::statisticsReply(counters.data(), 1)), -1);
    counters[0] = 9;
    EXPECT_EQ(logged(Protocol::statisticsReply(counters.data(), 84)), -2);

    const Bytes trace = reply(6, {0, 0, 0, 0, 0, 0, 0x00, 0x02, 0x01, 0xA5});
    const auto fetched =
        std::get<Protocol::TraceFetchReply>(Protocol::traceFetchReply(trace.data(), 12));
    ASSERT_TRUE(fetched.record);
    EXPECT_EQ(fetched.record->kind, 2);
    EXPECT_EQ(fetched.remaining, 2);
    const auto empty =
        std::get<Protocol::TraceFetchReply>(Protocol::traceFetchReply(trace.data(), 8));
    EXPECT_FALSE(empty.record);
    EXPECT_EQ(empty.remaining, 0);
    const auto shortOfItsWord =
        std::get<Protocol::TraceFetchReply>(Protocol::traceFetchReply(trace.data(), 1));
    EXPECT_FALSE(shortOfItsWord.record);
    EXPECT_LE(shortOfItsWord.remaining, 0) << "the run ends";
    const Bytes wrong = reply(7, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(logged(Protocol::traceFetchReply(wrong.data(), 8)), -2);
}

TEST(Protocol, AFailedTransferKeepsItsUsbResult)
{
    const Bytes unused(8, 0);
    EXPECT_EQ(logged(Protocol::parsed(-110, unused.data(), Protocol::statisticsReply)), -110);
    EXPECT_EQ(logged(Protocol::parsed(-5, unused.data(), Protocol::probeReply)), -5);
}

} // namespace
