#include <gtest/gtest.h>

#include "simpanel/SimOptions.h"

using simpanel::ParsedOptions;
using simpanel::parseSimOptions;

namespace {
QStringList words(const char* line)
{
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}
}

TEST(SimOptions, NoOptionsGiveTheDefaultController)
{
    const ParsedOptions parsed = parseSimOptions({});
    ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run);
    EXPECT_EQ(parsed.setup.controllers, 1);
    EXPECT_EQ(parsed.setup.settings.typeWord, 0x2000);
    EXPECT_EQ(parsed.setup.settings.capacity, 256) << "room for the statistics reply";
    EXPECT_TRUE(parsed.setup.settings.firmwareRuns);
    EXPECT_EQ(parsed.setup.latency.count(), 0);
    EXPECT_TRUE(parsed.setup.trafficFile.isEmpty());
}

TEST(SimOptions, GoodOptionsSetTheController)
{
    const struct {
        const char* line;
        std::uint16_t typeWord;
        int controllers;
        int capacity;
        bool firmwareRuns;
        long long latencyUs;
    } cases[] = {
        {"--model R-410", 0x1000, 1, 256, true, 0},
        {"--model=R-420 --edition ZB", 0x2001, 1, 256, true, 0},
        {"--model 7 --edition=ZA", 0x7000, 1, 256, true, 0},
        {"--software 2.1 --board 3.0", 0x29C0, 1, 256, true, 0},
        {"--model R-410 --edition ZB --software 1.3 --board 0.2", 0x1721, 1, 256, true, 0},
        {"--capacity 512", 0x2000, 1, 512, true, 0},
        {"--capacity 0", 0x2000, 1, 0, true, 0},
        {"--no-controller", 0x2000, 0, 256, true, 0},
        {"--controllers 2", 0x2000, 2, 256, true, 0},
        {"--controllers 8", 0x2000, 8, 256, true, 0},
        {"--boot-mode --latency 250", 0x2000, 1, 256, false, 250000},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = parseSimOptions(words(c.line));
        ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run) << c.line;
        EXPECT_EQ(parsed.setup.settings.typeWord, c.typeWord) << c.line;
        EXPECT_EQ(parsed.setup.controllers, c.controllers) << c.line;
        EXPECT_EQ(parsed.setup.settings.capacity, c.capacity) << c.line;
        EXPECT_EQ(parsed.setup.settings.firmwareRuns, c.firmwareRuns) << c.line;
        EXPECT_EQ(parsed.setup.latency.count(), c.latencyUs) << c.line;
    }
}

TEST(SimOptions, IdentifiersTraceRateAndTrafficFile)
{
    const ParsedOptions parsed = parseSimOptions(
        words("--die-id 00ff:1234:ABCD:0000 --chip-id 0C0A --trace-rate 0 --stats-activity 250 --traffic /tmp/t.jsonl"));
    ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run);
    EXPECT_EQ(parsed.setup.settings.dieId, (std::array<std::uint16_t, 4>{0x00FF, 0x1234, 0xABCD, 0}));
    EXPECT_EQ(parsed.setup.settings.chipId, 0x0C0A);
    EXPECT_EQ(parsed.setup.traceRate, 0);
    EXPECT_EQ(parsed.setup.statisticsActivity, 250);
    EXPECT_EQ(parsed.setup.trafficFile, "/tmp/t.jsonl");
}

TEST(SimOptions, HelpWinsAndListsEveryOption)
{
    EXPECT_EQ(parseSimOptions(words("--capacity 100 --help")).outcome, ParsedOptions::Outcome::Help);
    EXPECT_EQ(parseSimOptions(words("-h")).outcome, ParsedOptions::Outcome::Help);
    const QString help = simpanel::simOptionsHelp(QStringLiteral("Использование: program\n"));
    EXPECT_TRUE(help.startsWith(QStringLiteral("Использование: program\n\n  --model"))) << help.toStdString();
    for (const char* option : {"--model", "--edition", "--software", "--board", "--die-id",
                               "--chip-id", "--capacity", "--controllers", "--no-controller",
                               "--boot-mode", "--latency", "--trace-rate", "--stats-activity", "--unplug", "--traffic",
                               "--help"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}

TEST(SimOptions, BadOptionsAreRefusedWithTheReason)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"--colour red", "неизвестный параметр «--colour»"},
        {"capacity", "неизвестный параметр «capacity»"},
        {"--model", "параметру --model нужно значение R-410|R-420|0..15"},
        {"--model R-430", "параметр --model: недопустимое значение «R-430», ожидается R-410|R-420|0..15"},
        {"--model 16", "параметр --model: недопустимое значение «16», ожидается R-410|R-420|0..15"},
        {"--edition zb", "параметр --edition: недопустимое значение «zb», ожидается ZA|ZB"},
        {"--software 4.0", "параметр --software: недопустимое значение «4.0», ожидается A.B"},
        {"--software 1", "параметр --software: недопустимое значение «1», ожидается A.B"},
        {"--board 1.2.3", "параметр --board: недопустимое значение «1.2.3», ожидается A.B"},
        {"--die-id 1:2:3:4", "параметр --die-id: недопустимое значение «1:2:3:4», ожидается HHHH:HHHH:HHHH:HHHH"},
        {"--die-id 0001:0002:0003", "параметр --die-id: недопустимое значение «0001:0002:0003», ожидается HHHH:HHHH:HHHH:HHHH"},
        {"--chip-id 12G4", "параметр --chip-id: недопустимое значение «12G4», ожидается HHHH"},
        {"--capacity 65536", "параметр --capacity: недопустимое значение «65536», ожидается 0..65535"},
        {"--capacity -1", "параметр --capacity: недопустимое значение «-1», ожидается 0..65535"},
        {"--capacity +5", "параметр --capacity: недопустимое значение «+5», ожидается 0..65535"},
        {"--capacity 64k", "параметр --capacity: недопустимое значение «64k», ожидается 0..65535"},
        {"--controllers 9", "параметр --controllers: недопустимое значение «9», ожидается 0..8"},
        {"--controllers -1", "параметр --controllers: недопустимое значение «-1», ожидается 0..8"},
        {"--latency", "параметру --latency нужно значение 0..60000"},
        {"--latency 60001", "параметр --latency: недопустимое значение «60001», ожидается 0..60000"},
        {"--trace-rate fast", "параметр --trace-rate: недопустимое значение «fast», ожидается 0..10000"},
        {"--stats-activity 1001", "параметр --stats-activity: недопустимое значение «1001», ожидается 0..1000"},
        {"--traffic=", "параметр --traffic: недопустимое значение «», ожидается FILE"},
        {"--boot-mode=yes", "параметр --boot-mode не принимает значения"},
        {"--unplug", "параметру --unplug нужно значение K:N"},
        {"--unplug 1", "параметр --unplug: недопустимое значение «1», ожидается K:N"},
        {"--unplug 0:5", "параметр --unplug: недопустимое значение «0:5», ожидается K:N"},
        {"--unplug 9:5", "параметр --unplug: недопустимое значение «9:5», ожидается K:N"},
        {"--unplug 1:-1", "параметр --unplug: недопустимое значение «1:-1», ожидается K:N"},
        {"--unplug 1:", "параметр --unplug: недопустимое значение «1:», ожидается K:N"},
        {"--unplug 1:2:3", "параметр --unplug: недопустимое значение «1:2:3», ожидается K:N"},
        {"--unplug 2:10", "параметр --unplug: контроллера 2 нет на шине (контроллеров: 1)"},
        {"--unplug 1:10 --no-controller", "параметр --unplug: контроллера 1 нет на шине (контроллеров: 0)"},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = parseSimOptions(words(c.line));
        EXPECT_EQ(parsed.outcome, ParsedOptions::Outcome::Error) << c.line;
        EXPECT_EQ(parsed.message, QString::fromUtf8(c.message)) << c.line;
    }
    EXPECT_EQ(simpanel::BadOptionsStatus, 2);
}

TEST(SimOptions, RefusalNamesTheProgramAndItsHelp)
{
    EXPECT_EQ(simpanel::badOptionsText(QStringLiteral("r4xx-usbfs-bed"), QStringLiteral("неизвестный параметр «-x»")),
              QStringLiteral("r4xx-usbfs-bed: неизвестный параметр «-x»\nСписок параметров: r4xx-usbfs-bed --help\n"));
}

// Which controllers are pulled out of the bus, and before which of their transfers.
TEST(SimOptions, UnplugNamesTheControllerAndItsTransfer)
{
    using simpanel::Unplug;
    const struct {
        const char* line;
        std::vector<Unplug> unplugs;
    } cases[] = {
        {"", {}},
        {"--unplug 1:0", {{1, 0}}},
        {"--unplug=1:250", {{1, 250}}},
        {"--unplug 3:40 --controllers 4 --unplug 1:7", {{3, 40}, {1, 7}}},
        {"--controllers 8 --unplug 8:1000000000", {{8, 1000000000}}},
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = parseSimOptions(words(c.line));
        ASSERT_EQ(parsed.outcome, ParsedOptions::Outcome::Run) << c.line << parsed.message.toStdString();
        EXPECT_EQ(parsed.setup.unplugs, c.unplugs) << c.line;
    }
    EXPECT_TRUE(simpanel::simOptionsHelp({}).contains(QStringLiteral(
        "  --unplug K:N\n      контроллер K (с 1) отключается от шины перед своей передачей N (с 0, по "
        "всем программам): N передач к нему проходят; параметр можно повторить для других контроллеров\n")));
}

// The help says how the Die IDs of several controllers differ.
TEST(SimOptions, HelpGivesTheDieIdRuleOfSeveralControllers)
{
    const QString help = simpanel::simOptionsHelp({});
    EXPECT_TRUE(help.contains(QStringLiteral(
        "  --controllers 0..8\n      число контроллеров на шине (по умолчанию 1); Die ID первого "
        "задан --die-id, у каждого следующего последнее слово на 1 больше\n")))
        << help.toStdString();
}
