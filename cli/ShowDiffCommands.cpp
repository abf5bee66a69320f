#include "cli/Commands.h"

#include "cli/RecordSource.h"
#include "cli/RecordTexts.h"

ExitStatus showCommand(CommandContext& context)
{
    auto records = namedRecords(context, 1);
    if (const auto* status = std::get_if<ExitStatus>(&records))
        return *status;
    const ConfigRecord& record = std::get<std::vector<ConfigRecord>>(records).front();
    const RecordView view{LevelFull, QLocale()};
    for (const QString& line : recordLines(record, view))
        context.print(line);
    context.document[QStringLiteral("record")] = recordFieldsJson(record, view);
    return ExitStatus::Success;
}

// As diff(1): 0 when the records show alike, 1 when they differ (the differences printed).
ExitStatus diffCommand(CommandContext& context)
{
    auto records = namedRecords(context, 2);
    if (const auto* status = std::get_if<ExitStatus>(&records))
        return *status;
    const auto& pair = std::get<std::vector<ConfigRecord>>(records);
    const RecordDifferences differences = compareRecords(pair[0], pair[1], {LevelFull, QLocale()});
    for (const QString& line : differenceLines(differences))
        context.print(line);
    context.document[QStringLiteral("differences")] = differencesJson(differences);
    return differences.empty() ? ExitStatus::Success : ExitStatus::Differ;
}
