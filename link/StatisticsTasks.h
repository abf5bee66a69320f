#pragma once

#include <cstdint>
#include <optional>

struct TaskContext;

// The controller's operating counters: 19 unsigned 32-bit counters, most significant byte first,
// as the statistics window receives them.
namespace Statistics {
inline constexpr int CounterCount = 19;
inline constexpr int RecordSize = CounterCount * 4;
inline constexpr int TimeoutMs = 100;
// Param1 of command 8.
enum class Mode : std::uint16_t {
    Reset = 0,
    Report = 1,
};
}

// What is wrong with a statistics reply of the given length, as the error value the log shows:
// -2 for a reply to another command, -1 for one too short to hold the whole counters record (its
// missing bytes would be stale buffer contents); nothing for a good reply.
std::optional<int> statisticsReplyError(const std::uint8_t* reply, int length);

// Fetches the counters (report) or resets them and fetches them again (reset), and hands them
// to the statistics window; a failure to reach the controller stops the window's polling.
void reportStatistics(TaskContext& context);
void resetStatistics(TaskContext& context);
