#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace sim {

// The channels the controller traces, by their bit in the channel mask; a record's kind is the
// channel's number.
enum class TraceChannel : std::uint16_t { BusRx = 0, BusTx = 1, LinkRx = 2, LinkTx = 3 };

// The controller's trace recorder. It records the frames that pass on its serial bus and on its
// link, in both directions, for the channels selected by the last mask (command 5), and hands out
// one record per fetch (command 6), oldest first. Tests put frames on the channels themselves,
// or queue any reply record they want; a running controller also carries live traffic, at a rate
// that the demo leaves lively and tests set. Thread-safe.
class TraceQueues {
public:
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;
    // Frames per second over the four channels, unless a test or the benchmark sets its own.
    static constexpr int DemoRate = 24;
    // Records the recorder holds; the oldest is lost when a new one comes to a full recorder.
    static constexpr std::size_t Capacity = 4096;

    TraceQueues();

    void select(std::uint16_t mask);
    std::uint16_t mask() const;
    // Every mask received, in order.
    std::vector<std::uint16_t> selections() const;

    // A frame passes on a channel; it is recorded when the mask selects the channel.
    void pass(TraceChannel channel, const std::vector<std::uint8_t>& data);
    // A reply record exactly as given (kind and all), served before the recorded frames; an empty
    // one makes one empty reply.
    void queueRecord(std::vector<std::uint8_t> record);

    // Live traffic, made at each fetch for the time passed since the last one; 0 stops it.
    void setLiveRate(int framesPerSecond);
    void setTimeSource(TimeSource now);

    // The next record, or an empty one when there is nothing to report.
    std::vector<std::uint8_t> fetch();
    std::size_t pending() const;

private:
    void produceLive();
    void record(TraceChannel channel, const std::vector<std::uint8_t>& data);
    std::vector<std::uint8_t> liveFrame(TraceChannel channel);
    std::uint8_t nextRandom();

    mutable std::mutex mutex_;
    std::uint16_t mask_ = 0;
    std::vector<std::uint16_t> selections_;
    std::deque<std::vector<std::uint8_t>> queued_;
    std::deque<std::vector<std::uint8_t>> recorded_;
    int rate_ = DemoRate;
    TimeSource now_;
    std::chrono::steady_clock::time_point last_;
    std::int64_t owedMicroFrames_ = 0;
    std::uint32_t random_ = 0x2545F491;
    std::uint8_t sequence_[2] = {0, 0};
};

} // namespace sim
