#include "cli/RecordOutput.h"

#include "cli/Verification.h"
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

// The configuration read back and compared with the bytes the write sent; a difference is a
// mismatch.
ExitStatus compareReadBack(CommandContext& context, TaskRunner& runner, const WriteRequest& written)
{
    const auto read = readRecord(runner);
    if (const auto* status = std::get_if<ExitStatus>(&read))
        return *status;
    const auto count = static_cast<std::size_t>(written.count);
    const std::optional<FlashMismatch> mismatch
        = firstMismatch(0, std::span(written.record).first(count),
                        std::span(std::get<ConfigRecord>(read).bytes).first(count));
    logLine(context.console, configVerdictText(mismatch));
    context.document[QStringLiteral("verification")]
        = comparisonJson(mismatch ? mismatch->address : written.count, mismatch);
    return mismatch ? ExitStatus::Mismatch : ExitStatus::Success;
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
                       AccessLevel level, WriteCheck check)
{
    stampCrc(TCrc(), record);
    const WriteRequest written = answerWriteRequest(record, level);
    TaskAnswers answers;
    answers.write = written;
    const TaskOutcome& outcome = runner.run(TaskEvent::ConfigWrite, answers);
    if (!outcome.finished)
        return runner.failure();
    context.document[QStringLiteral("bytesSent")] = static_cast<qint64>(*outcome.finished);
    if (check == WriteCheck::None)
        return ExitStatus::Success;
    return compareReadBack(context, runner, written);
}
