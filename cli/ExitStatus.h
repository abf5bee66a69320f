#pragma once

#include <vector>

#include <QString>

// The exit statuses of r4xx-cli, one for each way a command ends. 1 is only diff's "the records
// differ", as diff(1) has it: it is the status of too many other failures (a shell's, a
// wrapper's) to mean anything of the controller's.
enum class ExitStatus : int {
    Success = 0,
    Differ = 1,
    Usage = 2,         // an unknown command or option, a missing or malformed argument
    NoController = 3,  // no controller on the bus, or none at the chosen place
    UsbFailure = 4,    // the controller failed, went away, or is held by another program
    Refused = 5,       // a file that does not open, a value that cannot be stored
    AccessRefused = 6, // a wrong service code, or one that does not open the command's level
    // The record is of another controller type than the controller, or what a read-back found
    // differs from what was written: what the controller holds is not what the user gave.
    Mismatch = 7,
    // A load asked to be verified went to the boot loader, which cannot read anything back: the
    // image was sent, but nothing confirms it.
    Unverified = 8,
    Interrupted = 130, // Ctrl+C ended a task before its end
};

int exitCode(ExitStatus status);
// Whether a status says the command could not do its task.
bool isFailure(ExitStatus status);

struct ExitStatusEntry {
    ExitStatus status;
    const char* key; // in --json
    QString meaning; // in the help and the manual page
};
const std::vector<ExitStatusEntry>& exitStatuses();
const ExitStatusEntry& exitStatusEntry(ExitStatus status);
