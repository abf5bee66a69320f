#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "shell/AccessCode.h"
#include "shell/LogText.h"
#include "shell/ModelChoice.h"
#include "shell/RecordCommands.h"
#include "shell/TaskTree.h"

namespace {

TEST(LogText, PrefixIsTheLocalesTimeOfDayWithoutTheZone)
{
    const QTime time(14, 5, 9);
    EXPECT_EQ(logPrefix(time, QLocale(QLocale::Russian, QLocale::Russia)), "14:05:09-> ");
    const QString us = logPrefix(time, QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(QRegularExpression("^2:05:09\\sPM-> $").match(us).hasMatch()) << us.toStdString();
    EXPECT_TRUE(QRegularExpression("^14:05:09-> $")
                    .match(logPrefix(time, QLocale(QLocale::German, QLocale::Germany)))
                    .hasMatch());
}

TEST(LogText, WorkerCodesThatWriteALine)
{
    const QString text = QStringLiteral("Процесс чтения конфигурации завершен");
    EXPECT_EQ(deviceLogText(Report::Text{text}), text);
    EXPECT_EQ(deviceLogText(Report::UsbFailure{-1}), "Error: -1");
    EXPECT_EQ(deviceLogText(Report::UsbFailure{-110}), "Error: -110");
    EXPECT_EQ(deviceLogText(Report::Received{200}), "Получено 200байт.");
    EXPECT_EQ(deviceLogText(Report::Sent{110}), "Передано 110байт.");
    const TaskReport silent[]{Report::Size{5},     Report::Finished{5}, Report::Identity{},
                              Report::Progress{5}, Report::Record{},    Report::Counters{},
                              Report::TraceLines{{"a"}}};
    for (const TaskReport& report : silent)
        EXPECT_FALSE(deviceLogText(report)) << reportCode(report);
}

TEST(AccessCode, EachCodeOpensItsLevelAndNothingElseDoes)
{
    const std::pair<QString, int> cases[]{
        {"Orchard", 2},        {"Probe_Orchard", 3}, {"Plank_Orchard", 4}, {"Core_Orchard", 5},
        {"orchard", 0},        {"Orchard ", 0},      {" Orchard", 0},      {"", 0},
        {"CORE_ORCHARD", 0},   {"Core_Orchard2", 0},
    };
    for (const auto& [code, level] : cases)
        EXPECT_EQ(accessLevelOf(accessModalResult(code)), level) << code.toStdString();
    EXPECT_EQ(accessModalResult("Probe_Orchard"), 8);
    EXPECT_EQ(accessModalResult("nothing"), 5);
    EXPECT_EQ(accessLevelOf(0), 0) << "a dialog that gave no result opens nothing";
}

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
