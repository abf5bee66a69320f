#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

// The task events in wait order: when several are set, the lowest is served first.
enum class TaskEvent : int {
    ConfigRead = 0,
    ConfigWrite,
    FirmwareLoad,
    StatisticsReport,
    StatisticsReset,
    CodecTest,
    AmplifierTest,
    VocoderTest,
    RecorderTest,
    TraceSelection,
    TracePoll,
    NetworkLoad,
    LinkLoad,
    // The firmware read-back, after every other request.
    FirmwareRead,
};
inline constexpr int TaskEventCount = 14;

// Auto-reset flags shared by the windows (set, reset) and the worker (poll).
// Lock-free; safe from any thread.
class TaskEvents {
public:
    void set(TaskEvent event);
    void reset(TaskEvent event);
    bool isSet(TaskEvent event) const;
    // A zero-time wait: returns and clears the lowest set flag, or nothing.
    std::optional<TaskEvent> poll();

private:
    std::atomic<std::uint32_t> flags_{0};
};
