#pragma once

struct TaskContext;

// Loads the firmware window's image into the controller: into its firmware memory when its
// firmware answers, else as a raw stream to its boot loader.
void loadFirmware(TaskContext& context);
