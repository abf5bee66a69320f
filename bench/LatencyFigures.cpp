// From the statistics window's timer signalling the report event to the report task's first
// transfer reaching the simulated controller, in the shown terminal with its real clock: the
// worker's 50 ms poll and its start of the task. Each run starts at a random moment of the
// worker's cycle.

#include <atomic>
#include <random>

#include "Figures.h"
#include "ShownTerminal.h"
#include "link/Diagnostics.h"
#include "shell/TaskTree.h"
#include "sim/Simulator.h"
#include "tasks/ReportForm.h"

namespace {

constexpr int Runs = 50;
constexpr double GoalMs = 50 + 5;

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::vector<FigureRow> latencyFigures()
{
    setUpController(std::chrono::microseconds { 0 });
    SystemClock clock;
    ShownTerminal terminal(clock);
    const bool read = terminal.readConfiguration();
    terminal.closeChildren();
    terminal.openFromTree(TreeCaption::Statistics);
    auto* report = dynamic_cast<TFReport*>(terminal.form().registry().widget(Target::Report));

    std::atomic<std::int64_t> firstTransfer { 0 };
    sim::Simulator::instance().setTrafficObserver([&](const sim::Transfer&) {
        std::int64_t none = 0;
        firstTransfer.compare_exchange_strong(none, nowNs());
    });
    const char* task = taskEventName(TaskEvent::StatisticsReport);
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> pause(0, 60);
    std::vector<double> latencies;
    for (int run = 0; run < Runs && read && report; ++run) {
        runEventsFor(std::chrono::milliseconds(pause(random)));
        const int before = TaskTimes::instance().ended(task);
        firstTransfer = 0;
        const std::int64_t signalled = nowNs();
        report->TimerTimer();
        if (!runEventsUntil([&] { return TaskTimes::instance().ended(task) > before; },
                std::chrono::seconds(2)))
            break;
        latencies.push_back(static_cast<double>(firstTransfer - signalled) / 1e6);
    }
    sim::Simulator::instance().setTrafficObserver({});
    const std::string failed = latencies.size() == Runs ? "" : "runs failed";
    std::vector<FigureRow> rows {
        { "task event -> first USB transfer, median of 50", median(latencies), std::nullopt, "ms",
            FigureRow::GoalOn::Measured, GoalMs, failed },
        { "task event -> first USB transfer, max of 50", largest(latencies), std::nullopt, "ms",
            FigureRow::GoalOn::Measured, GoalMs, failed },
    };
    return rows;
}
