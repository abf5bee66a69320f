#include "cli/RecordOutput.h"

#include "config/Crc.h"
#include "models/BoardModel.h"
#include "models/InfoSheet.h"

namespace {
InfoSheet sheetOf(const ConfigRecord& record)
{
    ConfigRecord stamped = record;
    stampCrc(TCrc(), stamped);
    return infoSheet({stamped.data(Blocks::Board), stamped.data(Blocks::Identity),
                      stamped.storedCrc(), CONFIG_RECORD_SIZE});
}
}

std::variant<ConfigRecord, ExitStatus> readRecord(TaskRunner& runner)
{
    const TaskOutcome& outcome = runner.run(TaskEvent::ConfigRead);
    if (!outcome.record)
        return runner.failure();
    return ConfigRecord{*outcome.record};
}

QStringList infoLines(const ConfigRecord& record)
{
    const InfoSheet sheet = sheetOf(record);
    QStringList lines{sheet.title};
    for (const InfoRow& row : sheet.rows)
        if (row.shown)
            lines << row.field->label + u' ' + row.value;
    lines << boardTextLabel(BoardText::Description);
    lines << sheet.description.split(u'\n');
    return lines;
}

QJsonObject infoJson(const ConfigRecord& record)
{
    const InfoSheet sheet = sheetOf(record);
    QJsonObject fields;
    for (const InfoRow& row : sheet.rows)
        if (row.shown)
            fields[QString::fromLatin1(row.field->key)] = row.value;
    return {{QStringLiteral("title"), sheet.title},
            {QStringLiteral("fields"), fields},
            {QStringLiteral("description"), sheet.description}};
}

// Writes a record as "Записать" does: its CRC stamped, 110 bytes, or 200 in the board levels;
// the write task checks the controller's type first.
ExitStatus writeRecord(CommandContext& context, TaskRunner& runner, ConfigRecord record,
                       AccessLevel level)
{
    stampCrc(TCrc(), record);
    TaskAnswers answers;
    answers.write = answerWriteRequest(record, level);
    const TaskOutcome& outcome = runner.run(TaskEvent::ConfigWrite, answers);
    if (!outcome.finished)
        return runner.failure();
    context.document[QStringLiteral("bytesSent")] = static_cast<qint64>(*outcome.finished);
    return ExitStatus::Success;
}
