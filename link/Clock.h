#pragma once

#include <chrono>

// Every pause of the worker goes through this seam, so tests can make pauses instant and check
// the durations asked for.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

class SystemClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds duration) override;
};
