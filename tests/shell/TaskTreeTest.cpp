#include "shell/TaskTree.h"

#include <gtest/gtest.h>

#include "support/TreeOutline.h"

namespace {

const QStringList EmptyTree{"Задачи (76)", " Прочитать (45)"};

const QStringList R420ZA{
    "R-420ZA (65)",
    " Задачи (76)",
    "  Прочитать (45)",
    "  Записать (46)",
    "  Статистика (42)",
    " Канал связи (75)",
    "  Cеть (73)",
    "  Соединение (74)",
    " Устройства (70)",
    "  Кодек (66)",
    "  Вокодер (71)",
    "  Регистратор (72)",
    "  Усилитель НЧ (68)",
    "Информация (67)",
};

TEST(TaskTree, UserTreeFollowsModelAndEdition)
{
    EXPECT_EQ(outline(BuildUserTree(0x2000)), R420ZA);
    EXPECT_EQ(outline(BuildUserTree(0x1001)), (QStringList{
                                                  "R-410ZB (65)",
                                                  " Задачи (76)",
                                                  "  Прочитать (45)",
                                                  "  Записать (46)",
                                                  "  Статистика (42)",
                                                  " Устройства (70)",
                                                  "  Кодек (66)",
                                                  "  Вокодер (71)",
                                                  "  Регистратор (72)",
                                                  "Информация (67)",
                                              }));
    // The version bits between model and edition change nothing; an unknown model has no name.
    EXPECT_EQ(outline(BuildUserTree(0x2FF0)), R420ZA);
    EXPECT_EQ(BuildUserTree(0x3001).roots.front().caption, "ZB");
}

TEST(TaskTree, ServiceLevelsAddTheirNodes)
{
    EXPECT_EQ(outline(BuildTree(0, std::nullopt)), EmptyTree);
    EXPECT_EQ(outline(BuildTree(2, std::nullopt)),
              (QStringList{"Задачи (76)", " Прочитать (45)", " Загрузка ПО (51)"}));
    EXPECT_EQ(outline(BuildTree(3, std::nullopt)),
              (QStringList{"Задачи (76)", " Прочитать (45)", "Cервис (50)", " Trace (49)"}));

    QStringList level3 = R420ZA;
    level3.insert(13, " Cервис (50)");
    level3.insert(14, "  Trace (49)");
    EXPECT_EQ(outline(BuildTree(3, 0x2000)), level3);

    QStringList level4 = R420ZA;
    level4.insert(13, " Cервис (50)");
    level4.insert(14, "  Board Info (43)");
    EXPECT_EQ(outline(BuildTree(4, 0x2000)), level4);

    QStringList level5 = R420ZA;
    level5.insert(5, "  Загрузка ПО (51)");
    level5.insert(14, " Cервис (50)");
    level5.insert(15, "  Board Info (43)");
    level5.insert(16, "  Trace (49)");
    EXPECT_EQ(outline(BuildTree(5, 0x2000)), level5);
}

TEST(TaskTree, LevelsWithoutATreeOfTheirOwnGiveTheEmptyTree)
{
    for (const int level : {1, 6, -1})
        EXPECT_EQ(outline(BuildTree(level, 0x2000)), EmptyTree) << level;
    EXPECT_EQ(outline(BuildTree(4, std::nullopt)), EmptyTree);
}

TEST(TaskTree, ServiceCaptionsBeginWithTheLatinC)
{
    for (const QString& caption : {TreeCaption::Net, TreeCaption::Service}) {
        EXPECT_EQ(caption.at(0).unicode(), 0x43);
        EXPECT_NE(caption.at(1).unicode() & 0xFF00, 0) << "the rest is Cyrillic";
    }
}

TEST(TaskTree, FindNodeCountsEveryNodeInStoredOrder)
{
    TaskTree tree = BuildTree(5, 0x2000);
    EXPECT_EQ(tree.FindNode("R-420ZA"), 0);
    EXPECT_EQ(tree.FindNode("Прочитать"), 2);
    EXPECT_EQ(tree.FindNode("Загрузка ПО"), 5);
    EXPECT_EQ(tree.FindNode("Информация"), 17);
    EXPECT_EQ(tree.FindNode("Сеть"), -1) << "Cyrillic С is another caption";
    EXPECT_EQ(tree.FindNode("прочитать"), -1);

    tree.SetNodeImage("Кодек", 7);
    EXPECT_EQ(tree.find("Кодек")->image, 7);
    const QStringList before = outline(tree);
    tree.SetNodeImage("Нет такого", 9);
    EXPECT_EQ(outline(tree), before);
}

} // namespace
