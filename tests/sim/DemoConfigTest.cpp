#include <gtest/gtest.h>

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
