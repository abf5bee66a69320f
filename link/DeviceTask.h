#pragma once

#include <array>
#include <atomic>
#include <functional>

#include <QThread>

#include "link/Clock.h"
#include "link/TaskEvents.h"
#include "link/UsbConnection.h"

class Notifier;
struct TaskContext;

using DeviceTaskFn = std::function<void(TaskContext&)>;
using TaskTable = std::array<DeviceTaskFn, TaskEventCount>;

// Every task the worker knows, by the event that starts it; an empty entry does nothing.
TaskTable deviceTasks();

// The worker thread: it owns the USB connection and runs the device tasks one at a time, each
// to its end, in the order of the task events. Windows request tasks through events().
class TDevice : public QThread {
public:
    static constexpr std::chrono::milliseconds PollInterval{50};

    TDevice(Notifier& notifier, Clock& clock, TaskTable tasks = deviceTasks());
    // Asks the thread to stop and waits for the task in hand; the tasks end at their next report
    // once the windows are gone, so this wait is short.
    ~TDevice() override;

    TaskEvents& events() { return events_; }
    // Starts the thread one step below normal priority.
    void startWorker();
    // Leave the loop after the task in hand; does not wait.
    void Terminate();

    // One pass of the loop: sleep, poll the events, run the task of the lowest one.
    void runPass();
    // The clean-up after the loop: drain and close the connection.
    void finish();

protected:
    void run() override;

private:
    void Execute();

    Notifier& notifier_;
    Clock& clock_;
    TaskTable tasks_;
    TaskEvents events_;
    UsbConnection usb_;
    std::atomic<bool> terminating_{false};
};
