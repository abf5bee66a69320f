#include "sim/TraceQueues.h"

#include <algorithm>

namespace sim {

namespace {
constexpr std::int64_t MicrosPerSecond = 1'000'000;
// Longer pauses add nothing: a full recorder only keeps its capacity's worth.
constexpr std::chrono::microseconds LongestPause = std::chrono::minutes(1);
constexpr std::uint16_t BusRead = 0xA1;       // configuration memory, read
constexpr std::uint16_t CodecWrite = 0x34;
constexpr std::uint16_t AmplifierWrite = 0x96;
constexpr std::uint8_t VoiceFrame = 0x81;
constexpr int VoiceBytes = 12;

bool selects(std::uint16_t mask, TraceChannel channel)
{
    return (mask >> static_cast<unsigned>(channel)) & 1u;
}
}

TraceQueues::TraceQueues()
    : now_([] { return std::chrono::steady_clock::now(); })
    , last_(now_())
{
}

void TraceQueues::select(std::uint16_t mask)
{
    std::lock_guard lock(mutex_);
    // What passed before the selection was recorded by the mask of its time.
    produceLive();
    mask_ = mask;
    selections_.push_back(mask);
}

std::uint16_t TraceQueues::mask() const
{
    std::lock_guard lock(mutex_);
    return mask_;
}

std::vector<std::uint16_t> TraceQueues::selections() const
{
    std::lock_guard lock(mutex_);
    return selections_;
}

void TraceQueues::pass(TraceChannel channel, const std::vector<std::uint8_t>& data)
{
    std::lock_guard lock(mutex_);
    record(channel, data);
}

void TraceQueues::queueRecord(std::vector<std::uint8_t> record)
{
    std::lock_guard lock(mutex_);
    queued_.push_back(std::move(record));
}

void TraceQueues::setLiveRate(int framesPerSecond)
{
    std::lock_guard lock(mutex_);
    rate_ = std::max(framesPerSecond, 0);
    last_ = now_();
    owedMicroFrames_ = 0;
}

void TraceQueues::setTimeSource(TimeSource now)
{
    std::lock_guard lock(mutex_);
    now_ = std::move(now);
    last_ = now_();
    owedMicroFrames_ = 0;
}

std::vector<std::uint8_t> TraceQueues::fetch()
{
    std::lock_guard lock(mutex_);
    produceLive();
    std::deque<std::vector<std::uint8_t>>& source = queued_.empty() ? recorded_ : queued_;
    if (source.empty())
        return {};
    std::vector<std::uint8_t> next = std::move(source.front());
    source.pop_front();
    return next;
}

std::size_t TraceQueues::pending() const
{
    std::lock_guard lock(mutex_);
    return queued_.size() + recorded_.size();
}

// The frames that passed since the last fetch, spread over the four channels.
void TraceQueues::produceLive()
{
    const auto now = now_();
    const auto elapsed = std::clamp(
        std::chrono::duration_cast<std::chrono::microseconds>(now - last_),
        std::chrono::microseconds(0), LongestPause);
    last_ = now;
    owedMicroFrames_ += std::int64_t{rate_} * elapsed.count();
    const std::int64_t frames = owedMicroFrames_ / MicrosPerSecond;
    owedMicroFrames_ %= MicrosPerSecond;
    const std::int64_t made = std::min<std::int64_t>(frames, Capacity);
    for (std::int64_t i = 0; i < made; ++i) {
        const auto channel = static_cast<TraceChannel>(nextRandom() % 4);
        record(channel, liveFrame(channel));
    }
}

void TraceQueues::record(TraceChannel channel, const std::vector<std::uint8_t>& data)
{
    if (!selects(mask_, channel))
        return;
    const auto kind = static_cast<std::uint16_t>(channel);
    std::vector<std::uint8_t> entry{static_cast<std::uint8_t>(kind >> 8),
                                    static_cast<std::uint8_t>(kind & 0xFF)};
    // A bus-transmit record carries the frame's length before its bytes.
    if (channel == TraceChannel::BusTx)
        entry.push_back(static_cast<std::uint8_t>(data.size()));
    entry.insert(entry.end(), data.begin(), data.end());
    if (recorded_.size() >= Capacity)
        recorded_.pop_front();
    recorded_.push_back(std::move(entry));
}

// Plausible traffic: reads from the configuration memory and writes to the codec and amplifier on
// the bus; numbered voice frames on the link.
std::vector<std::uint8_t> TraceQueues::liveFrame(TraceChannel channel)
{
    switch (channel) {
    case TraceChannel::BusRx:
        return {static_cast<std::uint8_t>(BusRead), nextRandom(), nextRandom(), nextRandom(),
                nextRandom()};
    case TraceChannel::BusTx:
        if (nextRandom() & 1)
            return {static_cast<std::uint8_t>(AmplifierWrite),
                    static_cast<std::uint8_t>(nextRandom() & 0x3F)};
        return {static_cast<std::uint8_t>(CodecWrite),
                static_cast<std::uint8_t>((nextRandom() % 10) << 1), nextRandom()};
    case TraceChannel::LinkRx:
    case TraceChannel::LinkTx: {
        std::uint8_t& sequence = sequence_[channel == TraceChannel::LinkTx];
        std::vector<std::uint8_t> frame{VoiceFrame, sequence++};
        for (int i = 0; i < VoiceBytes; ++i)
            frame.push_back(nextRandom());
        return frame;
    }
    }
    return {};
}

// A fixed sequence, so the demo shows the same traffic every run.
std::uint8_t TraceQueues::nextRandom()
{
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return static_cast<std::uint8_t>(random_ >> 24);
}

} // namespace sim
