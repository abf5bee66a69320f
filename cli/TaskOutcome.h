#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <QStringList>

#include "cli/ExitStatus.h"
#include "config/ConfigRecord.h"

// What one run of a device task told its windows, kept for the command's result.
struct TaskOutcome {
    QStringList log;              // the main window's log lines, without the time prefix
    std::vector<int> usbFailures; // "Error: " and these
    std::optional<std::int64_t> finished;
    std::optional<std::int64_t> received;
    std::optional<std::int64_t> sent;
    std::optional<RecordBytes> record;
    std::optional<std::array<std::uint8_t, 76>> counters;
    QStringList traceLines;
    bool stopped = false; // the statistics or trace window was told to stop
};

// Why a task ended without its result: the other controller type, a USB failure (one the
// controller gave, or a controller that could not be configured or claimed), no controller, or
// Ctrl+C.
ExitStatus failureStatus(const TaskOutcome& outcome, bool interrupted);
