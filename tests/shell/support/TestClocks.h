#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "link/Clock.h"

// Every pause takes a millisecond: the worker runs its tasks at once without spinning.
class FastClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

// Holds every pause until the test lets one through, so a test can act while the worker is
// known to be in its idle sleep.
class GatedClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override
    {
        std::unique_lock lock(mutex_);
        ++sleepers_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return passes_ > 0 || open_; });
        if (passes_ > 0)
            --passes_;
    }

    // Waits until the worker has entered its n-th pause since the start.
    void waitForSleep(int n)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return sleepers_ >= n; });
    }
    void letOneThrough()
    {
        std::lock_guard lock(mutex_);
        ++passes_;
        changed_.notify_all();
    }
    // From now on no pause waits (for shutting the worker down).
    void open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int sleepers_ = 0;
    int passes_ = 0;
    bool open_ = false;
};
