#include "cli/Commands.h"

#include "cli/ServiceCode.h"

namespace {
const QString OutputOption = QStringLiteral("output");
const QString SizeOption = QStringLiteral("size");

// --size: decimal or 0x hexadecimal, at least a byte and at most the part of the memory a load
// writes.
std::optional<std::int64_t> backupSize(const QString& text)
{
    const bool hex = text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive);
    bool ok = false;
    const qlonglong size = hex ? text.mid(2).toLongLong(&ok, 16) : text.toLongLong(&ok, 10);
    if (!ok || size < 1 || size > FlashProgramLimit)
        return std::nullopt;
    return size;
}

QString sizeRefusalText(const QString& text)
{
    return QStringLiteral("Неверный размер: %1; допускается от 1 до %2 байт")
        .arg(text)
        .arg(FlashProgramLimit);
}
}

// The firmware memory from address 0, read as the window's verification reads it and saved to a
// file. The file is written only once every byte has arrived, and replaced only by a whole new
// one: a read that fails leaves an earlier backup as it was.
ExitStatus flashReadCommand(CommandContext& context)
{
    if (!context.isSet(OutputOption))
        return refuse(context, QStringLiteral("Не указан файл: -o ФАЙЛ.rom"), ExitStatus::Usage);
    const QString name = context.value(OutputOption);
    const std::optional<std::int64_t> size = context.isSet(SizeOption)
        ? backupSize(context.value(SizeOption))
        : std::optional<std::int64_t>(FlashProgramLimit);
    if (!size)
        return refuse(context, sizeRefusalText(context.value(SizeOption)), ExitStatus::Usage);
    const auto access = requireAccess(context, firmwareLevels());
    if (const auto* status = std::get_if<ExitStatus>(&access))
        return *status;
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    TaskRunner& device = *std::get<std::unique_ptr<TaskRunner>>(runner);
    TaskAnswers answers;
    answers.range = Ask::FlashRange::Range{0, *size, nullptr};
    const TaskOutcome& outcome = device.run(TaskEvent::FirmwareRead, answers);
    if (!outcome.flashBytes)
        return device.failure();
    const QByteArray bytes(reinterpret_cast<const char*>(outcome.flashBytes->bytes.data()),
                           static_cast<qsizetype>(outcome.flashBytes->bytes.size()));
    context.document[QStringLiteral("bytesReceived")] = static_cast<qint64>(bytes.size());
    return saveBytes(context, name, bytes);
}
