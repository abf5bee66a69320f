#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace sim {

// The operating counters of a running controller, answered by command 8: traffic on the control
// and the audio channel grows at the rates of a live call, the processor load, jitter and delays
// wander about their usual values, and the collection time counts seconds since the last reset.
class StatisticsCounters {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int CounterCount = 19;
    // Traffic as a share of one live call, in percent: 0 is a controller at rest, 100 one call,
    // 1000 ten calls at once.
    static constexpr int DemoActivity = 100;
    static constexpr int MaxActivity = 1000;
    using Values = std::array<std::uint32_t, CounterCount>;

    explicit StatisticsCounters(Clock clock = &std::chrono::steady_clock::now);

    // Param1 1 reports the counters as they stand; 0 starts them again and reports them.
    // Counter 2 is the mean delay (16.16 seconds) on an R-420 and the synchronisation frequency
    // (Hz) on other models. The record is 19 counters, most significant byte first.
    std::vector<std::uint8_t> answer(std::uint16_t mode, std::uint16_t typeWord);
    // The counters of the last answer.
    const Values& lastAnswer() const { return last_; }
    void setClock(Clock clock);
    // From the next answer on, the counters grow at this activity; what they hold stays.
    void setActivity(int percent);

private:
    // A value that wanders about its mean within bounds.
    struct Gauge {
        double value;
        double mean;
        double spread; // typical deviation per square root of a second
        double low;
        double high;
    };
    struct Totals {
        double controlSent = 0;
        double controlSentBytes = 0;
        double retransmitted = 0;
        double controlReceived = 0;
        double controlReceivedBytes = 0;
        double controlErroneous = 0;
        double blocked = 0;
        double audioSent = 0;
        double audioSentBytes = 0;
        double audioReceived = 0;
        double audioReceivedBytes = 0;
        double audioLost = 0;
    };

    void restart(std::chrono::steady_clock::time_point now);
    void advance(std::chrono::steady_clock::time_point now);
    void step(Gauge& gauge, double seconds);
    Values snapshot(std::chrono::steady_clock::time_point now, std::uint16_t typeWord);

    Clock clock_;
    std::mt19937 random_{20240410};
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point updated_;
    Totals totals_;
    Totals reported_; // at the previous answer, for the shares over the report period
    Gauge load_{0.42, 0.42, 0.03, 0.15, 0.95};
    Gauge audioLoss_{0.004, 0.004, 0.002, 0.0, 0.05};
    Gauge controlErrors_{0.01, 0.01, 0.004, 0.0, 0.2};
    Gauge jitterSeconds_{0.0035, 0.0035, 0.0006, 0.0005, 0.02};
    Gauge delaySeconds_{0.062, 0.062, 0.004, 0.03, 0.15};
    Gauge syncHertz_{8000.0, 8000.0, 0.6, 7990.0, 8010.0};
    Gauge frameDelayMs_{42.0, 42.0, 1.5, 20.0, 80.0};
    double activity_ = DemoActivity / 100.0;
    Values last_{};
};

} // namespace sim
