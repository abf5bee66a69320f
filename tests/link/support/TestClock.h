#pragma once

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "link/Clock.h"

// Instant pauses that remember what was asked for. It yields, so a worker thread polling with it
// does not starve the test.
class TestClock : public Clock {
public:
    void sleep(std::chrono::milliseconds duration) override
    {
        {
            std::lock_guard lock(mutex_);
            requested_.push_back(static_cast<int>(duration.count()));
        }
        std::this_thread::yield();
    }
    std::vector<int> requested() const
    {
        std::lock_guard lock(mutex_);
        return requested_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        requested_.clear();
    }
    // The pauses other than the worker's idle poll interval.
    std::vector<int> taskPauses() const
    {
        std::vector<int> pauses;
        for (int ms : requested())
            if (ms != 50)
                pauses.push_back(ms);
        return pauses;
    }

private:
    mutable std::mutex mutex_;
    std::vector<int> requested_;
};
