#include "support/SimFixture.h"

#include "link/ConfigTasks.h"
#include "link/Packet.h"

using Lines = std::vector<std::string>;

namespace {
// The configuration memory transfers (command 3 to device 0x50) after the probe and identity.
struct MemoryRequest {
    int readCount;
    int address;
    int dataLength;
    bool operator==(const MemoryRequest&) const = default;
};

std::vector<MemoryRequest> memoryRequests(const std::vector<sim::Transfer>& requests)
{
    std::vector<MemoryRequest> result;
    for (const sim::Transfer& t : requests) {
        if (t.bytes.size() < 10 || headerWord(t.bytes.data(), 0) != 3)
            continue;
        EXPECT_EQ(headerWord(t.bytes.data(), 3), 0x50);
        EXPECT_EQ(static_cast<int>(t.bytes.size()), 8 + headerWord(t.bytes.data(), 2));
        result.push_back({headerWord(t.bytes.data(), 1), readBe16(t.bytes.data() + 8),
                          headerWord(t.bytes.data(), 2) - 2});
    }
    return result;
}

std::vector<std::uint8_t> patterned(int count, int seed)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return bytes;
}
}

class ConfigTasks : public SimFixture {
protected:
    void read() { auto c = context(); readConfiguration(c); }
    void write() { auto c = context(); writeConfiguration(c); }
    // A record whose identity matches the controller and whose image differs from its memory.
    void prepareRecord()
    {
        const auto image = patterned(CONFIG_IMAGE_SIZE, 3);
        std::copy(image.begin(), image.end(), notifier.record.bytes.begin());
        notifier.record.setTypeWord(controller()->settings.typeWord);
    }
};

TEST_F(ConfigTasks, ReadReportsAndHandsOverTheRecord)
{
    const auto image = patterned(CONFIG_IMAGE_SIZE, 1);
    controller()->configMemory().fill(0, image);
    read();
    EXPECT_EQ(notifier.lines(),
              (Lines{"Device 0 Процесс чтения конфигурации запущен",
                     "Read 6 00 20 01 00 45 23 AB 00 00 0C 05 00", "Read 4 200", "Read 7 64",
                     "Read 7 128", "Read 7 192", "Read 7 200", "Read 5 200",
                     "Device 0 Процесс чтения конфигурации завершен", "Device 2 200",
                     "Device 8 record"}));
    ASSERT_EQ(notifier.installedRecords().size(), 1u);
    const RecordBytes record = notifier.installedRecords()[0];
    EXPECT_TRUE(std::equal(image.begin(), image.end(), record.begin()));
    EXPECT_EQ(hexBytes(record.data() + 200, 12), "00 20 01 00 45 23 AB 00 00 0C 05 00");
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(ConfigTasks, ReadBlocksFollowTheCapacity)
{
    const std::vector<std::pair<int, std::vector<MemoryRequest>>> cases{
        {200, {{200, 0, 0}}},
        {0xFFFF, {{200, 0, 0}}},
        {64, {{64, 0, 0}, {64, 64, 0}, {64, 128, 0}, {8, 192, 0}}},
        {50, {{50, 0, 0}, {50, 50, 0}, {50, 100, 0}, {50, 150, 0}}},
    };
    for (const auto& [capacity, expected] : cases) {
        simulator().reset();
        controller()->settings.capacity = static_cast<std::uint16_t>(capacity);
        read();
        EXPECT_EQ(memoryRequests(requests()), expected) << capacity;
    }
    EXPECT_EQ(hexBytes(requests().back().bytes.data(), 10), "03 00 32 00 02 00 50 00 00 96");
}

TEST_F(ConfigTasks, ShortReadReplyFailsInsteadOfInstallingStaleBytes)
{
    controller()->faults.replyLength = 8 + 63;
    read();
    EXPECT_EQ(notifier.log(), (Lines{"Процесс чтения конфигурации запущен", "Error: -1"}));
    EXPECT_EQ(notifier.linesFor(Target::Read).back(), "Read close");
    EXPECT_TRUE(notifier.installedRecords().empty());
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(ConfigTasks, ReadFailureClosesWindowAndConnection)
{
    controller()->faults.transferResults[6] = -110; // the second block's request
    read();
    EXPECT_EQ(notifier.log(), (Lines{"Процесс чтения конфигурации запущен", "Error: -110"}));
    EXPECT_EQ(connection->lastResult(), -110);
    EXPECT_EQ(notifier.linesFor(Target::Read), (Lines{"Read 6 00 20 01 00 45 23 AB 00 00 0C 05 00",
                                                     "Read 4 200", "Read 7 64", "Read close"}));
    EXPECT_TRUE(notifier.installedRecords().empty());
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(ConfigTasks, FailureAfterTheWindowsWentStillDropsTheConnection)
{
    controller()->faults.transferResults[6] = -110; // the second block's request
    notifier.afterNotify = [this](const std::string& line) {
        if (line == "Read 7 64") {
            notifier.close(Target::Device);
            notifier.close(Target::Read);
        }
    };
    read();
    EXPECT_EQ(notifier.lines().back(), "Read 7 64");
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(ConfigTasks, NoControllerClosesTheProgressWindow)
{
    simulator().clear();
    read();
    write();
    EXPECT_EQ(notifier.lines(), (Lines{"Device 0 Контроллер не обнаружен на шине USB", "Read close",
                                       "Device 0 Контроллер не обнаружен на шине USB", "Save close"}));
}

TEST_F(ConfigTasks, CancelledReadStopsAtItsNextReportAndInstallsNothing)
{
    notifier.afterNotify = [this](const std::string& line) {
        if (line == "Read 7 128")
            notifier.close(Target::Read);
    };
    read();
    EXPECT_EQ(memoryRequests(requests()).size(), 3u);
    EXPECT_TRUE(notifier.installedRecords().empty());
    EXPECT_EQ(notifier.log(), Lines{"Процесс чтения конфигурации запущен"});
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(ConfigTasks, WriteBlocksPausesAndMemoryContents)
{
    struct Case {
        int capacity;
        int count;
        std::vector<MemoryRequest> blocks;
        std::vector<int> pauses;
    };
    const std::vector<Case> cases{
        {67, 200, {{0, 0, 64}, {0, 64, 64}, {0, 128, 64}, {0, 192, 7}, {0, 199, 1}},
         {650, 650, 650, 80, 20}},
        {64, 110, {{0, 0, 61}, {0, 61, 3}, {0, 64, 45}, {0, 109, 1}}, {620, 40, 460, 20}},
        {0xFFFF, 110, {{0, 0, 64}, {0, 64, 45}, {0, 109, 1}}, {650, 460, 20}},
    };
    for (const Case& c : cases) {
        simulator().reset();
        clock.clear();
        controller()->settings.capacity = static_cast<std::uint16_t>(c.capacity);
        const auto before = controller()->configMemory().read(0, 256);
        prepareRecord();
        notifier.writeCount = c.count;
        write();
        EXPECT_EQ(memoryRequests(requests()), c.blocks) << c.capacity;
        EXPECT_EQ(clock.taskPauses(), c.pauses) << c.capacity;
        const auto after = controller()->configMemory().read(0, 256);
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(after[i], i < c.count ? notifier.record.bytes[i] : before[i]) << i;
    }
}

TEST_F(ConfigTasks, WriteReportsAndNeverSendsTheIdentityBlock)
{
    controller()->settings.capacity = 67;
    prepareRecord();
    notifier.writeCount = 200;
    write();
    EXPECT_EQ(notifier.lines(),
              (Lines{"Device 9 request", "Save 6 00 20 01 00 45 23 AB 00 00 0C 05 00",
                     "Device 0 Процесс загрузки конфигурации запущен", "Save 4 200", "Save 7 64",
                     "Save 7 128", "Save 7 192", "Save 7 199", "Save 7 200", "Save 5 200",
                     "Device 0 Процесс загрузки конфигурации завершен", "Device 3 200"}));
    for (const MemoryRequest& block : memoryRequests(requests()))
        EXPECT_LE(block.address + block.dataLength, 200);
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(ConfigTasks, IdentityDifferingInAnyBitIsRefusedBeforeAnyByteIsWritten)
{
    for (int bit = 0; bit < 16; ++bit) {
        simulator().reset();
        notifier.clear();
        prepareRecord();
        notifier.record.setTypeWord(static_cast<std::uint16_t>(0x2000 ^ (1 << bit)));
        write();
        EXPECT_TRUE(memoryRequests(requests()).empty()) << bit;
        EXPECT_EQ(notifier.log(), (Lines{"Процесс загрузки конфигурации прерван.",
                                         "Загружаемая конфигурация не соответствует типу контроллера"}))
            << bit;
        EXPECT_EQ(notifier.linesFor(Target::Save), Lines{"Save close"}) << bit;
        EXPECT_TRUE(connection->isOpen()) << bit;
    }
}

TEST_F(ConfigTasks, CancelledWriteKeepsTheBlocksAlreadyWritten)
{
    const auto before = controller()->configMemory().read(0, 200);
    prepareRecord();
    notifier.afterNotify = [this](const std::string& line) {
        if (line == "Save 7 64")
            notifier.close(Target::Save);
    };
    write();
    // The window closed after the report of 64 bytes; the task noticed at its next report.
    EXPECT_EQ(memoryRequests(requests()),
              (std::vector<MemoryRequest>{{0, 0, 61}, {0, 61, 3}, {0, 64, 45}}));
    EXPECT_EQ(notifier.linesFor(Target::Save).back(), "Save 7 64");
    const auto after = controller()->configMemory().read(0, 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(after[i], i < 109 ? notifier.record.bytes[i] : before[i]) << i;
    EXPECT_TRUE(connection->isOpen());
}

TEST_F(ConfigTasks, WriteFailureClosesWindowAndConnection)
{
    prepareRecord();
    controller()->faults.transferResults[4] = -5; // the first block's request
    write();
    EXPECT_EQ(notifier.log(), (Lines{"Процесс загрузки конфигурации запущен", "Error: -5"}));
    EXPECT_EQ(notifier.linesFor(Target::Save).back(), "Save close");
    EXPECT_FALSE(connection->isOpen());
}

TEST_F(ConfigTasks, CapacityTooSmallForAWriteBlockIsRefused)
{
    controller()->settings.capacity = 3;
    const auto before = controller()->configMemory().read(0, 200);
    prepareRecord();
    write();
    EXPECT_EQ(notifier.log(), Lines{"Error: -1"});
    EXPECT_EQ(notifier.linesFor(Target::Save), Lines{"Save close"});
    EXPECT_EQ(controller()->configMemory().read(0, 200), before);
}

TEST_F(ConfigTasks, WriteWithoutRecordEndsWithoutWritingOrLogging)
{
    const auto before = controller()->configMemory().read(0, 200);
    notifier.writeCount = 0;
    write();
    EXPECT_EQ(notifier.lines(), (Lines{"Device 9 request", "Save close"}));
    EXPECT_EQ(controller()->configMemory().read(0, 200), before);
}
