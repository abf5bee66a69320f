#include "support/SimFixture.h"

#include <random>

#include "link/DeviceTask.h"
#include "link/Packet.h"
#include "link/Protocol.h"
#include "link/StatisticsTasks.h"

using Lines = std::vector<std::string>;

namespace {

std::string hexOf(const std::vector<std::uint8_t>& bytes)
{
    return hexBytes(bytes.data(), static_cast<int>(bytes.size()));
}

// The counters as the controller sends them: 19 words, most significant byte first.
std::string recordHex(const sim::StatisticsCounters::Values& values)
{
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t value : values)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    return hexOf(bytes);
}

} // namespace

// A controller whose packets hold the whole counters record, with counters on a clock the test
// moves.
class StatisticsTasks : public SimFixture {
protected:
    StatisticsTasks()
    {
        controller().settings.capacity = 128;
        counters().setClock([this] { return now; });
    }
    sim::SimController& controller() { return *SimFixture::controller(); }
    sim::StatisticsCounters& counters() { return controller().devices().statistics; }
    void run(TaskEvent event)
    {
        TDevice device(notifier, clock);
        device.events().set(event);
        device.runPass();
    }
    // The statistics exchange: the two transfers after probe and identity (the worker's drain
    // at its end follows them).
    std::vector<sim::Transfer> statisticsTransfers() const
    {
        const auto traffic = sim::Simulator::instance().traffic();
        return {traffic.begin() + 4, traffic.begin() + 6};
    }
    std::string reportLine() { return "Report 10 " + recordHex(counters().lastAnswer()); }

    std::chrono::steady_clock::time_point now{};
};

TEST_F(StatisticsTasks, BothModesSendCommand8WithTheRecordLengthAndWaitOnly100Ms)
{
    for (const auto& [event, request] :
         {std::pair{TaskEvent::StatisticsReport, "08 00 01 00 4C 00 00 00"},
          std::pair{TaskEvent::StatisticsReset, "08 00 00 00 4C 00 00 00"}}) {
        simulator().clearTraffic();
        notifier.clear();
        run(event);
        ASSERT_GE(simulator().traffic().size(), 6u) << request;
        const auto transfers = statisticsTransfers();
        EXPECT_EQ(transfers[0].endpoint, 1);
        EXPECT_EQ(hexOf(transfers[0].bytes), request);
        EXPECT_EQ(transfers[0].timeout, 100);
        EXPECT_EQ(transfers[1].endpoint, 0x81);
        EXPECT_EQ(transfers[1].lengthAsked, 128 + 8) << "up to the buffer's size";
        EXPECT_EQ(transfers[1].timeout, 100);
        EXPECT_EQ(notifier.lines(), Lines{reportLine()}) << request;
    }
}

TEST_F(StatisticsTasks, ReportCountsTheTimeSinceTheResetAndTheResetShowsWhatItReturned)
{
    now += std::chrono::seconds(300);
    run(TaskEvent::StatisticsReport);
    ASSERT_EQ(notifier.lines(), Lines{reportLine()});
    EXPECT_EQ(notifier.lines()[0].substr(0, 21), "Report 10 00 00 01 2C") << "300 seconds";
    EXPECT_GT(counters().lastAnswer()[10], 0u) << "audio packets were sent meanwhile";

    notifier.clear();
    now += std::chrono::seconds(5);
    run(TaskEvent::StatisticsReset);
    ASSERT_EQ(notifier.lines(), Lines{reportLine()});
    const auto answered = counters().lastAnswer();
    EXPECT_EQ(answered[0], 0u) << "collection starts again";
    for (int traffic = 3; traffic <= 14; ++traffic)
        EXPECT_EQ(answered[traffic], 0u) << traffic;
    EXPECT_GT(answered[17], 0u) << "the processor load is a gauge, not a count";

    notifier.clear();
    now += std::chrono::seconds(7);
    run(TaskEvent::StatisticsReport);
    EXPECT_EQ(counters().lastAnswer()[0], 7u);
}

TEST_F(StatisticsTasks, TimeOutStopsTheWindowLogsTheResultAndDropsTheConnection)
{
    // Transfers 0 to 3 are probe and identity; 4 is the request, 5 its reply.
    for (const int transfer : {4, 5}) {
        simulator().reset();
        notifier.clear();
        controller().settings.capacity = 128;
        controller().faults.transferResults[transfer] = sim::UsbError::TimedOut;
        run(TaskEvent::StatisticsReport);
        EXPECT_EQ(notifier.lines(), (Lines{"Report 5 0", "Device 1 -110"})) << transfer;
        EXPECT_EQ(notifier.log(), Lines{"Error: -110"});
        EXPECT_EQ(simulator().openHandleCount(), 0) << transfer;
    }
}

TEST_F(StatisticsTasks, NoControllerStopsTheWindow)
{
    simulator().clear();
    run(TaskEvent::StatisticsReport);
    EXPECT_EQ(notifier.linesFor(Target::Report), Lines{"Report 5 0"});
    EXPECT_EQ(notifier.log(), Lines{"Контроллер не обнаружен на шине USB"});
}

TEST_F(StatisticsTasks, ReplyToAnotherCommandIsLoggedAndTheNextTickPollsAgain)
{
    int replies = 0;
    controller().faults.replyFilter = [&replies](const sim::Request& request,
                                                 std::vector<std::uint8_t>& reply) {
        if (request.command == 8 && replies++ == 0)
            reply[0] = 6;
    };
    run(TaskEvent::StatisticsReport);
    EXPECT_EQ(notifier.lines(), Lines{"Device 1 -2"}) << "the window goes on polling";
    EXPECT_EQ(simulator().openHandleCount(), 0);

    notifier.clear();
    simulator().clearTraffic();
    run(TaskEvent::StatisticsReport);
    ASSERT_GE(simulator().traffic().size(), 6u);
    EXPECT_EQ(hexOf(statisticsTransfers()[0].bytes), "08 00 01 00 4C 00 00 00");
    EXPECT_EQ(notifier.lines(), Lines{reportLine()});
}

// A reply too short for the record would leave the previous exchange's bytes in its place.
TEST_F(StatisticsTasks, ShortReplyIsMalformedAndPollingGoesOn)
{
    struct Case {
        const char* name;
        int capacity;
        std::optional<int> replyLength;
        Lines lines;
    };
    const Case cases[]{
        {"PacketsTooSmallForTheRecord", 64, std::nullopt, {"Device 1 -1"}},
        {"OneByteShort", 128, 83, {"Device 1 -1"}},
        {"HeaderOnly", 128, 8, {"Device 1 -1"}},
        {"HalfACommandWord", 128, 1, {"Device 1 -1"}},
        {"Empty", 128, 0, {"Device 1 -1"}},
        {"WholeRecord", 76, std::nullopt, {"Report 10"}},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller().settings.capacity = static_cast<std::uint16_t>(c.capacity);
        if (c.replyLength)
            controller().faults.replyFilter = [length = *c.replyLength](
                                                  const sim::Request& request,
                                                  std::vector<std::uint8_t>& reply) {
                if (request.command == 8)
                    reply.resize(static_cast<std::size_t>(length));
            };
        run(TaskEvent::StatisticsReport);
        Lines lines = notifier.lines();
        for (std::string& line : lines)
            if (line.rfind("Report 10 ", 0) == 0)
                line = "Report 10";
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST_F(StatisticsTasks, ClosedWindowEndsTheTaskQuietly)
{
    notifier.close(Target::Report);
    run(TaskEvent::StatisticsReport);
    EXPECT_TRUE(notifier.lines().empty());

    controller().faults.transferResults[5 + 6] = sim::UsbError::TimedOut;
    run(TaskEvent::StatisticsReport);
    EXPECT_TRUE(notifier.lines().empty()) << "no error for a window that is gone";
}

// The number the log shows for a statistics reply of a length, or 0 for a good one.
int statisticsReplyError(const std::vector<std::uint8_t>& reply, int length)
{
    const auto parsed = Protocol::statisticsReply(reply.data(), length);
    const Protocol::Failure* failure = Protocol::failureOf(parsed);
    return failure ? failure->logged() : 0;
}

TEST(StatisticsReply, ErrorsByLengthAndCommand)
{
    std::vector<std::uint8_t> reply(200, 0);
    writeLe16(reply.data(), 8);
    reply[Usb::HeaderSize] = 0xAB;
    EXPECT_EQ(statisticsReplyError(reply, 84), 0);
    EXPECT_EQ(statisticsReplyError(reply, 200), 0);
    EXPECT_EQ(std::get<Protocol::CountersRecord>(Protocol::statisticsReply(reply.data(), 84))[0],
              0xAB);
    EXPECT_EQ(statisticsReplyError(reply, 83), -1);
    EXPECT_EQ(statisticsReplyError(reply, 2), -1);
    EXPECT_EQ(statisticsReplyError(reply, 1), -1);
    writeLe16(reply.data(), 0x0108);
    EXPECT_EQ(statisticsReplyError(reply, 84), -2);
    EXPECT_EQ(statisticsReplyError(reply, 2), -2);
}

// Whatever the controller answers, the window receives only whole statistics replies, and
// exactly the bytes of the reply.
TEST(StatisticsRobustness, OnlyWholeRepliesReachTheWindow)
{
    std::mt19937 random(19072024);
    for (int round = 0; round < 300; ++round) {
        sim::Simulator::instance().reset();
        auto controller = sim::Simulator::instance().controller();
        controller->settings.capacity = static_cast<std::uint16_t>(random() % 200);
        std::vector<std::uint8_t> lastReply;
        controller->faults.replyFilter = [&](const sim::Request& request,
                                             std::vector<std::uint8_t>& reply) {
            if (request.command != 8)
                return;
            if (random() % 2)
                reply.resize(random() % (reply.size() + 8));
            if (random() % 4 == 0 && reply.size() >= 2)
                reply[random() % 2] = static_cast<std::uint8_t>(random());
            lastReply = reply;
        };
        RecordingNotifier notifier;
        TestClock clock;
        {
            TDevice device(notifier, clock);
            device.events().set(random() % 2 ? TaskEvent::StatisticsReport
                                             : TaskEvent::StatisticsReset);
            device.runPass();
        }
        for (const std::string& line : notifier.linesFor(Target::Report)) {
            if (line.rfind("Report 10 ", 0) != 0)
                continue;
            const int capacity = controller->settings.capacity;
            ASSERT_GE(std::min<int>(static_cast<int>(lastReply.size()), capacity + 8), 84) << round;
            EXPECT_EQ(headerWord(lastReply.data(), 0), 8) << round;
            EXPECT_EQ(line.substr(10), hexBytes(lastReply.data() + 8, 76)) << round;
        }
    }
    sim::Simulator::instance().reset();
}
