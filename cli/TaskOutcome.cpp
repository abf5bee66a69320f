#include "cli/TaskOutcome.h"

#include "link/ConfigTasks.h"
#include "link/UsbConnection.h"

ExitStatus failureStatus(const TaskOutcome& outcome, bool interrupted)
{
    using namespace ConnectionTexts;
    if (outcome.log.contains(WrongTypeText))
        return ExitStatus::Mismatch;
    if (!outcome.usbFailures.empty() || outcome.log.contains(ConfigurationText)
        || outcome.log.contains(InterfaceText))
        return ExitStatus::UsbFailure;
    if (outcome.log.contains(NotFoundText))
        return ExitStatus::NoController;
    if (interrupted)
        return ExitStatus::Interrupted;
    // A task that ends without its result says why in the log; should one ever not, the
    // controller's side is the one to suspect.
    return ExitStatus::UsbFailure;
}
