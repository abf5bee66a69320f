#include "cli/TaskRunner.h"

#include "link/TaskContext.h"

TaskRunner::TaskRunner(Console& console, std::optional<DevicePath> device)
    : console_(console)
    , notifier_(console)
    , usb_(notifier_)
{
    usb_.choose(std::move(device));
}

TaskRunner::~TaskRunner()
{
    usb_.drainAndClose();
}

const TaskOutcome& TaskRunner::run(TaskEvent event, TaskAnswers answers)
{
    notifier_.begin(std::move(answers));
    TaskContext context{usb_, notifier_, console_.clock};
    console_.tasks[static_cast<int>(event)](context);
    return notifier_.outcome();
}

ExitStatus TaskRunner::failure() const
{
    return failureStatus(notifier_.outcome(), console_.interrupted);
}
