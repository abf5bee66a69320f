#include "cli/Commands.h"

#include "cli/ServiceCode.h"
#include "cli/Verification.h"
#include "config/FirmwareFile.h"
#include "models/FlashVerification.h"
#include "models/LogText.h"

namespace {
const QString VerifyOption = QStringLiteral("verify");

// As the firmware window's verification: the memory read back and compared with the image; the
// task logs the verdict.
ExitStatus verifyLoad(CommandContext& context, TaskRunner& device,
                      const std::shared_ptr<const FirmwareImage>& image)
{
    TaskAnswers answers;
    answers.range = verificationRange(image);
    const TaskOutcome& outcome = device.run(TaskEvent::FirmwareRead, answers);
    if (!outcome.compared)
        return device.failure();
    const Report::Compared& compared = *outcome.compared;
    context.document[QStringLiteral("verification")]
        = comparisonJson(compared.count, compared.mismatch);
    return compared.mismatch ? ExitStatus::Mismatch : ExitStatus::Success;
}
}

// As the firmware window: any file that reads whole is an image, sent unchanged, in normal mode
// when the controller's firmware answers and to its boot loader otherwise. --verify is the
// window's check box, ticked.
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
    if (!context.isSet(VerifyOption))
        return ExitStatus::Success;
    const LoadMode mode = outcome.loadMode.value_or(LoadMode::Normal);
    if (!verifiesAfterLoad(true, mode)) {
        context.document[QStringLiteral("verification")] = impossibleComparisonJson();
        return refuse(context, verifyOptionText(mode), ExitStatus::Unverified);
    }
    return verifyLoad(context, device, image);
}
