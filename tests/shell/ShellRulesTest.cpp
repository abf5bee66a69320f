#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "shell/AccessCode.h"
#include "shell/LogText.h"
#include "shell/ModelChoice.h"
#include "shell/RecordCommands.h"
#include "shell/TreeCommand.h"

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

TEST(TreeCommand, CaptionsMatchExactly)
{
    EXPECT_EQ(treeCommandFor("Прочитать"), TreeCommand::Read);
    EXPECT_EQ(treeCommandFor("Записать"), TreeCommand::Write);
    EXPECT_EQ(treeCommandFor("Cеть"), TreeCommand::Net);
    EXPECT_EQ(treeCommandFor("Сеть"), TreeCommand::None);
    EXPECT_EQ(treeCommandFor("Прочитать "), TreeCommand::None);
    for (const char* group : {"Задачи", "Канал связи", "Устройства", "Cервис", "R-420ZA"})
        EXPECT_EQ(treeCommandFor(QString::fromUtf8(group)), TreeCommand::None) << group;
}

} // namespace
