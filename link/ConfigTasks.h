#pragma once

struct TaskContext;

// Copies the controller's configuration image into a new record and hands it to the main window.
void readConfiguration(TaskContext& context);
// Writes the leading bytes of the main window's record into the controller's configuration
// memory, in blocks that never cross a memory page.
void writeConfiguration(TaskContext& context);
