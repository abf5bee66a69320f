#include "cli/Commands.h"

#include "cli/IdentityEntries.h"
#include "cli/RecordOutput.h"
#include "cli/ServiceCode.h"
#include "models/BoardModel.h"

namespace {
const QString SerialOption = QStringLiteral("serial");
const QString MacOption = QStringLiteral("mac");
const QString DateOption = QStringLiteral("date");
const QString DescriptionOption = QStringLiteral("description");

std::optional<QString> optionValue(const CommandContext& context, const QString& name)
{
    return context.isSet(name) ? std::optional<QString>(context.value(name)) : std::nullopt;
}

// The board block changed as the board editor changes it: the address through its field (an
// R-420 only), then "OK" with the serial number, date and description, each left as the record
// has it when not given (a date that does not parse becomes today's, as in the editor).
std::optional<QString> changeBoard(ConfigRecord& record, const IdentityEntries& entries,
                                   const QDate& today)
{
    BoardModel model;
    model.LoadBlock({record.data(Blocks::Identity), record.data(Blocks::Board)});
    if (entries.address) {
        if (!model.addressShown())
            return QStringLiteral("Физический адрес есть только у контроллера R-420");
        model.setAddressText(*entries.address);
    }
    const QLocale locale;
    const BoardEntries stored{
        entries.serial.value_or(model.serialNumber()),
        entries.date.value_or(model.date(locale, today)),
        entries.description ? StoredText::entered(*entries.description) : model.storedDescription(),
    };
    if (const std::optional<BoardText> refused = model.save(stored, locale))
        return unstorableTextMessage(*refused);
    return std::nullopt;
}
}

ExitStatus setIdentityCommand(CommandContext& context)
{
    const IdentityInput input{optionValue(context, SerialOption), optionValue(context, MacOption),
                              optionValue(context, DateOption),
                              optionValue(context, DescriptionOption)};
    if (!input.serial && !input.address && !input.date && !input.description)
        return refuse(context,
                      QStringLiteral("Не указано, что изменить: --serial, --mac, --date или "
                                     "--description"),
                      ExitStatus::Usage);
    const CheckedEntries checked = checkIdentityInput(input);
    if (!checked.entries)
        return refuse(context, checked.refusal, ExitStatus::Refused);
    const auto access = requireAccess(context, boardLevels());
    if (const auto* status = std::get_if<ExitStatus>(&access))
        return *status;
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    TaskRunner& device = *std::get<std::unique_ptr<TaskRunner>>(runner);
    auto read = readRecord(device);
    if (const auto* status = std::get_if<ExitStatus>(&read))
        return *status;
    ConfigRecord& record = std::get<ConfigRecord>(read);
    if (const std::optional<QString> refusal =
            changeBoard(record, *checked.entries, context.console.now().date()))
        return refuse(context, *refusal, ExitStatus::Refused);
    const ExitStatus written = writeRecord(context, device, record, std::get<AccessLevel>(access));
    if (written != ExitStatus::Success)
        return written;
    for (const QString& line : infoLines(record))
        context.print(line);
    context.document[QStringLiteral("info")] = infoJson(record);
    return ExitStatus::Success;
}
