#include <gtest/gtest.h>

#include "models/IdentityTexts.h"
#include "models/InfoTexts.h"

namespace {

TEST(InfoTexts, TitleNamesTheEditionsPlaceAndTheModel)
{
    const std::pair<std::uint16_t, const char*> cases[]{
        {0x2661, "Удаленный контроллер R-420"}, {0x2000, "Локальный контроллер R-420"},
        {0x1FFE, "Локальный контроллер R-410"}, {0x1001, "Удаленный контроллер R-410"},
        {0x3001, "Удаленный контроллер R-xxx"}, {0x0000, "Локальный контроллер R-xxx"},
    };
    for (const auto& [typeWord, title] : cases)
        EXPECT_EQ(controllerTitle(typeWord), QString::fromUtf8(title)) << typeWord;
}

TEST(InfoTexts, VersionsComeFromTheirTwoBitFieldsOnly)
{
    struct Case {
        std::uint16_t typeWord;
        const char* firmware;
        const char* board;
    };
    const Case cases[]{
        {0x2661, "1.2", "B.2"}, {0x0000, "0.0", "A.0"}, {0xFFFF, "3.3", "D.3"},
        {0x0400, "1.0", "A.0"}, {0x0800, "2.0", "A.0"}, {0x0100, "0.1", "A.0"},
        {0x0300, "0.3", "A.0"}, {0x0040, "0.0", "B.0"}, {0x00C0, "0.0", "D.0"},
        {0x0010, "0.0", "A.1"}, {0x0030, "0.0", "A.3"}, {0xF00F, "0.0", "A.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firmwareVersionText(c.typeWord), c.firmware) << c.typeWord;
        EXPECT_EQ(boardVersionText(c.typeWord), c.board) << c.typeWord;
    }
}

TEST(InfoTexts, OnlyTheR420HasAHardwareAddress)
{
    for (const std::uint16_t typeWord : {0x2000, 0x2661, 0x2FFF})
        EXPECT_TRUE(showsHardwareAddress(typeWord)) << typeWord;
    for (const std::uint16_t typeWord : {0x0000, 0x1000, 0x1FFF, 0x3001, 0xF000})
        EXPECT_FALSE(showsHardwareAddress(typeWord)) << typeWord;
}

TEST(InfoTexts, CrcHasExactlyFourUpperCaseDigits)
{
    const std::pair<std::uint16_t, const char*> cases[]{
        {0x0A3F, "0x0A3F"}, {0x0000, "0x0000"}, {0x000A, "0x000A"},
        {0x00B9, "0x00B9"}, {0xBEEF, "0xBEEF"}, {0xFFFF, "0xFFFF"},
    };
    for (const auto& [crc, text] : cases)
        EXPECT_EQ(crcText(crc), text) << crc;
}

TEST(InfoTexts, SizeInBytes)
{
    EXPECT_EQ(recordSizeText(212), "212 bytes");
}

TEST(IdentityTexts, ModelWithoutEdition)
{
    EXPECT_EQ(modelText(0x1001), "R-410");
    EXPECT_EQ(modelText(0x2FFF), "R-420");
    EXPECT_EQ(modelText(0x3000), "R-xxx");
    EXPECT_EQ(modelText(0x0001), "R-xxx");
}

} // namespace
