#pragma once

struct TaskContext;

// Reads a range of the controller's firmware memory back for the firmware window (or whoever
// answers for it): compares it with an image and names the first difference, or hands the bytes
// over. Only a controller whose firmware answers can read its memory.
void readFirmware(TaskContext& context);
