#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "models/AccessCode.h"
#include "models/FileTexts.h"
#include "models/LogText.h"

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
    for (const auto& [code, level] : cases)
        EXPECT_EQ(accessLevelOfCode(code), level) << code.toStdString();
    EXPECT_EQ(wrongCodeText(), "Ошибка ввода сервисного кода");
}

TEST(FileTexts, ASaveThatFailedNamesTheFileAndHow)
{
    EXPECT_EQ(saveFailureText(SaveFileResult::CannotCreate, "/a/Rxx.rcf"),
              "Файл /a/Rxx.rcf не удается создать");
    EXPECT_EQ(saveFailureText(SaveFileResult::WriteFailed, "b.csv"), "Файл b.csv не удается записать");
    EXPECT_FALSE(saveFailureText(SaveFileResult::Saved, "b.csv"));
    EXPECT_EQ(fileRejectedText("c.rcf"),
              "Файл c.rcf поврежден, либо не соответствует данному устройству ");
}

} // namespace
