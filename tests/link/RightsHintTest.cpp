#include "support/SimFixture.h"

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "link/ConfigTasks.h"
#include "link/Packet.h"
#include "link/UsbRights.h"

namespace {
using Lines = std::vector<std::string>;
std::string hint()
{
    return UsbRights::HintText.toStdString();
}
const std::string ConfigurationText = "Конфигурация контроллера не доступна";
}

class RightsHint : public SimFixture {
protected:
    bool connect() { return context().connect(Usb::NormalConfiguration); }
};

TEST_F(RightsHint, ControllerRefusedForRightsIsNamedAfterTheTextAndNothingMoves)
{
    controller()->faults.rightsDenied = true;
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), (Lines{ConfigurationText, hint()}));
    EXPECT_TRUE(simulator().traffic().empty());
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

TEST_F(RightsHint, ReadTaskShowsTheHintAndClosesItsWindow)
{
    controller()->faults.rightsDenied = true;
    TaskContext task = context();
    readConfiguration(task);
    EXPECT_EQ(notifier.lines(), (Lines{"Device 0 " + ConfigurationText, "Device 0 " + hint(),
                                       "Read close"}));
}

TEST_F(RightsHint, RightsLostAfterAWorkingConnectionAreNamedByTheEnumeration)
{
    ASSERT_TRUE(connect());
    controller()->faults.rightsDenied = true;
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), (Lines{ConfigurationText, hint()}));
}

TEST_F(RightsHint, OtherRefusalsKeepTheirOneLine)
{
    controller()->faults.interfaceBusy = true;
    EXPECT_FALSE(connect());
    controller()->faults.interfaceBusy = false;
    controller()->faults.configurationRefused = true;
    EXPECT_FALSE(connect());
    controller()->faults.configurationRefused = false;
    ASSERT_TRUE(connect());
    simulator().clear();
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), (Lines{"Интерфейс контроллера не доступен", ConfigurationText,
                                     "Контроллер не обнаружен на шине USB"}));
}

TEST(UsbRightsRefused, OnlyThePermissionResultsCount)
{
    EXPECT_TRUE(UsbRights::refused(-EPERM));
    EXPECT_TRUE(UsbRights::refused(-EACCES));
    for (int other : {0, 1, -EBUSY, -ENODEV, -EIO, -ETIMEDOUT, -EBADF, -ENOENT})
        EXPECT_FALSE(UsbRights::refused(other)) << other;
}

namespace {
void writeAttributes(const QString& device, std::map<std::string, std::string> attributes)
{
    std::filesystem::create_directories(device.toStdString());
    for (const auto& [name, value] : attributes)
        std::ofstream(device.toStdString() + "/" + name) << value << "\n";
}
}

TEST(UsbRightsNodes, ControllersListedByTheKernelGiveTheirDeviceNodes)
{
    QTemporaryDir sysfs;
    ASSERT_TRUE(sysfs.isValid());
    const QString root = sysfs.path();
    writeAttributes(root + "/usb1", {{"idVendor", "1d6b"}, {"idProduct", "0002"}, {"busnum", "1"}, {"devnum", "1"}});
    writeAttributes(root + "/1-2", {{"idVendor", "0451"}, {"idProduct", "9001"}, {"busnum", "1"}, {"devnum", "5"}});
    writeAttributes(root + "/1-2:1.0", {{"bInterfaceNumber", "00"}});
    writeAttributes(root + "/3-1.4", {{"idVendor", "0451"}, {"idProduct", "9001"}, {"busnum", "3"}, {"devnum", "112"}});
    writeAttributes(root + "/2-1", {{"idVendor", "0451"}, {"idProduct", "9002"}, {"busnum", "2"}, {"devnum", "3"}});
    writeAttributes(root + "/2-2", {{"idVendor", "0451"}, {"idProduct", "9001"}, {"busnum", "x"}, {"devnum", "3"}});
    writeAttributes(root + "/2-3", {{"idVendor", "0451z"}, {"idProduct", "9001"}, {"busnum", "2"}, {"devnum", "4"}});

    auto nodes = UsbRights::controllerNodes(root.toStdString());
    std::sort(nodes.begin(), nodes.end());
    EXPECT_EQ(nodes, (Lines{"/dev/bus/usb/001/005", "/dev/bus/usb/003/112"}));
    EXPECT_TRUE(UsbRights::controllerNodes(root.toStdString() + "/missing").empty());
}

namespace {
// nodeRefused as an unprivileged user sees it: root passes every permission check, so as root
// the check runs in a child that has dropped to nobody.
bool refusedForUnprivileged(const std::string& node)
{
    if (geteuid() != 0)
        return UsbRights::nodeRefused(node);
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped ? (UsbRights::nodeRefused(node) ? 1 : 0) : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not drop to nobody";
    return WEXITSTATUS(status) == 1;
}
}

TEST(UsbRightsNodes, NodeWithoutReadWriteRightsIsRefusedAndAMissingOneIsNot)
{
    char name[] = "/tmp/r4xx-node-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string node = name;
    ASSERT_EQ(chmod(name, 0666), 0);
    EXPECT_FALSE(refusedForUnprivileged(node));
    ASSERT_EQ(chmod(name, geteuid() == 0 ? 0644 : 0444), 0);
    EXPECT_TRUE(refusedForUnprivileged(node));
    unlink(name);
    EXPECT_FALSE(refusedForUnprivileged(node));
}
