#include <gtest/gtest.h>

#include "models/FlashVerification.h"

TEST(FlashVerification, OfferedForTheNormalLoadOnly)
{
    struct Case {
        bool asked;
        LoadMode mode;
        const char* option;
        bool verifies;
    };
    const Case cases[]{
        {false, LoadMode::Normal, "Проверить после загрузки", false},
        {true, LoadMode::Normal, "Проверить после загрузки", true},
        {false, LoadMode::Boot, "Проверка невозможна в режиме загрузчика", false},
        {true, LoadMode::Boot, "Проверка невозможна в режиме загрузчика", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(verifyOptionText(c.mode), QString::fromUtf8(c.option));
        EXPECT_EQ(verifiesAfterLoad(c.asked, c.mode), c.verifies) << c.asked << " " << c.option;
    }
}

TEST(FlashVerification, TheWholeImageFromTheStartOfTheMemory)
{
    const auto image = std::make_shared<const FirmwareImage>(700, 0x5A);
    const Ask::FlashRange::Range range = verificationRange(image);
    EXPECT_EQ(range.start, 0);
    EXPECT_EQ(range.length, 700);
    EXPECT_EQ(range.expected, image);
    const Ask::FlashRange::Range none = verificationRange(nullptr);
    EXPECT_EQ(none.length, 0);
    EXPECT_EQ(none.expected, nullptr);
}
