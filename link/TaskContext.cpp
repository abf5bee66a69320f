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

bool TaskContext::notify(Target target, int code, NotifyValue value)
{
    return delivered(notifier.notify(target, code, value), target);
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

void TaskContext::failExchange(Target window, int result)
{
    if (logError(result))
        requestClose(window);
    usb.CloseConnection();
}
