#include <gtest/gtest.h>

#include "simpanel/BedCommandLine.h"

using simpanel::BedCommandLine;
using simpanel::ParsedOptions;
using simpanel::parseBedCommandLine;

namespace {
QStringList words(const char* line)
{
    return QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
}

const char* const NoProgram = "не задана программа: параметры, затем --, затем программа";
}

TEST(BedCommandLine, OptionsThenTheProgramAfterTheSeparator)
{
    const struct {
        const char* line;
        qsizetype programStart;
        int controllers;
    } cases[] = {
        {"prog", 0, 1},
        {"prog --controllers 4 -- x", 0, 1}, // the old form: all of it is the program's
        {"-- prog", 1, 1},
        {"--controllers 4 -- prog -a --b", 3, 4},
        {"--controllers=8 --no-controller -- prog", 3, 0},
    };
    for (const auto& c : cases) {
        const BedCommandLine line = parseBedCommandLine(words(c.line));
        ASSERT_EQ(line.options.outcome, ParsedOptions::Outcome::Run) << c.line;
        EXPECT_EQ(line.programStart, c.programStart) << c.line;
        EXPECT_EQ(line.options.setup.controllers, c.controllers) << c.line;
    }
}

TEST(BedCommandLine, HelpAndRefusals)
{
    const struct {
        const char* line;
        ParsedOptions::Outcome outcome;
        const char* message;
    } cases[] = {
        {"--help", ParsedOptions::Outcome::Help, ""},
        {"-h -- prog", ParsedOptions::Outcome::Help, ""},
        {"", ParsedOptions::Outcome::Error, NoProgram},
        {"--controllers 4", ParsedOptions::Outcome::Error, NoProgram},
        {"--controllers 4 --", ParsedOptions::Outcome::Error, NoProgram},
        {"--controllers 4 prog", ParsedOptions::Outcome::Error, "неизвестный параметр «prog»"},
        {"--controllers 9 -- prog", ParsedOptions::Outcome::Error,
         "параметр --controllers: недопустимое значение «9», ожидается 0..8"},
        {"--colour red --", ParsedOptions::Outcome::Error, "неизвестный параметр «--colour»"},
    };
    for (const auto& c : cases) {
        const BedCommandLine line = parseBedCommandLine(words(c.line));
        EXPECT_EQ(line.options.outcome, c.outcome) << c.line;
        EXPECT_EQ(line.options.message, QString::fromUtf8(c.message)) << c.line;
    }
}

TEST(BedCommandLine, HelpShowsBothFormsAndEveryOption)
{
    const QString help = simpanel::bedHelp();
    EXPECT_TRUE(help.startsWith(QStringLiteral(
        "Использование: r4xx-usbfs-bed [параметры] -- ПРОГРАММА [АРГУМЕНТЫ]\n"
        "               r4xx-usbfs-bed ПРОГРАММА [АРГУМЕНТЫ]\n")))
        << help.toStdString();
    EXPECT_TRUE(help.endsWith(simpanel::simOptionsHelp({}).mid(1))) << help.toStdString();
}
