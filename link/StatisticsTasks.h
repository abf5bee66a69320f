#pragma once

struct TaskContext;

// Fetches the counters (report) or resets them and fetches them again (reset), and hands them
// to the statistics window; a failure to reach the controller stops the window's polling.
void reportStatistics(TaskContext& context);
void resetStatistics(TaskContext& context);
