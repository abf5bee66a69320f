#include "support/SimFixture.h"

#include "link/Packet.h"

using sim::Transfer;

namespace {
const std::string NotFound = "Контроллер не обнаружен на шине USB";
}

class Connection : public SimFixture {
protected:
    bool connect() { return context().connect(Usb::NormalConfiguration); }
};

TEST_F(Connection, ProbeAndIdentityFollowTheFraming)
{
    ASSERT_TRUE(connect());
    const auto traffic = simulator().traffic();
    ASSERT_EQ(traffic.size(), 4u);
    EXPECT_EQ(traffic[0].endpoint, 1);
    EXPECT_EQ(hexBytes(traffic[0].bytes.data(), 4), "00 00 00 40");
    EXPECT_EQ(traffic[0].timeout, 1000);
    EXPECT_EQ(traffic[1].endpoint, 0x81);
    EXPECT_EQ(traffic[1].lengthAsked, 4);
    EXPECT_EQ(traffic[2].bytes.size(), 8u);
    EXPECT_EQ(traffic[2].bytes[0], 1);
    EXPECT_EQ(traffic[3].lengthAsked, 72);
    EXPECT_EQ(connection->bufferSize(), 72);
    EXPECT_EQ(controller()->configuration(), 2);
    EXPECT_TRUE(notifier.lines().empty());
}

TEST_F(Connection, IdentityWordsArriveHighByteFirstAndAreKeptInHostOrder)
{
    controller()->settings.typeWord = 0x1234;
    controller()->settings.chipId = 0x0005;
    ASSERT_TRUE(connect());
    EXPECT_EQ(connection->identityWord0(), 0x1234);
    EXPECT_EQ(hexBytes(connection->identity().data(), 12), "34 12 01 00 45 23 AB 00 00 0C 05 00");
}

TEST_F(Connection, LargestCapacityWorks)
{
    controller()->settings.capacity = 0xFFFF;
    ASSERT_TRUE(connect());
    EXPECT_EQ(connection->bufferSize(), 0xFFFF + 8);
    EXPECT_EQ(simulator().traffic().back().lengthAsked, 0xFFFF + 8);
}

struct MalformedCase {
    const char* name;
    std::function<void(sim::SimController&)> inject;
    std::string logged;
};

class MalformedReply : public Connection, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedReply, IsReportedAndLeavesNoConnection)
{
    GetParam().inject(*controller());
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), std::vector<std::string>{GetParam().logged});
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Connect, MalformedReply,
    ::testing::Values(
        MalformedCase{"ThreeByteProbeReply", [](auto& c) { c.faults.probeReplyLength = 3; }, "Error: -1"},
        MalformedCase{"CapacityZero", [](auto& c) { c.settings.capacity = 0; }, "Error: -1"},
        MalformedCase{"CapacityBelowIdentity", [](auto& c) { c.settings.capacity = 11; }, "Error: -1"},
        MalformedCase{"WrongIdentityCode", [](auto& c) { c.faults.identityReplyCode = 2; }, "Error: -1"},
        MalformedCase{"ShortIdentityReply", [](auto& c) { c.faults.replyLength = 19; }, "Error: -1"},
        MalformedCase{"ProbeWriteTimesOut", [](auto& c) { c.faults.transferResults[0] = -110; }, "Error: -110"},
        MalformedCase{"IdentityReadFails", [](auto& c) { c.faults.transferResults[3] = -5; }, "Error: -5"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TopologyCase {
    const char* name;
    std::function<void(sim::Simulator&)> build;
    std::string logged;
};

class Topology : public Connection, public ::testing::WithParamInterface<TopologyCase> {};

TEST_P(Topology, FailureIsReportedOnceAndNothingStaysOpen)
{
    simulator().clear();
    GetParam().build(simulator());
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), std::vector<std::string>{GetParam().logged});
    EXPECT_EQ(simulator().openHandleCount(), 0);
    EXPECT_TRUE(simulator().traffic().empty());
}

INSTANTIATE_TEST_SUITE_P(
    OpenConnection, Topology,
    ::testing::Values(
        TopologyCase{"NoBus", [](sim::Simulator&) {}, NotFound},
        TopologyCase{"OnlyOtherDevices",
                     [](sim::Simulator& s) {
                         s.addBus();
                         s.addOtherDevice(0, 0x0451, 0x9002);
                         s.addOtherDevice(0, 0x1234, 0x9001);
                     },
                     NotFound},
        TopologyCase{"ControllerDoesNotOpen",
                     [](sim::Simulator& s) {
                         s.addBus();
                         s.addController(0)->faults.openFails = true;
                     },
                     NotFound},
        TopologyCase{"ConfigurationRefused",
                     [](sim::Simulator& s) {
                         s.addBus();
                         s.addController(0)->faults.configurationRefused = true;
                     },
                     "Конфигурация контроллера не доступна"},
        TopologyCase{"InterfaceClaimedElsewhere",
                     [](sim::Simulator& s) {
                         s.addBus();
                         s.addController(0)->faults.interfaceBusy = true;
                     },
                     "Интерфейс контроллера не доступен"},
        TopologyCase{"SecondOfTwoControllersRefusesItsInterface",
                     [](sim::Simulator& s) {
                         s.addBus();
                         s.addController(0);
                         s.addController(0)->faults.interfaceBusy = true;
                     },
                     "Интерфейс контроллера не доступен"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Connection, EachAttemptWithoutControllerReportsOnce)
{
    simulator().clear();
    connect();
    connect();
    EXPECT_EQ(notifier.log(), (std::vector<std::string>{NotFound, NotFound}));
}

TEST_F(Connection, OfSeveralControllersTheLastThatOpenedIsKept)
{
    simulator().clear();
    simulator().addBus();
    simulator().addBus();
    simulator().addOtherDevice(0, 0x046D, 0xC077);
    simulator().addController(0, {.typeWord = 0x1000});
    simulator().addController(1, {.typeWord = 0x2001});
    ASSERT_TRUE(connect());
    EXPECT_EQ(connection->identityWord0(), 0x2001);
    EXPECT_EQ(simulator().openHandleCount(), 1);
}

TEST_F(Connection, KnownControllerIsReopenedSilentlyAndFailuresFallBackToEnumeration)
{
    ASSERT_TRUE(connect());
    ASSERT_TRUE(connect());
    EXPECT_EQ(simulator().openHandleCount(), 1);
    controller()->faults.interfaceBusy = true;
    EXPECT_FALSE(connect());
    // The re-open fails silently; only the fresh enumeration reports.
    EXPECT_EQ(notifier.log(), std::vector<std::string>{"Интерфейс контроллера не доступен"});
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

TEST_F(Connection, ReopeningTheFirstDeviceOfTheFirstBusEnumeratesNothing)
{
    ASSERT_TRUE(connect());
    EXPECT_EQ(simulator().enumerationCount(), 1);
    for (int again = 0; again < 3; ++again)
        ASSERT_TRUE(connect());
    EXPECT_EQ(simulator().enumerationCount(), 1) << "step 1 re-opened the known controller";
    EXPECT_EQ(simulator().openHandleCount(), 1);
    EXPECT_TRUE(notifier.log().empty());
}

TEST_F(Connection, ControllerBehindAnotherDeviceOrBusIsFoundByAFreshEnumerationEachTime)
{
    const struct {
        const char* name;
        int controllerBus;
    } cases[] = {{"behind another device on the first bus", 0}, {"on the second bus", 1}};
    for (const auto& c : cases) {
        simulator().reset();
        simulator().clear();
        simulator().addBus();
        simulator().addBus();
        simulator().addOtherDevice(0, 0x046D, 0xC077);
        simulator().addController(c.controllerBus);
        for (int attempt = 1; attempt <= 3; ++attempt) {
            ASSERT_TRUE(connect()) << c.name;
            EXPECT_EQ(simulator().enumerationCount(), attempt) << c.name;
            EXPECT_EQ(simulator().openHandleCount(), 1) << c.name;
        }
    }
    EXPECT_TRUE(notifier.log().empty());
}

TEST_F(Connection, UnpluggedControllerIsNotFoundAgain)
{
    controller()->faults.disconnectAfterExchanges = 2;
    ASSERT_TRUE(connect());
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), std::vector<std::string>{NotFound});
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

TEST_F(Connection, DrainReadsOnceWithShortTimeoutThenCloses)
{
    ASSERT_TRUE(connect());
    simulator().clearTraffic();
    connection->drainAndClose();
    const auto traffic = simulator().traffic();
    ASSERT_EQ(traffic.size(), 1u);
    EXPECT_EQ(traffic[0].endpoint, 0x81);
    EXPECT_EQ(traffic[0].timeout, 100);
    EXPECT_EQ(traffic[0].lengthAsked, 72);
    EXPECT_FALSE(connection->isOpen());
    EXPECT_EQ(simulator().openHandleCount(), 0);
}
