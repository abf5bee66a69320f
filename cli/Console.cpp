#include "cli/Console.h"

#include <algorithm>
#include <thread>

#include <QLocale>

#include "models/LogText.h"

namespace {
// How long a pause may run on after Ctrl+C.
constexpr std::chrono::milliseconds Slice{50};
}

SystemPollClock::SystemPollClock(const std::atomic<bool>& interrupted)
    : interrupted_(interrupted)
{
}

void SystemPollClock::sleep(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    for (auto now = std::chrono::steady_clock::now(); now < end && !interrupted_;
         now = std::chrono::steady_clock::now())
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(Slice, end - now));
}

std::chrono::milliseconds SystemPollClock::elapsed() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now()
                                                                 - start_);
}

void logLine(Console& console, const QString& text)
{
    console.err << logPrefix(console.now().time(), QLocale()) << text << Qt::endl;
    console.logged << text;
}
