#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>

#include "link/Clock.h"
#include "link/TaskEvents.h"
#include "shell/DeviceForm.h"
#include "ui/Dialogs.h"

using SteadyTime = std::chrono::steady_clock::time_point;

double secondsBetween(SteadyTime from, SteadyTime to);

// The benchmarks' operator: every question answered Yes, the firmware file chosen in the file
// dialog, and the full service code typed into the service-code dialog.
class BenchDialogs final : public Dialogs {
public:
    void inform(QWidget*, const QString&) override { }
    bool confirm(QWidget*, const QString&) override { return true; }
    std::optional<QString> openFileName(QWidget*, const QString&, const QStringList&) override;
    std::optional<QString> saveFileName(QWidget*, const QString&, const QStringList&) override
    {
        return std::nullopt;
    }
    int runModal(QDialog& dialog) override;

    QString firmwareFile;
};

// The worker's idle poll sleeps for real; the tasks' own pauses (the write pauses, the erase
// wait) are skipped, so that a task takes the time of its transfers and the terminal's work
// around them.
class PollOnlyClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds duration) override;
};

// When each device task began and ended, taken from the worker's task diagnostics (category
// r4xx.tasks, switched on here) on the steady clock.
class TaskTimes {
public:
    struct Span {
        QString task;
        SteadyTime begin;
        std::optional<SteadyTime> end;
    };

    static TaskTimes& instance();
    void clear();
    int ended(const char* task) const;
    // The last span of the task that has ended.
    std::optional<Span> lastEnded(const char* task) const;

private:
    TaskTimes();
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text);
    void note(const QString& text);

    mutable std::mutex mutex_;
    std::vector<Span> spans_;
};

// The simulated controller of the demo program (an R-420ZA with 256 payload bytes per packet)
// with the given real delay per exchange.
void setUpController(std::chrono::microseconds latency);

// The terminal as its program runs it: the main window shown, its real worker thread with every
// task, on the simulated controller, in the full service level.
class ShownTerminal {
public:
    explicit ShownTerminal(Clock& clock);
    ~ShownTerminal();

    TFDevice& form() { return *form_; }
    BenchDialogs dialogs;
    // Selects a node of the task tree and presses Return on it, as an operator opens a window.
    void openFromTree(const QString& caption);
    void closeChildren();
    // Reads the configuration from the controller (the record is then installed).
    bool readConfiguration();

private:
    std::unique_ptr<TFDevice> form_;
};

// Runs the event loop until `done` holds, looking every few milliseconds, or until the time is up.
// Answers whether `done` held. Unlike a sleep, it leaves the worker's notifications no wait.
bool runEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
void runEventsFor(std::chrono::milliseconds duration);
