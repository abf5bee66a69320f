#include "simpanel/SimOptions.h"

#include <cstdio>
#include <optional>

#include "simpanel/IdentityText.h"
#include "simpanel/TypeWordFields.h"

namespace simpanel {

namespace {

// Sets the setup from an option's value; false when the value is malformed.
using Apply = bool (*)(SimSetup&, const QString&);

struct Option {
    const char* name;
    const char* value; // what the value looks like, in --help and in errors; null for a flag
    const char* help;
    Apply apply;
};

constexpr int MaxUnplugTransfer = 1'000'000'000;

std::optional<int> number(const QString& text, int low, int high, int base = 10)
{
    bool ok = false;
    const int value = text.toInt(&ok, base);
    if (!ok || value < low || value > high || text.startsWith(u'+'))
        return std::nullopt;
    return value;
}

// Changes some fields of the type word and keeps the others.
template <typename Change>
bool changeTypeWord(SimSetup& setup, Change change)
{
    TypeWordFields fields = fieldsOf(setup.settings.typeWord);
    change(fields);
    setup.settings.typeWord = withFields(setup.settings.typeWord, fields);
    return true;
}

int modelCodeOf(const QString& text)
{
    if (text == u"R-410")
        return 1;
    if (text == u"R-420")
        return 2;
    return number(text, 0, 15).value_or(-1);
}

bool applyModel(SimSetup& setup, const QString& text)
{
    const int code = modelCodeOf(text);
    return code >= 0 && changeTypeWord(setup, [code](TypeWordFields& f) { f.model = code; });
}

bool applyEdition(SimSetup& setup, const QString& text)
{
    if (text != u"ZA" && text != u"ZB")
        return false;
    const int edition = text == u"ZB" ? 1 : 0;
    return changeTypeWord(setup, [edition](TypeWordFields& f) { f.edition = edition; });
}

// "A.B", each field 0 to 3.
std::optional<std::pair<int, int>> versionFields(const QString& text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 2)
        return std::nullopt;
    const auto major = number(parts[0], 0, 3);
    const auto minor = number(parts[1], 0, 3);
    if (!major || !minor || parts[0].size() != 1 || parts[1].size() != 1)
        return std::nullopt;
    return std::pair{*major, *minor};
}

bool applySoftware(SimSetup& setup, const QString& text)
{
    const auto version = versionFields(text);
    return version && changeTypeWord(setup, [&](TypeWordFields& f) {
        f.softwareMajor = version->first;
        f.softwareMinor = version->second;
    });
}

bool applyBoard(SimSetup& setup, const QString& text)
{
    const auto version = versionFields(text);
    return version && changeTypeWord(setup, [&](TypeWordFields& f) {
        f.boardMajor = version->first;
        f.boardMinor = version->second;
    });
}

bool applyDieId(SimSetup& setup, const QString& text)
{
    const auto dieId = dieIdOf(text);
    if (dieId)
        setup.settings.dieId = *dieId;
    return dieId.has_value();
}

bool applyChipId(SimSetup& setup, const QString& text)
{
    const auto word = hexWordOf(text);
    if (word)
        setup.settings.chipId = *word;
    return word.has_value();
}

bool applyCapacity(SimSetup& setup, const QString& text)
{
    const auto value = number(text, 0, 0xFFFF);
    if (value)
        setup.settings.capacity = static_cast<std::uint16_t>(*value);
    return value.has_value();
}

bool applyControllers(SimSetup& setup, const QString& text)
{
    const auto value = number(text, 0, SimSetup::MaxControllers);
    if (value)
        setup.controllers = *value;
    return value.has_value();
}

bool applyNoController(SimSetup& setup, const QString&)
{
    setup.controllers = 0;
    return true;
}

bool applyBootMode(SimSetup& setup, const QString&)
{
    setup.settings.firmwareRuns = false;
    return true;
}

bool applyLatency(SimSetup& setup, const QString& text)
{
    const auto value = number(text, 0, 60000);
    if (value)
        setup.latency = std::chrono::milliseconds(*value);
    return value.has_value();
}

bool applyTraceRate(SimSetup& setup, const QString& text)
{
    const auto value = number(text, 0, 10000);
    if (value)
        setup.traceRate = *value;
    return value.has_value();
}

bool applyStatisticsActivity(SimSetup& setup, const QString& text)
{
    const auto value = number(text, 0, sim::StatisticsCounters::MaxActivity);
    if (value)
        setup.statisticsActivity = *value;
    return value.has_value();
}

// "K:N": controller K (from 1) unplugged as its transfer N (from 0) begins.
bool applyUnplug(SimSetup& setup, const QString& text)
{
    const QStringList parts = text.split(u':');
    if (parts.size() != 2)
        return false;
    const auto controller = number(parts[0], 1, SimSetup::MaxControllers);
    const auto before = number(parts[1], 0, MaxUnplugTransfer);
    if (controller && before)
        setup.unplugs.push_back({*controller, *before});
    return controller && before;
}

bool applyTraffic(SimSetup& setup, const QString& text)
{
    setup.trafficFile = text;
    return !text.isEmpty();
}

constexpr Option Options[] = {
    {"--model", "R-410|R-420|0..15", "модель контроллера (код модели в слове типа)", applyModel},
    {"--edition", "ZA|ZB", "исполнение", applyEdition},
    {"--software", "A.B", "версия ПО, поля 0..3", applySoftware},
    {"--board", "A.B", "версия ПП, поля 0..3", applyBoard},
    {"--die-id", "HHHH:HHHH:HHHH:HHHH", "Die ID, четыре шестнадцатеричных слова", applyDieId},
    {"--chip-id", "HHHH", "Chip ID, шестнадцатеричное слово", applyChipId},
    {"--capacity", "0..65535", "полезная ёмкость пакета, байт (по умолчанию 256)", applyCapacity},
    {"--controllers", "0..8",
     "число контроллеров на шине (по умолчанию 1); Die ID первого задан --die-id, у каждого "
     "следующего последнее слово на 1 больше",
     applyControllers},
    {"--no-controller", nullptr, "шина без контроллера", applyNoController},
    {"--boot-mode", nullptr, "контроллер без рабочего ПО (только boot_mode)", applyBootMode},
    {"--latency", "0..60000", "задержка каждого обмена, мс", applyLatency},
    {"--trace-rate", "0..10000", "кадров трассы в секунду (по умолчанию 24)", applyTraceRate},
    {"--stats-activity", "0..1000", "активность счётчиков статистики, % одного вызова (по умолчанию 100)",
     applyStatisticsActivity},
    {"--unplug", "K:N",
     "контроллер K (с 1) отключается от шины перед своей передачей N (с 0, по всем программам): "
     "N передач к нему проходят; параметр можно повторить для других контроллеров",
     applyUnplug},
    {"--traffic", "FILE", "дописывать каждую передачу в FILE строкой JSON", applyTraffic},
};

const Option* findOption(const QString& name)
{
    for (const Option& option : Options)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

ParsedOptions failure(const QString& message)
{
    ParsedOptions parsed;
    parsed.outcome = ParsedOptions::Outcome::Error;
    parsed.message = message;
    return parsed;
}

// What the options say together: an unplugged controller must be on the bus. Empty when right.
QString inconsistency(const SimSetup& setup)
{
    for (const Unplug& unplug : setup.unplugs)
        if (unplug.controller > setup.controllers)
            return QStringLiteral("параметр --unplug: контроллера %1 нет на шине (контроллеров: %2)")
                .arg(unplug.controller)
                .arg(setup.controllers);
    return {};
}

} // namespace

ParsedOptions parseSimOptions(const QStringList& arguments)
{
    ParsedOptions parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h") {
            parsed.outcome = ParsedOptions::Outcome::Help;
            return parsed;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = equals < 0 ? argument : argument.left(equals);
        const Option* option = findOption(name);
        if (!option)
            return failure(QStringLiteral("неизвестный параметр «%1»").arg(argument));
        std::optional<QString> value;
        if (equals >= 0)
            value = argument.mid(equals + 1);
        if (!option->value) {
            if (value)
                return failure(QStringLiteral("параметр %1 не принимает значения").arg(name));
            option->apply(parsed.setup, {});
            continue;
        }
        if (!value) {
            if (i + 1 >= arguments.size())
                return failure(QStringLiteral("параметру %1 нужно значение %2")
                                   .arg(name, QLatin1String(option->value)));
            value = arguments[++i];
        }
        if (!option->apply(parsed.setup, *value))
            return failure(QStringLiteral("параметр %1: недопустимое значение «%2», ожидается %3")
                               .arg(name, *value, QLatin1String(option->value)));
    }
    if (const QString message = inconsistency(parsed.setup); !message.isEmpty())
        return failure(message);
    return parsed;
}

QString simOptionsHelp(const QString& usage)
{
    QString text = usage + u'\n';
    for (const Option& option : Options) {
        QString name = QLatin1String(option.name);
        if (option.value)
            name += u' ' + QLatin1String(option.value);
        text += QStringLiteral("  %1\n      %2\n").arg(name, QString::fromUtf8(option.help));
    }
    text += QStringLiteral("  -h, --help\n      этот список\n");
    return text;
}

QString badOptionsText(const QString& program, const QString& message)
{
    return QStringLiteral("%1: %2\nСписок параметров: %1 --help\n").arg(program, message);
}

QStringList commandArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int refuseOptions(const QString& program, const QString& message)
{
    std::fputs(qPrintable(badOptionsText(program, message)), stderr);
    return BadOptionsStatus;
}

} // namespace simpanel
