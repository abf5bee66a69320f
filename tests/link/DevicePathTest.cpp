#include "support/SimFixture.h"

#include "link/DevicePath.h"
#include "link/Packet.h"

#include <algorithm>

namespace {

TEST(DevicePath, ParsesBusSlashDevice)
{
    const struct {
        const char* text;
        std::optional<std::pair<const char*, const char*>> parts;
    } cases[] = {
        {"001/003", std::pair{"001", "003"}},
        {"1/3", std::pair{"1", "3"}},
        {"", std::nullopt},
        {"001", std::nullopt},
        {"001/", std::nullopt},
        {"/003", std::nullopt},
        {"001/003/5", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<DevicePath> path = parseDevicePath(QString::fromUtf8(c.text));
        ASSERT_EQ(path.has_value(), c.parts.has_value()) << c.text;
        if (path) {
            EXPECT_EQ(path->bus, c.parts->first) << c.text;
            EXPECT_EQ(path->device, c.parts->second) << c.text;
            EXPECT_EQ(path->text(), QString::fromUtf8(c.text));
        }
    }
}

TEST(DevicePath, NumbersNameTheSameDeviceWithOrWithoutLeadingZeros)
{
    const DevicePath listed{"001", "003"};
    EXPECT_TRUE((DevicePath{"1", "3"}).names(listed));
    EXPECT_TRUE((DevicePath{"001", "003"}).names(listed));
    EXPECT_FALSE((DevicePath{"001", "004"}).names(listed));
    EXPECT_FALSE((DevicePath{"002", "003"}).names(listed));
    EXPECT_FALSE((DevicePath{"usb1", "003"}).names(listed));
}

// Three controllers on two busses, behind another device: R-410ZA, R-420ZA, R-420ZB.
class ChosenController : public SimFixture {
protected:
    ChosenController()
    {
        simulator().clear();
        simulator().addBus();
        simulator().addBus();
        simulator().addOtherDevice(0, 0x046D, 0xC077);
        controllers.push_back(simulator().addController(0, {.typeWord = 0x1000}));
        controllers.push_back(simulator().addController(0, {.typeWord = 0x2000}));
        controllers.push_back(simulator().addController(1, {.typeWord = 0x2001}));
    }
    bool connectTo(const std::optional<DevicePath>& path)
    {
        connection->choose(path);
        return context().connect(Usb::NormalConfiguration);
    }
    std::vector<int> transferCounts() const
    {
        std::vector<int> counts;
        for (const auto& controller : controllers)
            counts.push_back(controller->transferCount());
        return counts;
    }

    // Where the simulator put controller i: bus numbers from 1, device numbers its device ids.
    DevicePath pathOf(int i)
    {
        const auto topology = simulator().topology();
        for (std::size_t bus = 0; bus < topology.size(); ++bus)
            for (const sim::SimDevice& device : topology[bus])
                if (device.controller == controllers[static_cast<std::size_t>(i)])
                    return {QStringLiteral("%1").arg(bus + 1, 3, 10, QChar(u'0')),
                            QStringLiteral("%1").arg(device.id, 3, 10, QChar(u'0'))};
        return {};
    }

    std::vector<std::shared_ptr<sim::SimController>> controllers;
};

TEST_F(ChosenController, ListsEveryControllerAndNoOtherDevice)
{
    std::vector<QString> listed;
    for (const DevicePath& path : controllerPaths())
        listed.push_back(path.text());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<QString>{pathOf(0).text(), pathOf(1).text(), pathOf(2).text()}));
}

TEST_F(ChosenController, OnlyTheChosenControllerIsOpenedAndTalkedTo)
{
    // The second written without its leading zeros.
    const DevicePath unpadded{QString::number(pathOf(1).bus.toInt()),
                              QString::number(pathOf(1).device.toInt())};
    const struct {
        DevicePath path;
        std::uint16_t typeWord;
        std::vector<int> transfers;
    } cases[] = {
        {pathOf(0), 0x1000, {4, 0, 0}},
        {unpadded, 0x2000, {4, 4, 0}},
        {pathOf(2), 0x2001, {4, 4, 4}},
    };
    for (const auto& c : cases) {
        const std::string name = c.path.text().toStdString();
        ASSERT_TRUE(connectTo(c.path)) << name;
        EXPECT_EQ(connection->identityWord0(), c.typeWord) << name;
        EXPECT_EQ(transferCounts(), c.transfers) << name;
        EXPECT_EQ(simulator().openHandleCount(), 1) << name;
    }
    EXPECT_TRUE(notifier.log().empty());
}

TEST_F(ChosenController, ABusyNeighbourDoesNotKeepTheChosenOneFromOpening)
{
    controllers[2]->faults.interfaceBusy = true;
    ASSERT_FALSE(connectTo(std::nullopt)) << "the whole walk ends at the busy controller";
    EXPECT_EQ(notifier.log(), std::vector<std::string>{"Интерфейс контроллера не доступен"});
    notifier.clear();
    ASSERT_TRUE(connectTo(pathOf(0)));
    EXPECT_EQ(connection->identityWord0(), 0x1000);
    EXPECT_TRUE(notifier.log().empty());
}

TEST_F(ChosenController, ABusyChosenControllerIsReportedAsTheTerminalReportsIt)
{
    controllers[1]->faults.interfaceBusy = true;
    EXPECT_FALSE(connectTo(pathOf(1)));
    EXPECT_EQ(notifier.log(), std::vector<std::string>{"Интерфейс контроллера не доступен"});
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

TEST_F(ChosenController, APathWithoutAControllerFindsNone)
{
    const DevicePath first = pathOf(0);
    const DevicePath other{first.bus, QString::number(first.device.toInt() - 1)};
    const DevicePath beyond{first.bus, QString::number(first.device.toInt() + 9)};
    const DevicePath noBus{QStringLiteral("003"), first.device};
    for (const DevicePath& path : {other, beyond, noBus}) {
        notifier.clear();
        EXPECT_FALSE(connectTo(path)) << path.text().toStdString();
        EXPECT_EQ(notifier.log(), std::vector<std::string>{"Контроллер не обнаружен на шине USB"})
            << path.text().toStdString();
    }
}

TEST_F(ChosenController, TheChosenControllerIsReopenedWithoutANewEnumeration)
{
    const DevicePath last = pathOf(2);
    const int enumerations = simulator().enumerationCount();
    ASSERT_TRUE(connectTo(last));
    for (int again = 0; again < 3; ++again)
        ASSERT_TRUE(connectTo(last));
    EXPECT_EQ(simulator().enumerationCount(), enumerations + 1);
    EXPECT_EQ(connection->identityWord0(), 0x2001);
    EXPECT_EQ(transferCounts(), (std::vector<int>{0, 0, 16}));
}

} // namespace
