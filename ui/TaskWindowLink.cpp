#include "ui/TaskWindowLink.h"

#include "ui/WindowRegistry.h"

TaskWindowLink::TaskWindowLink(WindowRegistry& registry, TaskEvents& events, Target target,
                               std::initializer_list<TaskEvent> requests)
    : registry_(registry)
    , events_(events)
    , target_(target)
    , requests_(requests)
{
}

void TaskWindowLink::enrol(NotifiedWindow& window, QWidget& widget)
{
    registry_.enrol(target_, window, widget);
}

void TaskWindowLink::closed(const NotifiedWindow& window)
{
    for (TaskEvent request : requests_)
        events_.reset(request);
    registry_.withdraw(target_, window);
}
