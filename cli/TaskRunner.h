#pragma once

#include <optional>

#include "cli/ConsoleNotifier.h"
#include "link/DevicePath.h"
#include "link/TaskEvents.h"
#include "link/UsbConnection.h"

// Runs the worker's own tasks, one at a time, on one controller: the one at the chosen path, or
// the one the terminal opens. The connection stays open between the runs of a command, as the
// worker keeps it between tasks, and is drained and closed at the end.
class TaskRunner {
public:
    TaskRunner(Console& console, std::optional<DevicePath> device);
    ~TaskRunner();
    TaskRunner(const TaskRunner&) = delete;
    TaskRunner& operator=(const TaskRunner&) = delete;

    const TaskOutcome& run(TaskEvent event, TaskAnswers answers = {});
    // The controller's identity block, as the last task's connection read it.
    const std::array<std::uint8_t, 12>& identity() const { return usb_.identity(); }
    // Why the last run ended without its result.
    ExitStatus failure() const;

private:
    Console& console_;
    ConsoleNotifier notifier_;
    UsbConnection usb_;
};
