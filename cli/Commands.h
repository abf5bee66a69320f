#pragma once

#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonObject>

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/TaskRunner.h"
#include "config/ConfigRecord.h"
#include "config/WholeFile.h"

// What a command runs with: the console, its parsed command line, and the JSON document it fills
// when --json asks for one (the command, its exit status and the log lines are added to it).
struct CommandContext {
    Console& console;
    const QCommandLineParser& parser;
    bool json = false;
    QJsonObject document;

    // The command's text result on standard output, unless --json.
    void print(const QString& line);
    QString value(const QString& option) const { return parser.value(option); }
    bool isSet(const QString& option) const { return parser.isSet(option); }
    QStringList arguments() const; // the positional arguments after the command's name
};

// A runner for the controller that --device or --die-id choose (the first one without either), or
// why there is none.
using RunnerOrStatus = std::variant<std::unique_ptr<TaskRunner>, ExitStatus>;
RunnerOrStatus runnerFor(CommandContext& context);

// Asks for the service code and checks that it opens one of the levels; the level it opens, or
// the refusal, logged.
std::variant<AccessLevel, ExitStatus> requireAccess(CommandContext& context,
                                                    const std::vector<AccessLevel>& allowed);

// A log line of the command's own and the status it ends with.
ExitStatus refuse(CommandContext& context, const QString& text, ExitStatus status);

// A save as the terminal logs it: "Файл сохранен NAME" and the file in the document, or the
// message of the save that failed and status 5.
ExitStatus reportSave(CommandContext& context, const QString& name, SaveFileResult saved);
// Replaces the named file with these bytes as a whole (saveWholeFile) and reports the save.
ExitStatus saveBytes(CommandContext& context, const QString& name, const QByteArray& bytes);

// How a command's failures end the program: each with its own status, or, for a command that
// answers a question as diff(1) does (0 yes, 1 no), all with 2.
enum class FailureStatus { Own, Two };

// One entry per command: adding a command is one entry here and its function.
struct CommandEntry {
    QString name;
    QString synopsis; // the arguments as the help shows them
    QString summary;
    std::vector<QCommandLineOption> options;
    int minArguments = 0;
    int maxArguments = 0;
    ExitStatus (*run)(CommandContext& context);
    FailureStatus failures = FailureStatus::Own;

    // The program's exit code for a status the command ended with.
    int exitCodeOf(ExitStatus status) const;
};
const std::vector<CommandEntry>& commandEntries();
const CommandEntry* findCommand(const QString& name);

ExitStatus listCommand(CommandContext& context);
ExitStatus infoCommand(CommandContext& context);
ExitStatus readCommand(CommandContext& context);
ExitStatus writeCommand(CommandContext& context);
ExitStatus flashCommand(CommandContext& context);
ExitStatus flashReadCommand(CommandContext& context);
ExitStatus statsCommand(CommandContext& context);
ExitStatus traceCommand(CommandContext& context);
ExitStatus setIdentityCommand(CommandContext& context);
ExitStatus showCommand(CommandContext& context);
ExitStatus diffCommand(CommandContext& context);
ExitStatus exportCommand(CommandContext& context);
ExitStatus importCommand(CommandContext& context);
