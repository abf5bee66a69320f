#include "cli/Commands.h"

#include "cli/ControllerList.h"
#include "models/DieId.h"
#include "cli/ServiceCode.h"
#include "models/AccessCode.h"
#include "models/FileTexts.h"
#include "models/LogText.h"

namespace {
const QString DeviceOption = QStringLiteral("device");
const QString DieIdOption = QStringLiteral("die-id");

QString serviceCode(const Console& console)
{
    if (std::optional<QString> code = console.environmentCode())
        return *code;
    return console.promptCode().value_or(QString());
}
}

void CommandContext::print(const QString& line)
{
    if (!json)
        console.out << line << Qt::endl;
}

QStringList CommandContext::arguments() const
{
    return parser.positionalArguments().mid(1);
}

ExitStatus refuse(CommandContext& context, const QString& text, ExitStatus status)
{
    logLine(context.console, text);
    return status;
}

ExitStatus reportSave(CommandContext& context, const QString& name, SaveFileResult saved)
{
    if (const std::optional<QString> failure = saveFailureText(saved, name))
        return refuse(context, *failure, ExitStatus::Refused);
    logLine(context.console, fileSavedText(name));
    context.document[QStringLiteral("file")] = name;
    return ExitStatus::Success;
}

ExitStatus saveBytes(CommandContext& context, const QString& name, const QByteArray& bytes)
{
    return reportSave(context, name, saveWholeFile(name, [&](QIODevice& file) {
                          return file.write(bytes) == bytes.size();
                      }));
}

RunnerOrStatus runnerFor(CommandContext& context)
{
    Console& console = context.console;
    if (context.isSet(DieIdOption)) {
        const std::optional<DieId> die = parseDieId(context.value(DieIdOption));
        if (!die)
            return refuse(context, QStringLiteral("Неверный Die ID: ") + context.value(DieIdOption),
                          ExitStatus::Usage);
        const std::optional<DevicePath> path = pathOfDieId(listControllers(console), *die);
        if (!path)
            return refuse(context,
                          QStringLiteral("Контроллер с Die ID %1 не обнаружен на шине USB")
                              .arg(dieIdKey(*die)),
                          ExitStatus::NoController);
        return std::make_unique<TaskRunner>(console, *path);
    }
    if (context.isSet(DeviceOption)) {
        const std::optional<DevicePath> path = parseDevicePath(context.value(DeviceOption));
        if (!path)
            return refuse(context, QStringLiteral("Неверное место контроллера: ")
                                       + context.value(DeviceOption),
                          ExitStatus::Usage);
        return std::make_unique<TaskRunner>(console, *path);
    }
    return std::make_unique<TaskRunner>(console, std::nullopt);
}

std::variant<AccessLevel, ExitStatus> requireAccess(CommandContext& context,
                                                    const std::vector<AccessLevel>& allowed)
{
    const Access access = accessFor(serviceCode(context.console), allowed);
    switch (access.verdict) {
    case AccessVerdict::Granted:
        return access.level;
    case AccessVerdict::WrongCode:
        return refuse(context, wrongCodeText(), ExitStatus::AccessRefused);
    case AccessVerdict::OtherLevel:
        break;
    }
    return refuse(context, otherLevelText(), ExitStatus::AccessRefused);
}
