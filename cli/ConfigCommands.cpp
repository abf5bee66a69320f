#include "cli/Commands.h"

#include "cli/RecordOutput.h"
#include "cli/RecordSource.h"
#include "cli/ServiceCode.h"
#include "config/ConfigFile.h"

namespace {
const QString OutputOption = QStringLiteral("output");
const QString FullOption = QStringLiteral("full");
const QString VerifyOption = QStringLiteral("verify");

// The record from the controller, or from the file the command names.
std::variant<ConfigRecord, ExitStatus> sourceRecord(CommandContext& context)
{
    if (!context.arguments().isEmpty())
        return fileRecord(context, context.arguments().front());
    return controllerRecord(context);
}
}

ExitStatus infoCommand(CommandContext& context)
{
    const auto record = sourceRecord(context);
    if (const auto* status = std::get_if<ExitStatus>(&record))
        return *status;
    for (const QString& line : infoLines(std::get<ConfigRecord>(record)))
        context.print(line);
    context.document[QStringLiteral("info")] = infoJson(std::get<ConfigRecord>(record));
    return ExitStatus::Success;
}

// As "Прочитать" and then "Сохранить как": the record read, its CRC stamped, the file replaced
// only by a whole new one.
ExitStatus readCommand(CommandContext& context)
{
    if (!context.isSet(OutputOption))
        return refuse(context, QStringLiteral("Не указан файл: -o ФАЙЛ.rcf"), ExitStatus::Usage);
    const QString name = context.value(OutputOption);
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    auto record = readRecord(*std::get<std::unique_ptr<TaskRunner>>(runner));
    if (const auto* status = std::get_if<ExitStatus>(&record))
        return *status;
    context.document[QStringLiteral("bytesReceived")] = CONFIG_IMAGE_SIZE;
    return reportSave(context, name, saveConfigFile(name, std::get<ConfigRecord>(record), TCrc()));
}

ExitStatus writeCommand(CommandContext& context)
{
    const auto opened = fileRecord(context, context.arguments().front());
    if (const auto* status = std::get_if<ExitStatus>(&opened))
        return *status;
    AccessLevel level = LevelUser;
    if (context.isSet(FullOption)) {
        const auto access = requireAccess(context, boardLevels());
        if (const auto* status = std::get_if<ExitStatus>(&access))
            return *status;
        level = std::get<AccessLevel>(access);
    }
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    const WriteCheck check = context.isSet(VerifyOption) ? WriteCheck::ReadBack : WriteCheck::None;
    return writeRecord(context, *std::get<std::unique_ptr<TaskRunner>>(runner),
                       std::get<ConfigRecord>(opened), level, check);
}
