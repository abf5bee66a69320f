#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "config/ConfigRecord.h"
#include "link/TaskEvents.h"
#include "sim/SimController.h"
#include "support/RecordingNotifier.h"

// The device task runs of the controller replies target, each driven synchronously by the worker
// without its thread, as the link layer's tests drive them.

enum class Ending {
    Told,      // its window is always told how the run ended: closed, or finished
    OnFailure, // its window is told to stop after a failure; a success goes on quietly
    Polling,   // the statistics window keeps polling after a reply it cannot use
};

struct TaskRun {
    const char* name;
    TaskEvent event;
    Target window;
    Ending ending;
    int writeCount = 0;    // the main window's answer to a write request
    bool bootMode = false; // a controller without working firmware
    bool backup = false;   // a read-back hands the bytes over instead of comparing them
};

const std::array<TaskRun, 17>& taskRuns();

struct RunSetup {
    std::shared_ptr<const FirmwareImage> image;
    std::uint16_t traceMask = 0;
    std::uint16_t capacity = 64; // of the controller's own probe reply
    std::function<void(const sim::Request&, std::vector<std::uint8_t>&)> replyFilter;
    // Sets the fresh controller up further before the run (frames for the trace, say).
    std::function<void(sim::SimController&)> prepare;
};

struct RunHandles {
    int afterTask;   // connections open once the task returned
    int afterWorker; // once the worker ended
};

// A fresh simulated controller with its demonstration configuration and, for a read-back, the
// image in its firmware memory; the windows answer as set (the write request with the
// controller's own image and type, the firmware window with the image, the read-back with the
// image's range, compared with the image unless it is a backup). Runs the task once and ends the worker. The simulator keeps the run's traffic.
RunHandles runTask(const TaskRun& run, const RunSetup& setup, RecordingNotifier& notifier);

// A patterned image of the given length.
std::shared_ptr<const FirmwareImage> patternedImage(std::size_t length);
