#include "cli/RecordSource.h"

#include "cli/RecordOutput.h"
#include "config/ConfigFile.h"
#include "models/LogText.h"

std::variant<ConfigRecord, ExitStatus> fileRecord(CommandContext& context, const QString& name)
{
    const OpenedConfig opened = openConfigFile(name, TCrc());
    if (opened.result != OpenFileResult::Opened)
        return refuse(context, fileRejectedText(name), ExitStatus::Refused);
    return opened.record;
}

std::variant<ConfigRecord, ExitStatus> controllerRecord(CommandContext& context)
{
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    return readRecord(*std::get<std::unique_ptr<TaskRunner>>(runner));
}

std::variant<std::vector<ConfigRecord>, ExitStatus> namedRecords(CommandContext& context, int count)
{
    const QStringList files = context.arguments();
    const bool controller = context.isSet(ControllerOption);
    if (files.size() + (controller ? 1 : 0) != count)
        return refuse(context,
                      count == 1 ? QStringLiteral("Укажите файл конфигурации или --controller")
                                 : QStringLiteral("Укажите два файла конфигурации, или файл и --controller"),
                      ExitStatus::Usage);
    std::vector<ConfigRecord> records;
    for (const QString& name : files) {
        auto record = fileRecord(context, name);
        if (const auto* status = std::get_if<ExitStatus>(&record))
            return *status;
        records.push_back(std::get<ConfigRecord>(record));
    }
    if (controller) {
        auto record = controllerRecord(context);
        if (const auto* status = std::get_if<ExitStatus>(&record))
            return *status;
        records.push_back(std::get<ConfigRecord>(record));
    }
    return records;
}
