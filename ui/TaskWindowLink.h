#pragma once

#include <initializer_list>
#include <vector>

#include "link/Notifier.h"
#include "link/TaskEvents.h"

class NotifiedWindow;
class QWidget;
class WindowRegistry;

// What every task window repeats: it is found under its target while it is open, and closing it
// withdraws every request it may have left with the worker, so no task starts for it afterwards.
class TaskWindowLink {
public:
    TaskWindowLink(WindowRegistry& registry, TaskEvents& events, Target target,
                   std::initializer_list<TaskEvent> requests);

    void enrol(NotifiedWindow& window, QWidget& widget);
    // FormClose: the window's requests are reset and the registry no longer names it.
    void closed(const NotifiedWindow& window);
    TaskEvents& events() const { return events_; }

private:
    WindowRegistry& registry_;
    TaskEvents& events_;
    Target target_;
    std::vector<TaskEvent> requests_;
};
