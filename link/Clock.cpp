#include "link/Clock.h"

#include <thread>

void SystemClock::sleep(std::chrono::milliseconds duration)
{
    std::this_thread::sleep_for(duration);
}
