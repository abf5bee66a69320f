#include <gtest/gtest.h>

#include "config/ConfigRecord.h"
#include "shell/ModelChoice.h"
#include "shell/RecordCommands.h"
#include "shell/TaskTree.h"

namespace {

TEST(ModelChoice, PicksChangeOnlyTheirBits)
{
    EXPECT_EQ(withEditionIndex(withModelIndex(0x1000, 1), 1), 0x2001);
    EXPECT_EQ(withEditionIndex(withEditionIndex(0x2000, 1), 0), 0x2000);
    EXPECT_EQ(withModelIndex(0x2FF1, 0), 0x1FF1);
    EXPECT_EQ(withEditionIndex(0x2FF0, 1), 0x2FF1);
}

TEST(RecordCommands, BlankRecordEnablesOnlyTheSaveAsMenuItem)
{
    const auto flags = [](RecordCommands c) {
        return std::vector<bool>{c.closeMenu, c.save, c.saveAsMenu, c.saveAsButton, c.write};
    };
    EXPECT_EQ(flags(recordCommands(RecordState::None)),
              (std::vector<bool>{false, false, false, false, false}));
    EXPECT_EQ(flags(recordCommands(RecordState::Blank)),
              (std::vector<bool>{false, false, true, false, false}));
    EXPECT_EQ(flags(recordCommands(RecordState::Loaded)),
              (std::vector<bool>{true, true, true, true, true}));
}

// Every node of a tree with its command, in stored order.
void collectCommands(const std::vector<TreeNode>& nodes,
                     std::vector<std::pair<QString, TreeCommand>>& commands)
{
    for (const TreeNode& node : nodes) {
        commands.emplace_back(node.caption, node.command);
        collectCommands(node.children, commands);
    }
}

TEST(TreeCommand, EveryNodeCarriesItsCommandGroupsNone)
{
    using C = TreeCommand;
    std::vector<std::pair<QString, TreeCommand>> commands;
    collectCommands(BuildTree(LevelFull, 0x2000).roots, commands);
    const std::vector<std::pair<QString, TreeCommand>> expected{
        {"R-420ZA", C::None},      {"Задачи", C::None},        {"Прочитать", C::Read},
        {"Записать", C::Write},    {"Статистика", C::Statistics}, {"Загрузка ПО", C::Firmware},
        {"Канал связи", C::None},  {"Cеть", C::Net},           {"Соединение", C::Link},
        {"Устройства", C::None},   {"Кодек", C::Codec},        {"Вокодер", C::Vocoder},
        {"Регистратор", C::Recorder}, {"Усилитель НЧ", C::Amplifier}, {"Cервис", C::None},
        {"Board Info", C::BoardInfo}, {"Trace", C::Trace},     {"Информация", C::Info},
    };
    EXPECT_EQ(commands, expected);

    commands.clear();
    collectCommands(BuildTree(LevelTrace, std::nullopt).roots, commands);
    EXPECT_EQ(commands, (std::vector<std::pair<QString, TreeCommand>>{
                            {"Задачи", C::None}, {"Прочитать", C::Read},
                            {"Cервис", C::None}, {"Trace", C::Trace}}));
}

} // namespace
