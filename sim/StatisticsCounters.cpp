#include "sim/StatisticsCounters.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
// Traffic of one call with a 20 ms vocoder frame, and the signalling beside it.
constexpr double AudioPacketsPerSecond = 50.0;
constexpr double AudioPacketBytes = 74.0;
constexpr double ControlPacketsPerSecond = 4.0;
constexpr double ControlPacketBytes = 96.0;
constexpr double RetransmittedShare = 0.006;
constexpr double BlockedPerSecond = 0.05;
constexpr double MeanReversionPerSecond = 0.05;
constexpr double FixedOne = 65536.0;    // 16.16 fixed point
constexpr double FullShare = 2147483648.0; // 2^31 = the whole report period
constexpr std::uint16_t ModelR420 = 2;

std::uint32_t counter(double total)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(total) & 0xFFFFFFFFu);
}

std::uint32_t share(double part, double whole)
{
    return whole > 0 ? static_cast<std::uint32_t>(std::clamp(part / whole, 0.0, 1.0) * FullShare)
                     : 0;
}

std::uint32_t rounded(double value)
{
    return static_cast<std::uint32_t>(std::lround(std::max(value, 0.0)));
}
}

StatisticsCounters::StatisticsCounters(Clock clock)
    : clock_(std::move(clock))
{
    restart(clock_());
}

void StatisticsCounters::setClock(Clock clock)
{
    clock_ = std::move(clock);
    restart(clock_());
}

void StatisticsCounters::setActivity(int percent)
{
    advance(clock_());
    activity_ = std::clamp(percent, 0, MaxActivity) / 100.0;
}

void StatisticsCounters::restart(std::chrono::steady_clock::time_point now)
{
    started_ = now;
    updated_ = now;
    totals_ = {};
    reported_ = {};
}

void StatisticsCounters::step(Gauge& gauge, double seconds)
{
    std::normal_distribution<double> noise(0.0, gauge.spread * std::sqrt(seconds));
    const double pull = std::min(1.0, MeanReversionPerSecond * seconds);
    gauge.value += pull * (gauge.mean - gauge.value) + noise(random_);
    gauge.value = std::clamp(gauge.value, gauge.low, gauge.high);
}

void StatisticsCounters::advance(std::chrono::steady_clock::time_point now)
{
    const double seconds = std::chrono::duration<double>(now - updated_).count();
    if (seconds <= 0)
        return;
    updated_ = now;
    for (Gauge* gauge : {&load_, &audioLoss_, &controlErrors_, &jitterSeconds_, &delaySeconds_,
                         &syncHertz_, &frameDelayMs_})
        step(*gauge, seconds);
    std::uniform_real_distribution<double> spread(0.9, 1.1);
    const double busySeconds = seconds * activity_;

    const double controlSent = ControlPacketsPerSecond * busySeconds * spread(random_);
    totals_.controlSent += controlSent;
    totals_.controlSentBytes += controlSent * ControlPacketBytes * spread(random_);
    totals_.retransmitted += controlSent * RetransmittedShare * spread(random_);
    const double controlArrived = ControlPacketsPerSecond * busySeconds * spread(random_);
    totals_.controlReceived += controlArrived;
    totals_.controlReceivedBytes += controlArrived * ControlPacketBytes * spread(random_);
    totals_.controlErroneous += controlArrived * controlErrors_.value;
    totals_.blocked += BlockedPerSecond * busySeconds * spread(random_);

    const double audioSent = AudioPacketsPerSecond * busySeconds;
    totals_.audioSent += audioSent;
    totals_.audioSentBytes += audioSent * AudioPacketBytes;
    const double audioExpected = AudioPacketsPerSecond * busySeconds;
    const double audioLost = audioExpected * audioLoss_.value;
    totals_.audioReceived += audioExpected - audioLost;
    totals_.audioReceivedBytes += (audioExpected - audioLost) * AudioPacketBytes;
    totals_.audioLost += audioLost;
}

StatisticsCounters::Values StatisticsCounters::snapshot(std::chrono::steady_clock::time_point now,
                                                        std::uint16_t typeWord)
{
    const Totals& t = totals_;
    const Totals& r = reported_;
    const bool r420 = (typeWord >> 12) == ModelR420;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    Values values{};
    values[0] = static_cast<std::uint32_t>(seconds);
    values[1] = counter(t.blocked);
    values[2] = r420 ? rounded(delaySeconds_.value * FixedOne) : rounded(syncHertz_.value);
    values[3] = counter(t.controlSent);
    values[4] = counter(t.controlSentBytes);
    values[5] = counter(t.retransmitted);
    values[6] = counter(t.controlReceived);
    values[7] = counter(t.controlReceivedBytes);
    values[8] = counter(t.controlErroneous);
    values[9] = share(t.controlErroneous - r.controlErroneous, t.controlReceived - r.controlReceived);
    values[10] = counter(t.audioSent);
    values[11] = counter(t.audioSentBytes);
    values[12] = counter(t.audioReceived);
    values[13] = counter(t.audioReceivedBytes);
    values[14] = counter(t.audioLost);
    values[15] = share(t.audioLost - r.audioLost,
                       (t.audioReceived + t.audioLost) - (r.audioReceived + r.audioLost));
    values[16] = rounded(jitterSeconds_.value * FixedOne);
    values[17] = rounded(load_.value * FixedOne);
    values[18] = rounded(frameDelayMs_.value * 100.0);
    return values;
}

std::vector<std::uint8_t> StatisticsCounters::answer(std::uint16_t mode, std::uint16_t typeWord)
{
    const auto now = clock_();
    advance(now);
    if (mode == 0)
        restart(now);
    last_ = snapshot(now, typeWord);
    reported_ = totals_;
    std::vector<std::uint8_t> record;
    for (const std::uint32_t value : last_)
        for (int shift = 24; shift >= 0; shift -= 8)
            record.push_back(static_cast<std::uint8_t>(value >> shift));
    return record;
}

} // namespace sim
