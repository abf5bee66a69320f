// The link layer and its tasks on a bus, as the user and the controller see them. Built twice:
// on the stand-in library and on the real one (see UsbBus.h); every expectation holds for both.

#include <cstdlib>
#include <map>

#include <usb.h>

#include "link/ConfigTasks.h"
#include "link/DeviceTask.h"
#include "link/FirmwareTask.h"
#include "link/Packet.h"
#include "link/StatisticsTasks.h"
#include "usb/UsbBus.h"

using Lines = std::vector<std::string>;

namespace {
const std::string NotFound = "Контроллер не обнаружен на шине USB";
const std::string ConfigurationRefused = "Конфигурация контроллера не доступна";
const std::string InterfaceRefused = "Интерфейс контроллера не доступен";
const std::string ReadStarted = "Процесс чтения конфигурации запущен";

std::string hex(const sim::Transfer& transfer)
{
    return hexBytes(transfer.bytes.data(), static_cast<int>(transfer.bytes.size()));
}

std::vector<std::uint8_t> patterned(int count, int seed)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return bytes;
}

// The library's own lists, as its last enumeration left them: device ids in walk order.
std::vector<int> listedDeviceIds()
{
    std::vector<int> ids;
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* device = bus->devices; device; device = device->next)
            ids.push_back(std::atoi(device->filename));
    return ids;
}

void enumerate()
{
    usb_init();
    usb_find_busses();
    usb_find_devices();
}

// Another program's handle on the first controller the library lists.
usb_dev_handle* openListedController()
{
    enumerate();
    for (usb_bus* bus = usb_get_busses(); bus; bus = bus->next)
        for (struct usb_device* device = bus->devices; device; device = device->next)
            if (isController(device))
                return usb_open(device);
    return nullptr;
}
}

class UsbEndToEnd : public UsbFixture {
protected:
    bool connect() { return context().connect(Usb::NormalConfiguration); }
    void read()
    {
        auto c = context();
        readConfiguration(c);
    }
    void write()
    {
        auto c = context();
        writeConfiguration(c);
    }
    void run(TaskEvent event)
    {
        TDevice device(notifier, clock);
        device.events().set(event);
        device.runPass();
    }
    std::map<int, std::uint16_t> typeWordsById()
    {
        std::map<int, std::uint16_t> words;
        for (const auto& bus : simulator().topology())
            for (const sim::SimDevice& device : bus)
                if (device.controller)
                    words[device.id] = device.controller->settings.typeWord;
        return words;
    }
};

TEST_F(UsbEndToEnd, WithoutAControllerEachAttemptReportsItOnceAndTouchesNothing)
{
    const std::vector<std::pair<const char*, std::function<void(sim::Simulator&)>>> cases{
        {"no bus", [](sim::Simulator&) {}},
        {"an empty bus", [](sim::Simulator& s) { s.addBus(); }},
        {"other devices only",
         [](sim::Simulator& s) {
             s.addBus();
             s.addOtherDevice(0, 0x0451, 0x9002);
             s.addOtherDevice(0, 0x1234, 0x9001);
         }},
    };
    for (const auto& [name, build] : cases) {
        simulator().clear();
        notifier.clear();
        build(simulator());
        EXPECT_FALSE(connect()) << name;
        EXPECT_FALSE(connect()) << name;
        EXPECT_EQ(notifier.log(), (Lines{NotFound, NotFound})) << name;
        EXPECT_EQ(openHandles(), 0) << name;
        EXPECT_TRUE(simulator().traffic().empty()) << name;
    }
}

TEST_F(UsbEndToEnd, WithoutAControllerTheTasksCloseTheirWindows)
{
    simulator().clear();
    read();
    write();
    run(TaskEvent::LinkLoad);
    EXPECT_EQ(notifier.lines(),
              (Lines{"Device 0 " + NotFound, "Read close", "Device 0 " + NotFound, "Save close",
                     "Device 0 " + NotFound, "Link 5 0"}));
}

TEST_F(UsbEndToEnd, TheControllerIsOpenedInItsNormalConfigurationWithItsInterfaceHeld)
{
    ASSERT_TRUE(connect());
    EXPECT_TRUE(notifier.lines().empty());
    EXPECT_EQ(controller()->configuration(), 2);
    EXPECT_EQ(openHandles(), 1);
    usb_dev_handle* other = openListedController();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(usb_claim_interface(other, Usb::Interface), -16);
    EXPECT_EQ(usb_set_configuration(other, Usb::BootConfiguration), -16);
    usb_close(other);
}

TEST_F(UsbEndToEnd, ProbeAndIdentityTravelAsFramedAndTheIdentityArrivesInHostOrder)
{
    controller()->settings.typeWord = 0x1234;
    ASSERT_TRUE(connect());
    const auto traffic = simulator().traffic();
    ASSERT_EQ(traffic.size(), 4u);
    EXPECT_EQ(traffic[0].endpoint, 1);
    EXPECT_EQ(hex(traffic[0]), "00 00 00 40");
    EXPECT_EQ(traffic[1].endpoint, 0x81);
    EXPECT_EQ(traffic[1].lengthAsked, 4);
    EXPECT_EQ(hex(traffic[1]), "00 00 40 00");
    EXPECT_EQ(traffic[2].endpoint, 1);
    EXPECT_EQ(hex(traffic[2]), "01 00 00 00 00 00 00 00");
    EXPECT_EQ(traffic[3].endpoint, 0x81);
    EXPECT_EQ(traffic[3].lengthAsked, 72);
    EXPECT_EQ(hex(traffic[3]),
              "01 00 00 00 00 00 00 00 12 34 00 01 23 45 00 AB 0C 00 00 05");
    EXPECT_EQ(connection->bufferSize(), 72);
    EXPECT_EQ(hexBytes(connection->identity().data(), 12), "34 12 01 00 45 23 AB 00 00 0C 05 00");
}

TEST_F(UsbEndToEnd, TheKnownControllerIsReopenedSilently)
{
    ASSERT_TRUE(connect());
    ASSERT_TRUE(connect());
    EXPECT_TRUE(notifier.lines().empty());
    EXPECT_EQ(openHandles(), 1);
    EXPECT_EQ(simulator().traffic().size(), 8u);
}

TEST_F(UsbEndToEnd, AConfigurationReadAsksForEveryBlockAndHandsOverTheImage)
{
    const auto image = patterned(CONFIG_IMAGE_SIZE, 1);
    controller()->configMemory().fill(0, image);
    read();
    EXPECT_EQ(notifier.lines(),
              (Lines{"Device 0 " + ReadStarted, "Read 6 00 20 01 00 45 23 AB 00 00 0C 05 00",
                     "Read 4 200", "Read 7 64", "Read 7 128", "Read 7 192", "Read 7 200",
                     "Read 5 200", "Device 0 Процесс чтения конфигурации завершен",
                     "Device 2 200", "Device 8 record"}));
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(hex(requests[2]), "03 00 40 00 02 00 50 00 00 00");
    EXPECT_EQ(hex(requests[3]), "03 00 40 00 02 00 50 00 00 40");
    EXPECT_EQ(hex(requests[4]), "03 00 40 00 02 00 50 00 00 80");
    EXPECT_EQ(hex(requests[5]), "03 00 08 00 02 00 50 00 00 C0");
    std::vector<int> replies;
    for (const sim::Transfer& t : simulator().traffic())
        if (t.direction == sim::Transfer::Direction::In)
            replies.push_back(t.result);
    EXPECT_EQ(replies, (std::vector<int>{4, 20, 72, 72, 72, 16}));
    ASSERT_EQ(notifier.installedRecords().size(), 1u);
    const RecordBytes record = notifier.installedRecords()[0];
    EXPECT_TRUE(std::equal(image.begin(), image.end(), record.begin()));
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(UsbEndToEnd, AConfigurationWriteSendsPageBoundedBlocksThatLandInTheMemory)
{
    const auto image = patterned(CONFIG_IMAGE_SIZE, 3);
    std::copy(image.begin(), image.end(), notifier.record.bytes.begin());
    notifier.record.setTypeWord(controller()->settings.typeWord);
    notifier.writeCount = 110;
    const auto before = controller()->configMemory().read(0, 200);
    write();
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 6u);
    const auto block = [&](int address, int length) {
        char header[48];
        std::snprintf(header, sizeof header, "03 00 00 00 %02X 00 50 00 %02X %02X", length + 2,
                      address >> 8, address & 0xFF);
        return std::string(header) + " " + hexBytes(image.data() + address, length);
    };
    EXPECT_EQ(hex(requests[2]), block(0, 61));
    EXPECT_EQ(hex(requests[3]), block(61, 3));
    EXPECT_EQ(hex(requests[4]), block(64, 45));
    EXPECT_EQ(hex(requests[5]), block(109, 1));
    EXPECT_EQ(clock.taskPauses(), (std::vector<int>{620, 40, 460, 20}));
    const auto after = controller()->configMemory().read(0, 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(after[i], i < 110 ? image[i] : before[i]) << i;
    EXPECT_EQ(notifier.log(), (Lines{"Процесс загрузки конфигурации запущен",
                                     "Процесс загрузки конфигурации завершен"}));
}

TEST_F(UsbEndToEnd, PushesReachTheControllersParts)
{
    notifier.payloads[Target::Codec] = {0x08, 0x15};
    notifier.payloads[Target::Link] = patterned(18, 5);
    run(TaskEvent::CodecTest);
    run(TaskEvent::LinkLoad);
    const auto requests = sent();
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(hex(requests[2]), "03 00 00 00 02 00 1A 00 08 15");
    const auto link = patterned(18, 5);
    EXPECT_EQ(hex(requests[5]), "0A 00 00 00 00 00 00 00 " + hexBytes(link.data(), 18));
    EXPECT_EQ(controller()->devices().codec.writes(), (std::vector<std::pair<int, int>>{{4, 0x15}}));
    EXPECT_EQ(controller()->devices().parameters.block(10), link);
    EXPECT_EQ(notifier.log(), Lines{"Параметры соединения загружены."});
}

TEST_F(UsbEndToEnd, AReplyThatNeverComesIsReportedAsTheLibrarysTimeOut)
{
    controller()->faults.transferResults[1] = -110; // the probe's reply
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), Lines{"Error: -110"});
    EXPECT_EQ(connection->lastResult(), -110);
    EXPECT_EQ(openHandles(), 0);
}

TEST_F(UsbEndToEnd, ATimeOutInTheMiddleOfAReadClosesItsWindowAndTheConnection)
{
    controller()->faults.transferResults[5] = -110; // the first block's reply
    read();
    EXPECT_EQ(notifier.log(), (Lines{ReadStarted, "Error: -110"}));
    EXPECT_EQ(notifier.linesFor(Target::Read).back(), "Read close");
    EXPECT_TRUE(notifier.installedRecords().empty());
    EXPECT_FALSE(connection->isOpen());
    EXPECT_EQ(openHandles(), 0);
}

TEST_F(UsbEndToEnd, ShortRepliesAreMalformed)
{
    controller()->faults.replyLength = 19; // the identity reply one byte short
    EXPECT_FALSE(connect());
    controller()->faults.replyLength = 8 + 63; // a block one byte short
    read();
    EXPECT_EQ(notifier.log(), (Lines{"Error: -1", ReadStarted, "Error: -1"}));
    EXPECT_TRUE(notifier.installedRecords().empty());
    EXPECT_EQ(openHandles(), 0);
}

// A reply longer than the buffer is a babble: the kernel ends the transfer with EOVERFLOW, and the
// library, which counts the bytes of the transfer and never reads its status, returns the size
// asked for with the bytes that fit.
TEST_F(UsbEndToEnd, AReplyLongerThanTheBufferReadsAsTheFullBufferOfTheBytesThatFit)
{
    controller()->faults.probeReplyLength = 8;
    usb_dev_handle* handle = openListedController();
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(usb_set_configuration(handle, Usb::NormalConfiguration), 0);
    ASSERT_EQ(usb_claim_interface(handle, Usb::Interface), 0);
    char probe[4] = {0x00, 0x00, 0x00, 0x40};
    ASSERT_EQ(usb_bulk_write(handle, Usb::RequestEndpoint, probe, 4, 1000), 4);
    std::uint8_t reply[8];
    std::fill(std::begin(reply), std::end(reply), 0xEE);
    char* into = reinterpret_cast<char*>(reply);
    EXPECT_EQ(usb_bulk_read(handle, Usb::ReplyEndpoint, into, 4, 1000), 4);
    EXPECT_EQ(hexBytes(reply, 8), "00 00 40 00 EE EE EE EE");
    const sim::Transfer read = simulator().traffic().back();
    EXPECT_EQ(read.lengthAsked, 4);
    EXPECT_EQ(read.result, 4);
    EXPECT_EQ(read.overflow, 4) << "the controller sent 8 bytes";
    usb_close(handle);
}

// A babbling controller is no USB failure to the terminal: it goes on with the bytes that fit.
TEST_F(UsbEndToEnd, AStatisticsReadGoesOnWithTheBytesOfABabbleThatFit)
{
    struct Case {
        const char* name;
        std::uint16_t capacity;
        std::function<void(sim::Faults&)> fault;
        Lines lines;
        Lines log;
        std::size_t transfer; // the babbling reply's place in the traffic
        int asked;
        int overflow;
        int openHandles;
    };
    const Case cases[]{
        {"an 8-byte probe reply", 76, [](sim::Faults& f) { f.probeReplyLength = 8; },
         {"Report 10"}, {}, 1, 4, 4, 1},
        {"the whole record from a controller of capacity 64", 64,
         [](sim::Faults& f) {
             f.replyFilter = [](const sim::Request& request, std::vector<std::uint8_t>& reply) {
                 if (request.command == 8)
                     reply.resize(84);
             };
         },
         {"Device 1 -1"}, {"Error: -1"}, 5, 72, 12, 0},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = c.capacity;
        c.fault(controller()->faults);
        auto taskContext = context();
        reportStatistics(taskContext);
        Lines lines = notifier.lines();
        for (std::string& line : lines)
            if (line.rfind("Report 10 ", 0) == 0)
                line = "Report 10";
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_EQ(notifier.log(), c.log) << c.name;
        const auto traffic = simulator().traffic();
        ASSERT_GT(traffic.size(), c.transfer) << c.name;
        const sim::Transfer& reply = traffic[c.transfer];
        EXPECT_EQ(reply.endpoint, Usb::ReplyEndpoint) << c.name;
        EXPECT_EQ(reply.lengthAsked, c.asked) << c.name;
        EXPECT_EQ(reply.result, c.asked) << c.name;
        EXPECT_EQ(reply.overflow, c.overflow) << c.name;
        EXPECT_EQ(openHandles(), c.openHandles) << c.name;
        connection->CloseConnection();
    }
}

TEST_F(UsbEndToEnd, AnInterfaceHeldByAnotherProgramBlocksTheConfigurationUntilReleased)
{
    usb_dev_handle* other = openListedController();
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(usb_set_configuration(other, Usb::NormalConfiguration), 0);
    ASSERT_EQ(usb_claim_interface(other, Usb::Interface), 0);
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), Lines{ConfigurationRefused});
    usb_close(other);
    EXPECT_TRUE(connect());
    EXPECT_EQ(openHandles(), 1);
}

TEST_F(UsbEndToEnd, AnInterfaceADriverTakesIsRefusedAtTheClaim)
{
    controller()->faults.interfaceBusy = true;
    EXPECT_FALSE(connect());
    EXPECT_EQ(notifier.log(), Lines{InterfaceRefused});
    EXPECT_EQ(openHandles(), 0);
}

TEST_F(UsbEndToEnd, AControllerUnpluggedDuringAReadIsGoneForTheNextTask)
{
    controller()->faults.disconnectAfterExchanges = 3; // probe, identity, first block
    read();
    EXPECT_EQ(notifier.log(), (Lines{ReadStarted, "Error: -19"}));
    EXPECT_EQ(notifier.linesFor(Target::Read).back(), "Read close");
    EXPECT_FALSE(connection->isOpen());
    notifier.clear();
    read();
    EXPECT_EQ(notifier.lines(), (Lines{"Device 0 " + NotFound, "Read close"}));
    EXPECT_EQ(openHandles(), 0);
}

TEST_F(UsbEndToEnd, TheLibraryCallsAnswerWithTheKernelsErrorNumbers)
{
    usb_dev_handle* first = openListedController();
    usb_dev_handle* second = openListedController();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    char bytes[4] = {};
    EXPECT_EQ(usb_release_interface(first, Usb::Interface), -22) << "not claimed";
    EXPECT_EQ(usb_set_configuration(first, 3), -22) << "no such configuration";
    EXPECT_EQ(usb_set_configuration(first, Usb::NormalConfiguration), 0);
    EXPECT_EQ(usb_bulk_write(first, Usb::BootEndpoint, bytes, 4, 100), -2)
        << "the boot endpoint is not in the normal configuration";
    EXPECT_EQ(usb_claim_interface(first, Usb::Interface), 0);
    EXPECT_EQ(usb_claim_interface(second, Usb::Interface), -16);
    EXPECT_EQ(usb_set_configuration(first, Usb::BootConfiguration), -16) << "held, even by itself";
    EXPECT_EQ(usb_release_interface(first, Usb::Interface), 0);
    EXPECT_EQ(usb_set_configuration(second, Usb::BootConfiguration), 0);
    EXPECT_EQ(usb_bulk_write(second, Usb::BootEndpoint, bytes, 4, 100), 4);
    usb_close(first);
    usb_close(second);
    EXPECT_EQ(openHandles(), 0);
}

TEST_F(UsbEndToEnd, OfSeveralControllersTheLastOfTheLibrarysWalkIsKept)
{
    simulator().clear();
    simulator().addBus();
    simulator().addBus();
    simulator().addOtherDevice(0, 0x046D, 0xC077);
    simulator().addController(0, {.typeWord = 0x1000});
    simulator().addController(0, {.typeWord = 0x1100});
    simulator().addController(1, {.typeWord = 0x2001});
    ASSERT_TRUE(connect());
    const std::vector<int> walk = listedDeviceIds();
    ASSERT_EQ(walk.size(), 4u);
    const auto words = typeWordsById();
    int last = 0;
    for (int id : walk)
        if (words.count(id))
            last = id;
    EXPECT_EQ(connection->identityWord0(), words.at(last));
    EXPECT_EQ(openHandles(), 1);
}

TEST_F(UsbEndToEnd, AControllerPluggedInLaterIsListedFirstAndReopenedFromThen)
{
    ASSERT_TRUE(connect());
    const std::vector<int> before = listedDeviceIds();
    ASSERT_EQ(before.size(), 1u);
    simulator().addController(0, {.typeWord = 0x2001});
    enumerate();
    const std::vector<int> after = listedDeviceIds();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1], before[0]) << "the known controller keeps its place behind the new one";
    ASSERT_TRUE(connect());
    EXPECT_EQ(connection->identityWord0(), 0x2001);
    EXPECT_TRUE(notifier.lines().empty());
    EXPECT_EQ(openHandles(), 1);
}

namespace {
std::shared_ptr<const FirmwareImage> firmwareImage(int size)
{
    auto image = std::make_shared<FirmwareImage>(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        (*image)[i] = static_cast<std::uint8_t>(i * 13 + i / 256 + 5);
    return image;
}
}

TEST_F(UsbEndToEnd, AFirmwareLoadLeavesTheImageInTheFlashAndTheConnectionOpen)
{
    notifier.image = firmwareImage(1000);
    auto c = context();
    loadFirmware(c);
    EXPECT_EQ(controller()->devices().flash.read(0, 1000), *notifier.image);
    EXPECT_EQ(controller()->devices().flash.read(1000, 16), std::vector<std::uint8_t>(16, 0xFF));
    EXPECT_EQ(notifier.log().back(), "Загрузка программного обеспечения завершена");
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(UsbEndToEnd, WithoutWorkingFirmwareTheImageIsStreamedToEndpointSixInConfigurationOne)
{
    controller()->settings.firmwareRuns = false;
    notifier.image = firmwareImage(100);
    auto c = context();
    loadFirmware(c);
    EXPECT_EQ(notifier.log(), (Lines{"Error: -110", "Процесс загрузки ПО (boot_mode) запущен",
                                     "Процесс загрузки ПО (boot_mode) завершен"}));
    std::vector<int> pieces;
    for (const sim::Transfer& transfer : sent())
        if (transfer.endpoint == 6)
            pieces.push_back(static_cast<int>(transfer.bytes.size()));
    EXPECT_EQ(pieces, (std::vector<int>{64, 36}));
    EXPECT_EQ(controller()->configuration(), 1);
    EXPECT_EQ(controller()->devices().bootLoader.received(), *notifier.image);
    EXPECT_FALSE(connection->isOpen());
}
