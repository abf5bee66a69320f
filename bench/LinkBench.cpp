#include <benchmark/benchmark.h>

#include "link/DeviceTask.h"
#include "link/Notifier.h"
#include "link/TaskEvents.h"
#include "sim/Simulator.h"

namespace {
class InstantClock : public Clock {
public:
    void sleep(std::chrono::milliseconds) override { }
};

class SilentNotifier : public Notifier {
public:
    bool notify(Target, const TaskReport&) override { return true; }
    std::optional<TaskInput> request(Target, const TaskRequest& wanted) override
    {
        return emptyInput(wanted);
    }
    bool requestClose(Target) override { return true; }
};
}

// The idle worker's cost per pass, without its sleep: one poll of the thirteen events.
static void IdlePoll(benchmark::State& state)
{
    TaskEvents events;
    for (auto _ : state)
        benchmark::DoNotOptimize(events.poll());
}
BENCHMARK(IdlePoll);

// A whole configuration read against the simulated controller, by payload capacity: the
// terminal's side of the exchanges (re-open, probe, identity, blocks, reports).
static void ConfigurationRead(benchmark::State& state)
{
    sim::Simulator::instance().reset();
    sim::Simulator::instance().controller()->settings.capacity =
        static_cast<std::uint16_t>(state.range(0));
    SilentNotifier notifier;
    InstantClock clock;
    TDevice device(notifier, clock);
    for (auto _ : state) {
        device.events().set(TaskEvent::ConfigRead);
        device.runPass();
        state.PauseTiming();
        sim::Simulator::instance().clearTraffic();
        state.ResumeTiming();
    }
}
BENCHMARK(ConfigurationRead)->Arg(64)->Arg(200);
