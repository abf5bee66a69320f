#include "support/SimFixture.h"

#include <climits>

#include "link/DeviceTask.h"
#include "link/FirmwareBlocks.h"
#include "link/FirmwareReadTask.h"
#include "link/FirmwareTask.h"
#include "link/Packet.h"

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;
// The (address, byte count) of every firmware memory read sent.
using Reads = std::vector<std::pair<int, int>>;

namespace {
constexpr int Stuck = INT_MAX;

std::shared_ptr<const FirmwareImage> patternedImage(int size)
{
    auto image = std::make_shared<FirmwareImage>(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i)
        (*image)[i] = static_cast<std::uint8_t>(i * 7 + i / 256 + 3);
    return image;
}

bool isFlashInstruction(const sim::Transfer& t, std::uint8_t code)
{
    return t.endpoint == Usb::RequestEndpoint && t.bytes.size() > Usb::HeaderSize
        && headerWord(t.bytes.data(), 0) == 2 && t.bytes[Usb::HeaderSize] == code;
}

Reads flashReads(const std::vector<sim::Transfer>& requests)
{
    Reads reads;
    for (const sim::Transfer& t : requests)
        if (isFlashInstruction(t, FlashInstruction::ReadData))
            reads.emplace_back((t.bytes[9] << 16) | (t.bytes[10] << 8) | t.bytes[11],
                               headerWord(t.bytes.data(), 1));
    return reads;
}

int statusReads(const std::vector<sim::Transfer>& requests)
{
    return static_cast<int>(std::count_if(requests.begin(), requests.end(), [](const sim::Transfer& t) {
        return isFlashInstruction(t, FlashInstruction::ReadStatus);
    }));
}
}

class FirmwareRead : public SimFixture {
protected:
    FirmwareRead() { controller()->settings.capacity = 300; }

    sim::SerialFlash& flash() { return controller()->devices().flash; }
    // The image loaded through the firmware task, as the firmware window has it loaded.
    void load(const std::shared_ptr<const FirmwareImage>& image)
    {
        notifier.image = image;
        auto c = context();
        loadFirmware(c);
        notifier.clear();
        simulator().clearTraffic();
    }
    void read(std::int64_t start, std::int64_t length,
              std::shared_ptr<const FirmwareImage> expected = nullptr)
    {
        notifier.flashRange = {start, length, std::move(expected)};
        auto c = context();
        readFirmware(c);
    }
};

TEST_F(FirmwareRead, AnIntactLoadIsConfirmed)
{
    const auto image = patternedImage(1000);
    load(image);
    read(0, 1000, image);
    EXPECT_EQ(notifier.lines(),
              (Lines{"Flash 9 request", "Flash 0 Проверка программного обеспечения",
                     "Device 0 Проверка программного обеспечения", "Flash 4 1000", "Flash 7 0",
                     "Flash 7 300", "Flash 7 600", "Flash 7 900", "Flash 7 1000",
                     "Flash 0 Программное обеспечение совпадает с файлом", "Flash 11 1000",
                     "Device 0 Программное обеспечение совпадает с файлом"}));
    // After the probe and the identity: one status read, then the reads, each as long as a reply
    // of the controller carries.
    const auto sent = requests();
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(hexBytes(sent[2].bytes.data(), 9), "02 00 01 00 01 00 04 00 05");
    EXPECT_EQ(hexBytes(sent[3].bytes.data(), static_cast<int>(sent[3].bytes.size())),
              "02 00 2C 01 04 00 04 00 03 00 00 00");
    EXPECT_EQ(flashReads(sent), (Reads{{0, 300}, {300, 300}, {600, 300}, {900, 100}}));
    for (const sim::Transfer& t : simulator().traffic())
        EXPECT_EQ(t.timeout, 1000);
    EXPECT_TRUE(connection->isOpen());
    EXPECT_EQ(flash().ignoredInstructions(), 0);
}

TEST_F(FirmwareRead, TheFirstDifferenceIsNamedWithBothBytes)
{
    struct Case {
        const char* what;
        std::map<int, std::uint8_t> worn;
        std::string verdict;
        std::string compared;
        Reads reads; // the reading stops with the block that holds the difference
    };
    const auto image = patternedImage(1000);
    const Case cases[]{
        {"first byte", {{0, 0x00}}, "Расхождение по адресу 0x000000: в файле 03, в контроллере 00",
         "Flash 11 0 differs at 000000: 03, read 00", {{0, 300}}},
        {"in the third block, and a later one",
         {{0x2A5, 0xFF}, {0x300, 0x00}},
         "Расхождение по адресу 0x0002A5: в файле 88, в контроллере FF",
         "Flash 11 677 differs at 0002A5: 88, read FF", {{0, 300}, {300, 300}, {600, 300}}},
        {"last byte", {{999, 0x5A}},
         "Расхождение по адресу 0x0003E7: в файле 57, в контроллере 5A",
         "Flash 11 999 differs at 0003E7: 57, read 5A",
         {{0, 300}, {300, 300}, {600, 300}, {900, 100}}},
    };
    for (const Case& c : cases) {
        simulator().reset();
        controller()->settings.capacity = 300;
        flash().wornCells = c.worn;
        load(image);
        read(0, 1000, image);
        EXPECT_EQ(notifier.log(), (Lines{"Проверка программного обеспечения", c.verdict}))
            << c.what;
        const Lines window = notifier.linesFor(Target::Flash);
        ASSERT_GE(window.size(), 2u) << c.what;
        EXPECT_EQ(window[window.size() - 2], "Flash 0 " + c.verdict) << c.what;
        EXPECT_EQ(window.back(), c.compared) << c.what;
        EXPECT_EQ(flashReads(requests()), c.reads) << c.what;
        EXPECT_TRUE(connection->isOpen()) << c.what;
    }
}

TEST_F(FirmwareRead, ABackupHoldsWhatWasLoaded)
{
    const auto image = patternedImage(5000);
    load(image);
    read(0, 0x20000);
    ASSERT_EQ(notifier.flashReads().size(), 1u);
    const Bytes backup = notifier.flashReads().front();
    ASSERT_EQ(backup.size(), 0x20000u);
    EXPECT_EQ(Bytes(backup.begin(), backup.begin() + 5000), *image);
    EXPECT_EQ(Bytes(backup.begin() + 5000, backup.end()), Bytes(0x20000 - 5000, 0xFF));
    EXPECT_EQ(notifier.log(), (Lines{"Чтение программного обеспечения",
                                     "Чтение программного обеспечения завершено"}));
    const Lines window = notifier.linesFor(Target::Flash);
    EXPECT_EQ(window[2], "Flash 4 131072");
    EXPECT_EQ(window.back(), "Flash 12 131072 bytes from 0");
    EXPECT_EQ(notifier.lines().back(), "Device 2 131072");
    EXPECT_EQ(flashReads(requests()).size(), 437u) << "131072 bytes in blocks of 300";
}

TEST_F(FirmwareRead, RangesAndBlocks)
{
    struct Case {
        const char* what;
        int capacity;
        std::int64_t start;
        std::int64_t length;
        Reads reads;
        std::string handedOver;
    };
    const Case cases[]{
        {"small capacity", 64, 0x100, 150, {{0x100, 64}, {0x140, 64}, {0x180, 22}},
         "Flash 12 150 bytes from 256"},
        {"across the end of the part a load writes", 300, 0x1FF00, 1000,
         {{0x1FF00, 256}}, "Flash 12 256 bytes from 130816"},
        {"empty", 300, 0, 0, {}, "Flash 12 0 bytes from 0"},
        {"start past the end", 300, 0x20001, 10, {}, "Flash 12 0 bytes from 0"},
        {"negative start", 300, -1, 10, {}, "Flash 12 0 bytes from 0"},
    };
    Bytes contents(0x20000);
    for (std::size_t i = 0; i < contents.size(); ++i)
        contents[i] = static_cast<std::uint8_t>(i * 11 + i / 256);
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = static_cast<std::uint16_t>(c.capacity);
        flash().preload(0, contents);
        read(c.start, c.length);
        EXPECT_EQ(flashReads(requests()), c.reads) << c.what;
        EXPECT_EQ(notifier.linesFor(Target::Flash).back(), c.handedOver) << c.what;
        ASSERT_EQ(notifier.flashReads().size(), 1u) << c.what;
        const std::int64_t from = c.reads.empty() ? 0 : c.start;
        EXPECT_EQ(notifier.flashReads().front(),
                  Bytes(contents.begin() + from,
                        contents.begin() + from
                            + static_cast<std::int64_t>(notifier.flashReads().front().size())))
            << c.what;
    }
}

TEST_F(FirmwareRead, AnImageShorterOrLongerThanTheRangeIsComparedAsFarAsBothGo)
{
    const auto image = patternedImage(0x20000 + 700);
    flash().preload(0, Bytes(image->begin(), image->end()));
    read(0, 0x20000 + 700, image);
    EXPECT_EQ(notifier.linesFor(Target::Flash).back(), "Flash 11 131072");
    notifier.clear();
    read(0, 0x20000, patternedImage(400));
    EXPECT_EQ(notifier.linesFor(Target::Flash).back(), "Flash 11 400");
    EXPECT_EQ(flashReads(requests()).back(), (std::pair{300, 100}));
}

TEST_F(FirmwareRead, ABusyChipIsWaitedForWithinTheBound)
{
    struct Case {
        const char* what;
        int busyReads;
        int statusReads;
        bool completes;
    };
    const Case cases[]{
        {"ready at the last allowed read", ProgramBusyPolls - 1, ProgramBusyPolls, true},
        {"never ready", Stuck, ProgramBusyPolls, false},
        {"idle", 0, 1, true},
    };
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = 300;
        const auto image = patternedImage(600);
        flash().preload(0, Bytes(image->begin(), image->end()));
        // A page program that leaves the chip busy for as long as the case says.
        flash().programBusyReads = c.busyReads;
        flash().execute({FlashInstruction::WriteEnable}, 0);
        flash().execute({FlashInstruction::PageProgram, 0x01, 0x00, 0x00, 0xFF}, 0);
        read(0, 600, image);
        EXPECT_EQ(statusReads(requests()), c.statusReads) << c.what;
        if (c.completes) {
            EXPECT_EQ(notifier.lines().back(), "Device 0 Программное обеспечение совпадает с файлом")
                << c.what;
        } else {
            EXPECT_EQ(notifier.log().back(), "Error: 9") << c.what;
            EXPECT_EQ(notifier.lines().back(), "Flash close") << c.what;
            EXPECT_TRUE(flashReads(requests()).empty()) << c.what;
            EXPECT_FALSE(connection->isOpen()) << c.what;
        }
    }
}

TEST_F(FirmwareRead, FailuresCloseTheWindowAndTheConnection)
{
    struct Case {
        const char* what;
        std::function<void(sim::SimController&)> fault;
        std::string error;
    };
    const auto readReply = [](std::function<void(std::vector<std::uint8_t>&)> change) {
        return [change](sim::SimController& controller) {
            controller.faults.replyFilter = [change, reads = 0](const sim::Request& request,
                                                                std::vector<std::uint8_t>& reply) mutable {
                if (request.command == 2 && !request.payload.empty()
                    && request.payload[0] == FlashInstruction::ReadData && ++reads == 2)
                    change(reply);
            };
        };
    };
    const Case cases[]{
        {"the second read times out",
         [](sim::SimController& controller) { controller.faults.transferResults[9] = -110; },
         "Error: -110"},
        {"the second read is cut short", readReply([](auto& reply) { reply.resize(8 + 299); }),
         "Error: -1"},
        {"the second read answers another command",
         readReply([](auto& reply) { reply[0] = 3; }), "Error: -2"},
        {"the status read is refused",
         [](sim::SimController& controller) { controller.faults.transferResults[4] = -5; },
         "Error: -5"},
    };
    const auto image = patternedImage(1000);
    for (const Case& c : cases) {
        simulator().reset();
        notifier.clear();
        controller()->settings.capacity = 300;
        flash().preload(0, Bytes(image->begin(), image->end()));
        c.fault(*controller());
        read(0, 1000, image);
        EXPECT_EQ(notifier.log(), (Lines{"Проверка программного обеспечения", c.error})) << c.what;
        EXPECT_EQ(notifier.lines().back(), "Flash close") << c.what;
        EXPECT_FALSE(connection->isOpen()) << c.what;
    }
}

TEST_F(FirmwareRead, NoControllerClosesTheWindow)
{
    simulator().clear();
    read(0, 100, patternedImage(100));
    EXPECT_EQ(notifier.lines(),
              (Lines{"Device 0 Контроллер не обнаружен на шине USB", "Flash close"}));
}

TEST_F(FirmwareRead, AClosedWindowEndsTheReadAtItsNextReport)
{
    const auto image = patternedImage(1000);
    flash().preload(0, Bytes(image->begin(), image->end()));
    notifier.afterNotify = [this](const std::string& line) {
        if (line == "Flash 7 300")
            notifier.close(Target::Flash);
    };
    read(0, 1000, image);
    EXPECT_EQ(notifier.linesFor(Target::Flash).back(), "Flash 7 300");
    EXPECT_EQ(notifier.log(), Lines{"Проверка программного обеспечения"});
    EXPECT_EQ(flashReads(requests()).size(), 2u);
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(FirmwareRead, RunsOnTheWorkerAfterEveryOtherRequest)
{
    const auto image = patternedImage(700);
    flash().preload(0, Bytes(image->begin(), image->end()));
    notifier.flashRange = {0, 700, image};
    TDevice device(notifier, clock);
    device.events().set(TaskEvent::FirmwareRead);
    device.events().set(TaskEvent::LinkLoad);
    device.runPass();
    EXPECT_FALSE(notifier.linesFor(Target::Link).empty()) << "the link load went first";
    EXPECT_TRUE(notifier.linesFor(Target::Flash).empty());
    device.runPass();
    EXPECT_EQ(notifier.linesFor(Target::Flash).back(), "Flash 11 700");
}

TEST(FirmwareBlocks, ReadableSpans)
{
    struct Case {
        std::int64_t start, length, readStart, readLength;
    };
    const Case cases[]{
        {0, 0x20000, 0, 0x20000},   {0, 0x20001, 0, 0x20000}, {0x1FFFF, 5, 0x1FFFF, 1},
        {0x20000, 5, 0x20000, 0},   {0x20001, 5, 0, 0},       {-1, 5, 0, 0},
        {100, -3, 100, 0},
    };
    for (const Case& c : cases) {
        const FlashSpan span = readableSpan(c.start, c.length);
        EXPECT_EQ(span.start, c.readStart) << c.start << " " << c.length;
        EXPECT_EQ(span.length, c.readLength) << c.start << " " << c.length;
    }
}

TEST(FirmwareBlocks, FirstMismatch)
{
    const Bytes expected{1, 2, 3, 4};
    struct Case {
        Bytes actual;
        std::optional<FlashMismatch> mismatch;
    };
    const Case cases[]{
        {{1, 2, 3, 4}, std::nullopt},
        {{1, 2, 3}, std::nullopt},
        {{9, 2, 3, 4}, FlashMismatch{0x100, 1, 9}},
        {{1, 2, 3, 5}, FlashMismatch{0x103, 4, 5}},
        {{1, 7, 3, 5, 6}, FlashMismatch{0x101, 2, 7}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(firstMismatch(0x100, expected, c.actual), c.mismatch)
            << hexBytes(c.actual.data(), static_cast<int>(c.actual.size()));
}
