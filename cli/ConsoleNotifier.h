#pragma once

#include <optional>

#include "cli/Console.h"
#include "cli/TaskOutcome.h"
#include "link/Notifier.h"

// What a command gives a task that asks for its input (code 9).
struct TaskAnswers {
    std::optional<WriteRequest> write;
    std::optional<ImageRequest> image;
    std::uint16_t traceMask = 0;
};

// The windows of the terminal, on a console: the main window's log lines go to standard error
// with their time prefix, the progress of a transfer is a bar on standard error when it is a
// terminal (nothing otherwise), requests are answered with the command's input, and what the
// task hands over is kept. After Ctrl+C every window but the log answers "gone", so the task
// ends at its next report as it does when its window closes.
class ConsoleNotifier : public Notifier {
public:
    explicit ConsoleNotifier(Console& console);

    // Starts a new task run with these answers; the outcome starts empty.
    void begin(TaskAnswers answers);
    const TaskOutcome& outcome() const { return outcome_; }

    bool notify(Target target, const TaskReport& report) override;
    std::optional<TaskInput> request(Target target, const TaskRequest& wanted) override;
    bool requestClose(Target target) override;

private:
    bool open() const { return !console_.interrupted; }
    void log(const TaskReport& report);
    void keep(const TaskReport& report);
    void showProgress(const TaskReport& report);
    void drawBar();
    void endBar();

    Console& console_;
    TaskAnswers answers_;
    TaskOutcome outcome_;
    QString phase_;
    std::int64_t maximum_ = 0;
    std::int64_t position_ = 0;
    bool barShown_ = false;
};
