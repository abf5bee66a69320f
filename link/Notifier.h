#pragma once

#include <optional>

#include "link/TaskMessages.h"

// The windows a device task reports to. Each has at most one instance at a time.
enum class Target {
    Device,  // the main window and its message log
    Read,
    Save,
    Flash,
    Report,
    Trace,
    Codec,
    Audio,
    Vocoder,
    Recoder,
    Net,
    Link,
};

// The one way the worker reaches the windows. Every call is synchronous: it returns once the
// window has handled it on the user-interface thread, and answers that the target window no
// longer exists (false, or no input), which is how a closed window cancels its task.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual bool notify(Target target, const TaskReport& report) = 0;
    // Code 9: the window's answer, owned by the task from then on.
    virtual std::optional<TaskInput> request(Target target, const TaskRequest& wanted) = 0;
    // Asks a task window to close as if its user had closed it.
    virtual bool requestClose(Target target) = 0;
};
