#include <vector>

#include <gtest/gtest.h>

#include "config/BoardBlock.h"
#include "config/ConfigRecord.h"
#include "config/Crc.h"
#include "sim/DemoConfig.h"
#include "sim/SimController.h"

// The demo controller starts with a configuration that the terminal accepts as a file would be:
// a valid CRC word, and the codec's sample rate of its model.
TEST(DemoConfig, EveryModelStartsWithAValidConfiguration)
{
    const TCrc crc;
    for (const auto& [typeWord, sampleRate] :
         {std::pair{0x1000, 0x02}, {0x1001, 0x02}, {0x2000, 0x01}, {0x2001, 0x01}, {0x3000, 0x00}}) {
        sim::SimController controller({.typeWord = static_cast<std::uint16_t>(typeWord)});
        sim::fillDemoConfiguration(controller);
        ConfigRecord record;
        const auto image = controller.configMemory().read(0, CONFIG_IMAGE_SIZE);
        std::copy(image.begin(), image.end(), record.bytes.begin());
        EXPECT_EQ(record.storedCrc(), ConfigCrc(crc, record)) << std::hex << typeWord;
        EXPECT_EQ(record.bytes[Blocks::Codec.offset + 8], 0x10);
        EXPECT_EQ(record.bytes[Blocks::Codec.offset + 9], sampleRate) << std::hex << typeWord;
    }
}

// The demo opens every editor on the values its "Сброс" gives, and the board block reads back
// through the terminal's own layout.
TEST(DemoConfig, BlocksHoldTheEditorsDefaultsAndAReadableBoardIdentity)
{
    sim::SimController controller({.typeWord = 0x2001});
    sim::fillDemoConfiguration(controller);
    const auto image = controller.configMemory().read(0, CONFIG_IMAGE_SIZE);
    const auto words = [&image](BlockSpan block) {
        std::vector<int> values;
        for (int i = block.offset; i < block.end(); i += 2)
            values.push_back(image[i] << 8 | image[i + 1]);
        return values;
    };
    EXPECT_EQ(words(Blocks::Vocoder), (std::vector<int>{8, 1, 0, 2, 1, 2}));
    EXPECT_EQ(words(Blocks::Recorder), (std::vector<int>{0x0007, 4125, 4125, 144}));
    EXPECT_EQ(words(Blocks::Link), (std::vector<int>{31, 10, 10, 7, 0, 8, 4, 32, 3}))
        << "edition ZB has no T0";

    const BoardBlock board = BoardBlock::fromRecord(image.data() + Blocks::Board.offset);
    EXPECT_EQ(hardwareAddressText(board.hardwareAddress()), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(board.serialNumber(), "0417");
    EXPECT_EQ(board.text(BoardBlock::Date), "12.03.2025");
    EXPECT_EQ(board.description(), QStringLiteral("Стенд сервисного отдела"));
}
