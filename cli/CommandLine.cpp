#include "cli/CommandLine.h"

#include <QJsonArray>
#include <QJsonDocument>

#include "cli/Commands.h"

namespace {
const QString Program = QStringLiteral("r4xx-cli");
constexpr int OptionColumn = 34;

std::vector<QCommandLineOption> globalOptions()
{
    return {
        QCommandLineOption({QStringLiteral("device")},
                           QStringLiteral("контроллер на шине: BUS/DEV, как его показывает list"),
                           QStringLiteral("BUS/DEV")),
        QCommandLineOption({QStringLiteral("die-id")},
                           QStringLiteral("контроллер с этим Die ID, как его показывает list"),
                           QStringLiteral("ID")),
        QCommandLineOption({QStringLiteral("json")},
                           QStringLiteral("результат одним документом JSON на стандартный вывод")),
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                           QStringLiteral("эта справка")),
        QCommandLineOption({QStringLiteral("version")}, QStringLiteral("версия программы")),
    };
}

QString optionNames(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? u'-' + name : QStringLiteral("--") + name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" <") + option.valueName() + u'>';
    return text;
}

QString optionLines(const std::vector<QCommandLineOption>& options)
{
    QString text;
    for (const QCommandLineOption& option : options)
        text += QStringLiteral("  ") + optionNames(option).leftJustified(OptionColumn - 3) + u' '
            + option.description() + u'\n';
    return text;
}

QString statusLines()
{
    QString text;
    for (const ExitStatusEntry& entry : exitStatuses())
        text += QStringLiteral("  %1  %2\n").arg(exitCode(entry.status), 3).arg(entry.meaning);
    return text;
}

void addOptions(QCommandLineParser& parser, const std::vector<QCommandLineOption>& options)
{
    for (const QCommandLineOption& option : options)
        parser.addOption(option);
}

ExitStatus usage(Console& console, const QString& message)
{
    console.err << Program << QStringLiteral(": ") << message << Qt::endl
                << QStringLiteral("Справка: r4xx-cli --help") << Qt::endl;
    return ExitStatus::Usage;
}

QString parseFailure(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("неизвестный параметр: ") + unknown.join(QStringLiteral(", "));
    return QStringLiteral("неверная командная строка: ") + parser.errorText();
}

void printDocument(Console& console, const CommandEntry& entry, ExitStatus status,
                   QJsonObject document)
{
    document[QStringLiteral("command")] = entry.name;
    document[QStringLiteral("exitStatus")] = entry.exitCodeOf(status);
    document[QStringLiteral("status")] = QString::fromLatin1(exitStatusEntry(status).key);
    document[QStringLiteral("log")] = QJsonArray::fromStringList(console.logged);
    console.out << QJsonDocument(document).toJson(QJsonDocument::Indented) << Qt::flush;
}

ExitStatus runParsed(const CommandEntry& entry, const QStringList& arguments, Console& console)
{
    QCommandLineParser parser;
    addOptions(parser, globalOptions());
    addOptions(parser, entry.options);
    if (!parser.parse(arguments))
        return usage(console, parseFailure(parser));
    if (parser.isSet(QStringLiteral("help"))) {
        console.out << commandHelp(entry.name) << Qt::flush;
        return ExitStatus::Success;
    }
    const qsizetype given = parser.positionalArguments().size() - 1;
    if (given < entry.minArguments || given > entry.maxArguments)
        return usage(console, QStringLiteral("команде %1 нужно: %2").arg(entry.name, entry.synopsis));
    const bool json = parser.isSet(QStringLiteral("json"));
    CommandContext context{console, parser, json, {}};
    const ExitStatus status = entry.run(context);
    if (json)
        printDocument(console, entry, status, context.document);
    return status;
}

int runCommand(const CommandEntry& entry, const QStringList& arguments, Console& console)
{
    return entry.exitCodeOf(runParsed(entry, arguments, console));
}
}

QString programHelp()
{
    QString text = QStringLiteral("Использование: r4xx-cli [--device BUS/DEV | --die-id ID] [--json] "
                                  "КОМАНДА [ПАРАМЕТРЫ]\n\n"
                                  "Задачи терминала R-410/R-420 из командной строки.\n\nКоманды:\n");
    for (const CommandEntry& entry : commandEntries())
        text += QStringLiteral("  ") + entry.name.leftJustified(OptionColumn - 3) + u' ' + entry.summary
            + u'\n';
    text += QStringLiteral("\nОбщие параметры:\n") + optionLines(globalOptions());
    text += QStringLiteral(
        "\nСправка по команде: r4xx-cli КОМАНДА --help\n"
        "\nСервисный код (flash, flash-read, trace, set-identity, write --full) берется из\n"
        "переменной окружения R4XX_SERVICE_CODE или вводится без отображения по запросу.\n"
        "\nКоды завершения:\n");
    return text + statusLines();
}

QString commandHelp(const QString& command)
{
    const CommandEntry* entry = findCommand(command);
    if (!entry)
        return programHelp();
    QString text = QStringLiteral("Использование: r4xx-cli [ОБЩИЕ ПАРАМЕТРЫ] ") + entry->name;
    if (!entry->synopsis.isEmpty())
        text += u' ' + entry->synopsis;
    text += QStringLiteral("\n\n") + entry->summary + u'\n';
    if (!entry->options.empty())
        text += QStringLiteral("\nПараметры:\n") + optionLines(entry->options);
    return text + QStringLiteral("\nОбщие параметры:\n") + optionLines(globalOptions());
}

int CommandEntry::exitCodeOf(ExitStatus status) const
{
    if (failures == FailureStatus::Two && isFailure(status))
        return exitCode(ExitStatus::Usage);
    return exitCode(status);
}

int runCommandLine(const QStringList& arguments, Console& console)
{
    QCommandLineParser global;
    addOptions(global, globalOptions());
    global.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!global.parse(arguments))
        return exitCode(usage(console, parseFailure(global)));
    if (global.isSet(QStringLiteral("version"))) {
        console.out << Program << u' ' << QStringLiteral(R4XX_VERSION) << Qt::endl;
        return exitCode(ExitStatus::Success);
    }
    const QStringList positional = global.positionalArguments();
    if (positional.isEmpty()) {
        if (global.isSet(QStringLiteral("help"))) {
            console.out << programHelp() << Qt::flush;
            return exitCode(ExitStatus::Success);
        }
        return exitCode(usage(console, QStringLiteral("не указана команда")));
    }
    const CommandEntry* entry = findCommand(positional.front());
    if (!entry)
        return exitCode(usage(console, QStringLiteral("неизвестная команда: ") + positional.front()));
    return runCommand(*entry, arguments, console);
}
