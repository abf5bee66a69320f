#include <QIcon>
#include <QPixmap>

#include <gtest/gtest.h>

#include "ui/ChildLayout.h"
#include "ui/Images.h"

namespace {

TEST(ChildLayout, TilesFillTheAreaInTheNamedDirection)
{
    const QRect area(0, 0, 301, 200);
    const std::vector<QRect> side = sideBySide(area, 3);
    ASSERT_EQ(side.size(), 3u);
    EXPECT_EQ(side[0], QRect(0, 0, 100, 200));
    EXPECT_EQ(side[1], QRect(100, 0, 100, 200));
    EXPECT_EQ(side[2], QRect(200, 0, 101, 200));
    const std::vector<QRect> stacked = oneAboveAnother(area, 2);
    EXPECT_EQ(stacked[0], QRect(0, 0, 301, 100));
    EXPECT_EQ(stacked[1], QRect(0, 100, 301, 100));
    EXPECT_TRUE(sideBySide(area, 0).empty());

    EXPECT_EQ(childWindowOrigin(0), QPoint(0, 0));
    EXPECT_EQ(childWindowOrigin(3), QPoint(30, 30));

    const std::vector<QPoint> icons = iconRow(QRect(0, 0, 250, 200), QSize(100, 30), 3);
    EXPECT_EQ(icons, (std::vector<QPoint>{{0, 170}, {100, 170}, {0, 140}}));
}

TEST(ChildLayout, MainWindowGrowsWithTheTextButStaysOnTheScreen)
{
    const QSize screen(1920, 1080);
    EXPECT_EQ(mainWindowSize(5, screen), QSize(637, 585));
    EXPECT_EQ(mainWindowSize(4, screen), QSize(637, 585));
    EXPECT_EQ(mainWindowSize(7, screen), QSize(892, 819));
    EXPECT_EQ(mainWindowSize(7, QSize(1024, 768)), QSize(892, 768));
}

TEST(Images, EveryIndexInUseHasItsPicture)
{
    for (const int index : {7, 8, 9, 16, 17, 18, 42, 43, 45, 46, 49, 50, 51, 65, 66, 67, 68, 70,
                            71, 72, 73, 74, 75, 76}) {
        const QIcon icon = image(index);
        ASSERT_FALSE(icon.isNull()) << index;
        EXPECT_EQ(icon.pixmap(QSize(16, 16)).size(), QSize(16, 16)) << index;
    }
    EXPECT_TRUE(image(1).isNull());
}

} // namespace
