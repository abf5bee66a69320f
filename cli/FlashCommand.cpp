#include "cli/Commands.h"

#include "cli/ServiceCode.h"
#include "config/FirmwareFile.h"
#include "models/LogText.h"

// As the firmware window: any file that reads whole is an image, sent unchanged, in normal mode
// when the controller's firmware answers and to its boot loader otherwise.
ExitStatus flashCommand(CommandContext& context)
{
    const auto access = requireAccess(context, firmwareLevels());
    if (const auto* status = std::get_if<ExitStatus>(&access))
        return *status;
    const QString name = context.arguments().front();
    const std::shared_ptr<const FirmwareImage> image = readFirmwareFile(name);
    if (!image)
        return refuse(context, fileRejectedText(name), ExitStatus::Refused);
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    TaskRunner& device = *std::get<std::unique_ptr<TaskRunner>>(runner);
    TaskAnswers answers;
    answers.image = ImageRequest{static_cast<std::uint32_t>(image->size()), image};
    const TaskOutcome& outcome = device.run(TaskEvent::FirmwareLoad, answers);
    if (!outcome.finished)
        return device.failure();
    context.document[QStringLiteral("bytesSent")] = static_cast<qint64>(*outcome.finished);
    context.document[QStringLiteral("imageSize")] = static_cast<qint64>(image->size());
    return ExitStatus::Success;
}
