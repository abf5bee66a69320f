#include "support/SimFixture.h"

#include <climits>
#include <condition_variable>
#include <functional>

#include "link/DeviceTask.h"
#include "link/FirmwareBlocks.h"
#include "link/FirmwareTask.h"
#include "link/Packet.h"

using Lines = std::vector<std::string>;
using Programs = std::vector<std::pair<int, int>>;

namespace {
constexpr int Stuck = INT_MAX;

std::shared_ptr<const FirmwareImage> patternedImage(int size)
{
    auto image = std::make_shared<FirmwareImage>(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        (*image)[i] = static_cast<std::uint8_t>(i * 13 + i / 256 + 5);
    return image;
}

bool isFlashInstruction(const sim::Transfer& t, std::uint8_t code)
{
    return t.endpoint == 1 && t.bytes.size() > 8 && headerWord(t.bytes.data(), 0) == 2
        && t.bytes[8] == code;
}

// The (address, data length) of every page program sent.
Programs pagePrograms(const std::vector<sim::Transfer>& requests)
{
    Programs blocks;
    for (const sim::Transfer& t : requests)
        if (isFlashInstruction(t, FlashInstruction::PageProgram))
            blocks.emplace_back((t.bytes[9] << 16) | (t.bytes[10] << 8) | t.bytes[11],
                                static_cast<int>(t.bytes.size()) - 12);
    return blocks;
}

std::vector<int> streamPieces(const std::vector<sim::Transfer>& requests)
{
    std::vector<int> pieces;
    for (const sim::Transfer& t : requests)
        if (t.endpoint == 6)
            pieces.push_back(static_cast<int>(t.bytes.size()));
    return pieces;
}

std::vector<std::uint8_t> firstBytes(const FirmwareImage& image, int count)
{
    return {image.begin(), image.begin() + count};
}
}

class FirmwareTask : public SimFixture {
protected:
    FirmwareTask() { controller()->settings.capacity = 300; }

    void load(int imageSize)
    {
        notifier.image = patternedImage(imageSize);
        load();
    }
    void load()
    {
        auto c = context();
        loadFirmware(c);
    }
    sim::SerialFlash& flash() { return controller()->devices().flash; }
    std::vector<std::uint8_t> flashBytes(int address, int count)
    {
        return flash().read(address, count);
    }
    // The index of the first transfer from an index on (over all transfers, both directions)
    // that matches.
    int firstTransfer(const std::function<bool(const sim::Transfer&)>& match, int from)
    {
        const auto traffic = simulator().traffic();
        for (auto i = static_cast<std::size_t>(from); i < traffic.size(); ++i)
            if (match(traffic[i]))
                return static_cast<int>(i);
        return -1;
    }
    Lines flashLines(std::size_t from) const
    {
        const Lines all = notifier.linesFor(Target::Flash);
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }
};

TEST_F(FirmwareTask, NormalLoadErasesProgramsAndLeavesTheImageInTheFlash)
{
    load(1000);
    EXPECT_EQ(notifier.lines(),
              (Lines{"Flash 0 Удаление программного обеспечения",
                     "Device 0 Удаление программного обеспечения", "Flash 4 11", "Flash 7 0",
                     "Flash 7 1", "Flash 7 2", "Flash 7 3", "Flash 7 4", "Flash 7 11", "Flash 7 0",
                     "Flash 0 Загрузка программного обеспечения",
                     "Device 0 Загрузка программного обеспечения", "Flash 9 request",
                     "Flash 4 1000", "Flash 7 0", "Flash 7 256", "Flash 7 512", "Flash 7 768",
                     "Flash 7 999", "Flash 7 1000", "Flash 5 1000",
                     "Device 0 Загрузка программного обеспечения завершена", "Device 3 1000"}));
    EXPECT_EQ(flashBytes(0, 1000), firstBytes(*notifier.image, 1000));
    EXPECT_EQ(flashBytes(1000, 2000), std::vector<std::uint8_t>(2000, 0xFF));
    EXPECT_EQ(pagePrograms(requests()),
              (Programs{{0, 256}, {256, 256}, {512, 256}, {768, 231}, {999, 1}}));
    // Five erase polls a second apart, the two settling pauses, 1 ms after each full page.
    EXPECT_EQ(clock.taskPauses(),
              (std::vector<int>{1000, 1000, 1000, 1000, 1000, 500, 500, 1, 1, 1}));
    EXPECT_TRUE(connection->isOpen());
    EXPECT_EQ(flash().ignoredInstructions(), 0);
}

TEST_F(FirmwareTask, InstructionsOnTheWire)
{
    load(300);
    const auto sent = requests();
    ASSERT_GE(sent.size(), 12u);
    // After the probe and the identity: write enable, chip erase, status polls.
    EXPECT_EQ(hexBytes(sent[2].bytes.data(), 9), "02 00 00 00 01 00 04 00 06");
    EXPECT_EQ(hexBytes(sent[3].bytes.data(), 9), "02 00 00 00 01 00 04 00 C7");
    EXPECT_EQ(hexBytes(sent[4].bytes.data(), 9), "02 00 01 00 01 00 04 00 05");
    for (std::size_t i = 2; i < 9; ++i)
        EXPECT_EQ(sent[i].bytes.size(), 9u) << i;
    const auto second = std::find_if(sent.begin(), sent.end(), [](const sim::Transfer& t) {
        return isFlashInstruction(t, FlashInstruction::PageProgram) && t.bytes[10] == 1;
    });
    ASSERT_NE(second, sent.end());
    // 44 bytes remain at 0x100: 43, odd, with Param2 = 47 and 55 bytes sent.
    EXPECT_EQ(hexBytes(second->bytes.data(), 12), "02 00 00 00 2F 00 04 00 02 00 01 00");
    EXPECT_EQ(second->bytes.size(), 55u);
    EXPECT_EQ(hexBytes(second->bytes.data() + 12, 3), hexBytes(notifier.image->data() + 256, 3));
    for (const sim::Transfer& t : simulator().traffic())
        EXPECT_EQ(t.timeout, 1000);
}

TEST_F(FirmwareTask, BlockSequences)
{
    struct Case {
        int capacity;
        int imageSize;
        Programs firstBlocks;
    };
    const Case cases[]{
        {300, 256, {{0, 256}}},
        {260, 258, {{0, 256}, {256, 1}, {257, 1}}},
        {259, 600, {{0, 255}, {255, 1}, {256, 255}, {511, 1}, {512, 87}, {599, 1}}},
        {64, 300,
         {{0, 59}, {59, 59}, {118, 59}, {177, 59}, {236, 19}, {255, 1}, {256, 43}, {299, 1}}},
        {300, 0, {}},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = static_cast<std::uint16_t>(c.capacity);
        load(c.imageSize);
        EXPECT_EQ(pagePrograms(requests()), c.firstBlocks) << c.capacity << " " << c.imageSize;
        EXPECT_EQ(flashBytes(0, c.imageSize), firstBytes(*notifier.image, c.imageSize));
        EXPECT_EQ(notifier.linesFor(Target::Flash).back(),
                  "Flash 5 " + std::to_string(c.imageSize));
    }
}

TEST_F(FirmwareTask, SmallCapacityNeverCrossesAPage)
{
    controller()->settings.capacity = 64;
    load(5000);
    const Programs blocks = pagePrograms(requests());
    int next = 0;
    for (const auto& [address, length] : blocks) {
        EXPECT_EQ(address, next);
        EXPECT_LE(length, 59);
        EXPECT_EQ(address / 256, (address + length - 1) / 256) << address;
        next = address + length;
    }
    EXPECT_EQ(next, 5000);
    EXPECT_EQ(flashBytes(0, 5000), firstBytes(*notifier.image, 5000));
}

TEST_F(FirmwareTask, ImageOverTheLimitProgramsTheFirst128KiB)
{
    load(0x20000 + 1000);
    const Programs blocks = pagePrograms(requests());
    ASSERT_EQ(blocks.size(), 512u);
    EXPECT_EQ(blocks.back(), (std::pair{0x20000 - 256, 256}));
    EXPECT_EQ(flashBytes(0, 0x20000), firstBytes(*notifier.image, 0x20000));
    EXPECT_EQ(flashBytes(0x20000, 1000), std::vector<std::uint8_t>(1000, 0xFF));
    const Lines flash = notifier.linesFor(Target::Flash);
    EXPECT_NE(std::find(flash.begin(), flash.end(), "Flash 4 132072"), flash.end());
    EXPECT_EQ(flash.back(), "Flash 5 131072");
    EXPECT_EQ(notifier.lines().back(), "Device 3 131072");
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(FirmwareTask, ImageNeverReadPastItsEnd)
{
    notifier.image = patternedImage(1000);
    notifier.imageSize = 5000;
    load();
    EXPECT_EQ(pagePrograms(requests()).back(), (std::pair{999, 1}));
    EXPECT_EQ(notifier.linesFor(Target::Flash).back(), "Flash 5 1000");
}

TEST_F(FirmwareTask, BootModeWhenTheFirmwareDoesNotAnswer)
{
    controller()->settings.firmwareRuns = false;
    load(100);
    EXPECT_EQ(notifier.log(), (Lines{"Error: -110", "Процесс загрузки ПО (boot_mode) запущен",
                                     "Процесс загрузки ПО (boot_mode) завершен"}));
    EXPECT_EQ(notifier.linesFor(Target::Flash),
              (Lines{"Flash 9 request", "Flash 4 100", "Flash 7 64", "Flash 7 100",
                     "Flash 5 100"}));
    EXPECT_EQ(notifier.lines().back(), "Device 3 100");
    // The failed probe, then nothing but the stream, on configuration 1.
    const auto sent = requests();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].endpoint, 1);
    EXPECT_EQ(streamPieces(sent), (std::vector<int>{64, 36}));
    EXPECT_EQ(sent[1].timeout, 1000);
    EXPECT_EQ(controller()->configuration(), 1);
    EXPECT_EQ(controller()->devices().bootLoader.received(), *notifier.image);
    EXPECT_FALSE(connection->isOpen());
    EXPECT_EQ(simulator().openHandleCount(), 0);
}

TEST_F(FirmwareTask, BootModeStreamsALargeImageWhole)
{
    controller()->settings.firmwareRuns = false;
    load(70000);
    EXPECT_EQ(controller()->devices().bootLoader.received(), *notifier.image);
    const std::vector<int> pieces = streamPieces(requests());
    ASSERT_EQ(pieces.size(), 1094u);
    EXPECT_EQ(pieces.back(), 70000 - 1093 * 64);
    EXPECT_EQ(flash().ignoredInstructions(), 0);
    EXPECT_EQ(flashBytes(0, 16), std::vector<std::uint8_t>(16, 0xFF));
}

// The controller's firmware runs, but another program holds it for a moment: the configuration
// that boot mode asks for would then be granted, and the image streamed where no boot loader
// listens.
TEST_F(FirmwareTask, AControllerAnotherProgramHoldsGetsNoBootModeLoad)
{
    for (bool atConfiguration : {true, false}) {
        simulator().reset();
        notifier.clear();
        controller()->faults.connectionFaultsOnce = true;
        if (atConfiguration)
            controller()->faults.configurationRefused = true;
        else
            controller()->faults.interfaceBusy = true;
        load(100);
        const std::string refused = atConfiguration ? "Конфигурация контроллера не доступна"
                                                    : "Интерфейс контроллера не доступен";
        EXPECT_EQ(notifier.lines(), (Lines{"Device 0 " + refused, "Flash close"})) << atConfiguration;
        EXPECT_TRUE(requests().empty()) << atConfiguration;
        EXPECT_TRUE(controller()->devices().bootLoader.received().empty()) << atConfiguration;
        EXPECT_EQ(simulator().openHandleCount(), 0) << atConfiguration;
    }
}

TEST_F(FirmwareTask, NoControllerInEitherConfiguration)
{
    simulator().clear();
    load(100);
    EXPECT_EQ(notifier.lines(), (Lines{"Device 0 Контроллер не обнаружен на шине USB",
                                       "Device 0 Контроллер не обнаружен на шине USB",
                                       "Flash close"}));
}

TEST_F(FirmwareTask, BusyChipBounds)
{
    struct Case {
        const char* what;
        int eraseBusyReads;
        int programBusyReads;
        bool completes;
        int statusReads; // after the chip erase
    };
    const Case cases[]{
        {"erase ends at the twelfth poll", 11, 1, true, 12 + 1 + 4 * 2},
        {"erase still busy at the twelfth poll", 12, 1, false, 12},
        {"page program ready at the last allowed read", 1, 999, true, 2 + 1 + 4 * 1000},
        {"page program never ready", 1, Stuck, false, 2 + 1 + ProgramBusyPolls},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = 300;
        flash().eraseBusyReads = c.eraseBusyReads;
        flash().programBusyReads = c.programBusyReads;
        load(600);
        const auto sent = requests();
        const int statusReads =
            static_cast<int>(std::count_if(sent.begin(), sent.end(), [](const sim::Transfer& t) {
                return isFlashInstruction(t, FlashInstruction::ReadStatus);
            }));
        EXPECT_EQ(statusReads, c.statusReads) << c.what;
        if (c.completes) {
            EXPECT_EQ(notifier.lines().back(), "Device 3 600") << c.what;
            EXPECT_EQ(flashBytes(0, 600), firstBytes(*notifier.image, 600)) << c.what;
            EXPECT_TRUE(connection->isOpen()) << c.what;
        } else {
            // The byte count of the last status reply: its header and the status byte.
            EXPECT_EQ(notifier.log().back(), "Error: 9") << c.what;
            EXPECT_EQ(notifier.lines().back(), "Flash close") << c.what;
            EXPECT_TRUE(isFlashInstruction(sent.back(), FlashInstruction::ReadStatus)) << c.what;
            EXPECT_FALSE(connection->isOpen()) << c.what;
        }
    }
}

TEST_F(FirmwareTask, EraseWaitGivesUpAfterTwelvePollsASecondApart)
{
    flash().eraseBusyReads = Stuck;
    load(600);
    EXPECT_EQ(flashLines(2), (Lines{"Flash 7 0", "Flash 7 1", "Flash 7 2", "Flash 7 3", "Flash 7 4",
                                    "Flash 7 5", "Flash 7 6", "Flash 7 7", "Flash 7 8", "Flash 7 9",
                                    "Flash 7 10", "Flash 7 11", "Flash close"}));
    EXPECT_EQ(clock.taskPauses(), std::vector<int>(12, 1000));
    EXPECT_TRUE(pagePrograms(requests()).empty());
}

TEST_F(FirmwareTask, StuckChipStillEndsTheTaskOfAClosedWindow)
{
    flash().programBusyReads = Stuck;
    // Progress 0 comes at the first erase poll, after settling and before the first page.
    int zeroReports = 0;
    notifier.afterNotify = [&](const std::string& line) {
        if (line == "Flash 7 0" && ++zeroReports == 3)
            notifier.close(Target::Flash);
    };
    load(600);
    EXPECT_EQ(pagePrograms(requests()).size(), 1u);
    EXPECT_EQ(notifier.log().back(), "Error: 9");
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(FirmwareTask, UsbFailureInEachPhase)
{
    using Match = std::function<bool(const sim::Transfer&)>;
    const auto instruction = [](std::uint8_t code) -> Match {
        return [code](const sim::Transfer& t) {
            return t.direction == sim::Transfer::Direction::Out && isFlashInstruction(t, code);
        };
    };
    const Match stream = [](const sim::Transfer& t) { return t.endpoint == 6; };
    struct Case {
        const char* what;
        bool boot;
        Match after; // the failing request is the first match after this one
        Match match;
    };
    const Case cases[]{
        {"write enable before the erase", false, {}, instruction(FlashInstruction::WriteEnable)},
        {"chip erase", false, {}, instruction(FlashInstruction::ChipErase)},
        {"erase status read", false, {}, instruction(FlashInstruction::ReadStatus)},
        {"write enable before a page", false, instruction(FlashInstruction::ChipErase),
         instruction(FlashInstruction::WriteEnable)},
        {"page program", false, {}, instruction(FlashInstruction::PageProgram)},
        {"status read between pages", false, instruction(FlashInstruction::PageProgram),
         instruction(FlashInstruction::ReadStatus)},
        {"boot piece", true, stream, stream},
    };
    for (const Case& c : cases) {
        for (int reply = 0; reply < (c.boot ? 1 : 2); ++reply) {
            const auto prepare = [&] {
                simulator().reset();
                notifier.clear();
                controller()->settings.capacity = 300;
                controller()->settings.firmwareRuns = !c.boot;
            };
            prepare();
            load(600);
            const int from = c.after ? firstTransfer(c.after, 0) + 1 : 0;
            const int request = firstTransfer(c.match, from);
            ASSERT_GT(request, 0) << c.what;
            // Fail the request itself, or the reply read that follows it.
            const int failing = request + reply;
            prepare();
            controller()->faults.transferResults[failing] = -5;
            load();
            const std::string what = std::string(c.what) + (reply ? ", reply" : "");
            EXPECT_EQ(notifier.log().back(), "Error: -5") << what;
            EXPECT_EQ(notifier.lines().back(), "Flash close") << what;
            EXPECT_EQ(static_cast<int>(simulator().traffic().size()), failing + 1) << what;
            EXPECT_FALSE(connection->isOpen()) << what;
        }
    }
}

TEST_F(FirmwareTask, StatusReplyWithoutItsStatusByteIsMalformed)
{
    controller()->faults.replyFilter = [](const sim::Request& request,
                                          std::vector<std::uint8_t>& reply) {
        if (request.command == 2 && request.param1 == 1)
            reply.resize(8);
    };
    load(600);
    EXPECT_EQ(notifier.log(), (Lines{"Удаление программного обеспечения", "Error: -1"}));
    EXPECT_EQ(notifier.lines().back(), "Flash close");
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(FirmwareTask, ClosedWindowEndsTheTaskAtItsNextReport)
{
    const Lines erasing{"Удаление программного обеспечения"};
    const Lines programming{"Удаление программного обеспечения",
                            "Загрузка программного обеспечения"};
    struct Case {
        const char* what;
        bool boot;
        std::string closeAfter;
        int written; // bytes programmed (normal mode) or streamed (boot mode)
        Lines log;
    };
    const Case cases[]{
        {"during the erase", false, "Flash 7 2", 0, erasing},
        {"while settling", false, "Flash 7 11", 0, erasing},
        {"at the image request", false, "Flash 9 request", 0, programming},
        {"during programming", false, "Flash 7 512", 768, programming},
        {"while streaming", true, "Flash 7 128", 192,
         {"Error: -110", "Процесс загрузки ПО (boot_mode) запущен"}},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = 300;
        controller()->settings.firmwareRuns = !c.boot;
        notifier.afterNotify = [&](const std::string& line) {
            if (line == c.closeAfter)
                notifier.close(Target::Flash);
        };
        load(1000);
        EXPECT_EQ(notifier.linesFor(Target::Flash).back(), c.closeAfter) << c.what;
        EXPECT_EQ(notifier.log(), c.log) << c.what;
        EXPECT_TRUE(connection->isOpen()) << c.what;
        const std::vector<std::uint8_t> expected = firstBytes(*notifier.image, c.written);
        if (c.boot) {
            EXPECT_EQ(controller()->devices().bootLoader.received(), expected) << c.what;
        } else {
            EXPECT_EQ(flashBytes(0, c.written), expected) << c.what;
            EXPECT_EQ(flashBytes(c.written, 1000 - c.written),
                      std::vector<std::uint8_t>(1000 - c.written, 0xFF))
                << c.what;
        }
    }
}

TEST_F(FirmwareTask, ErasePollsStopWithinASecondOfTheClose)
{
    flash().eraseBusyReads = Stuck;
    notifier.afterNotify = [this](const std::string& line) {
        if (line == "Flash 7 3")
            notifier.close(Target::Flash);
    };
    load(600);
    // The status read after the last report, then one more pause before the report that
    // finds the window gone.
    EXPECT_EQ(clock.taskPauses(), std::vector<int>(5, 1000));
    EXPECT_TRUE(isFlashInstruction(requests().back(), FlashInstruction::ReadStatus));
}

TEST_F(FirmwareTask, TheTaskKeepsItsShareOfTheImage)
{
    std::weak_ptr<const FirmwareImage> watched;
    notifier.afterNotify = [&](const std::string& line) {
        // The window lets its image go, as a closing window does.
        if (line == "Flash 4 1000") {
            watched = notifier.image;
            notifier.image.reset();
        }
    };
    const auto expected = *patternedImage(1000);
    load(1000);
    EXPECT_EQ(flashBytes(0, 1000), expected);
    EXPECT_TRUE(watched.expired()) << "released once the task is done with it";
}

TEST(FirmwareBlocks, LargestProgramBlockByCapacity)
{
    const std::pair<int, int> cases[]{{0xFFFF, 256}, {260, 256}, {259, 255}, {64, 60}, {12, 8}};
    for (const auto& [capacity, largest] : cases)
        EXPECT_EQ(largestProgramBlock(capacity), largest) << capacity;
}

TEST_F(FirmwareTask, RunsOnTheWorkerThread)
{
    notifier.image = patternedImage(5000);
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    notifier.afterNotify = [&](const std::string& line) {
        if (line != "Device 3 5000")
            return;
        std::lock_guard lock(mutex);
        done = true;
        changed.notify_all();
    };
    {
        TDevice device(notifier, clock);
        device.startWorker();
        device.events().set(TaskEvent::FirmwareLoad);
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return done; }));
    }
    EXPECT_EQ(flashBytes(0, 5000), *notifier.image);
    EXPECT_EQ(simulator().openHandleCount(), 0) << "drained and closed when the worker ended";
}
