#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include "link/Clock.h"
#include "link/DeviceTask.h"

// The tasks' pauses and the command's own waits (the report period, the trace poll), and the time
// a command has run: tests make both instant.
class PollClock : public Clock {
public:
    virtual std::chrono::milliseconds elapsed() const = 0;
};

// The real clock. A pause ends early once Ctrl+C was pressed: the task then ends at its next
// report, and a command's wait returns at once.
class SystemPollClock final : public PollClock {
public:
    explicit SystemPollClock(const std::atomic<bool>& interrupted);
    void sleep(std::chrono::milliseconds duration) override;
    std::chrono::milliseconds elapsed() const override;

private:
    const std::atomic<bool>& interrupted_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// What a command works with beside the controller.
struct Console {
    QTextStream& out; // the command's result: text, or one JSON document
    QTextStream& err; // the log lines and the progress bar
    bool errIsTerminal = false;
    PollClock& clock;
    std::function<QDateTime()> now;
    // The service code from the environment, and typed at a prompt without echo; nothing when
    // there is none.
    std::function<std::optional<QString>()> environmentCode;
    std::function<std::optional<QString>()> promptCode;
    const std::atomic<bool>& interrupted;
    TaskTable tasks = deviceTasks();
    // Every log line printed so far, without its time prefix, for --json.
    QStringList logged;
};

// A line of r4xx-cli's own in the log, as the tasks' lines are printed: the time prefix, the text.
void logLine(Console& console, const QString& text);
