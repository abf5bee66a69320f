#include "link/TaskContext.h"

#include "link/Diagnostics.h"

namespace {
bool delivered(bool answer, Target target)
{
    if (!answer)
        qCDebug(taskLog) << "window" << windowName(target) << "is gone: the task ends";
    return answer;
}
}

bool TaskContext::notify(Target target, const TaskReport& report)
{
    return delivered(notifier.notify(target, report), target);
}

std::optional<TaskInput> TaskContext::input(Target target, const TaskRequest& wanted)
{
    std::optional<TaskInput> answer = notifier.request(target, wanted);
    delivered(answer.has_value(), target);
    return answer;
}

bool TaskContext::requestClose(Target target)
{
    return delivered(notifier.requestClose(target), target);
}

bool TaskContext::connect(int configuration)
{
    usb.OpenConnection(configuration);
    usb.Connect();
    return usb.isOpen();
}

void TaskContext::failExchange(Target window, const Protocol::Failure& failure)
{
    if (logError(failure.logged()))
        requestClose(window);
    usb.CloseConnection();
}
