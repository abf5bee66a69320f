#pragma once

#include <QString>

#include "link/FirmwareBlocks.h"

struct TaskContext;

// Reads a range of the controller's firmware memory back for the firmware window (or whoever
// answers for it): compares it with an image and names the first difference, or hands the bytes
// over. Only a controller whose firmware answers can read its memory.
void readFirmware(TaskContext& context);

// The line that names the first difference, for the log and the firmware window's status line.
QString mismatchText(const FlashMismatch& mismatch);
