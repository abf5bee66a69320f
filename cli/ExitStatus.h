#pragma once

#include <vector>

#include <QString>

// The exit statuses of r4xx-cli, one for each way a command ends. 1 is left to a comparison that
// finds a difference, as diff has it.
enum class ExitStatus : int {
    Success = 0,
    Usage = 2,         // an unknown command or option, a missing or malformed argument
    NoController = 3,  // no controller on the bus, or none at the chosen place
    UsbFailure = 4,    // the controller failed, went away, or is held by another program
    Refused = 5,       // a file that does not open, a value that cannot be stored
    AccessRefused = 6, // a wrong service code, or one that does not open the command's level
    Mismatch = 7,      // the record is of another controller type than the controller
    Interrupted = 130, // Ctrl+C ended a task before its end
};

int exitCode(ExitStatus status);

struct ExitStatusEntry {
    ExitStatus status;
    const char* key; // in --json
    QString meaning; // in the help and the manual page
};
const std::vector<ExitStatusEntry>& exitStatuses();
const ExitStatusEntry& exitStatusEntry(ExitStatus status);
