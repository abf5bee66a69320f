// How long the user-interface thread's event loop leaves a 1 ms timer waiting while each task
// runs in the shown terminal (real clock, real worker thread, 0.2 ms per exchange): every gap
// between two ticks is a sample, the 1 ms period included. The idle terminal is the baseline.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "Figures.h"
#include "ShownTerminal.h"
#include "link/Diagnostics.h"
#include "shell/TaskTree.h"
#include "sim/Simulator.h"
#include "tasks/LogView.h"
#include "tasks/ReportForm.h"
#include "tasks/TraceForm.h"

namespace {

constexpr std::chrono::microseconds Latency { 200 };
constexpr int TraceRate = 2000;
constexpr std::chrono::seconds WindowRun { 5 };
constexpr double P99GoalMs = 5;
constexpr double LongestGoalMs = 16;

// The time this thread has spent runnable but waiting for a processor (the kernel's schedstat):
// what other programs on the machine took from it, rather than what it did.
class RunQueueWait {
public:
    RunQueueWait()
        : file_(open("/proc/thread-self/schedstat", O_RDONLY))
    {
    }
    ~RunQueueWait()
    {
        if (file_ >= 0)
            close(file_);
    }
    double ms() const
    {
        char text[128] = {};
        if (file_ < 0 || pread(file_, text, sizeof text - 1, 0) <= 0)
            return 0;
        unsigned long long running = 0;
        unsigned long long waiting = 0;
        return std::sscanf(text, "%llu %llu", &running, &waiting) == 2 ? double(waiting) / 1e6 : 0;
    }

private:
    int file_;
};

// Each gap between two ticks of a 1 ms timer on the user-interface thread, as the user meets it
// and less the run-queue waits within it.
class LoopProbe {
public:
    struct Gaps {
        std::vector<double> met;
        std::vector<double> ownMs;
    };

    LoopProbe()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const SteadyTime now = std::chrono::steady_clock::now();
            const double waited = wait_.ms();
            const double gap = 1000 * secondsBetween(last_, now);
            gaps_.met.push_back(gap);
            gaps_.ownMs.push_back(std::max(0.0, gap - (waited - lastWaited_)));
            last_ = now;
            lastWaited_ = waited;
        });
    }
    void start()
    {
        gaps_ = {};
        last_ = std::chrono::steady_clock::now();
        lastWaited_ = wait_.ms();
        timer_.start(1);
    }
    Gaps stop()
    {
        timer_.stop();
        return gaps_;
    }

private:
    QTimer timer_;
    RunQueueWait wait_;
    SteadyTime last_;
    double lastWaited_ = 0;
    Gaps gaps_;
};

bool runTask(ShownTerminal& terminal, TaskEvent event, const std::function<void()>& start)
{
    const char* task = taskEventName(event);
    const int before = TaskTimes::instance().ended(task);
    start();
    const bool ended = runEventsUntil(
        [&] { return TaskTimes::instance().ended(task) > before; }, std::chrono::seconds(60));
    terminal.closeChildren();
    return ended;
}

struct Scenario {
    std::string name;
    // Opens the task's window, for those that stay open while their task repeats; measured on
    // its own, since it happens once when the operator asks for the window.
    std::string window;
    std::function<void(ShownTerminal&)> open;
    std::function<bool(ShownTerminal&)> run; // false when the task did not run through
};

QString writeImage(const QTemporaryDir& folder)
{
    const QString path = folder.filePath(QStringLiteral("stall.rom"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(128 * 1024, '\x5A'));
    return path;
}

template <typename Window> Window* windowOf(ShownTerminal& terminal, Target target)
{
    return dynamic_cast<Window*>(terminal.form().registry().widget(target));
}

int reportsSoFar()
{
    return TaskTimes::instance().ended(taskEventName(TaskEvent::StatisticsReport));
}

bool pollStatistics(ShownTerminal& terminal)
{
    auto* report = windowOf<TFReport>(terminal, Target::Report);
    if (!report)
        return false;
    const int before = reportsSoFar();
    report->BRunClick();
    runEventsFor(WindowRun);
    report->BRunClick();
    const int reports = reportsSoFar() - before;
    terminal.closeChildren();
    return reports >= 4;
}

bool traceFlood(ShownTerminal& terminal, double& linesPerSecond)
{
    auto* trace = windowOf<TFTrace>(terminal, Target::Trace);
    if (!trace)
        return false;
    sim::Simulator::instance().forEachController(
        [](sim::SimController& controller) { controller.devices().trace.setLiveRate(TraceRate); });
    for (QCheckBox* box : trace->findChildren<QCheckBox*>())
        box->setChecked(true);
    trace->ButRunClick();
    runEventsFor(WindowRun);
    trace->ButRunClick();
    const auto* log = trace->findChild<LogView*>(QStringLiteral("Log"));
    linesPerSecond = static_cast<double>(log->lines().count())
        / std::chrono::duration<double>(WindowRun).count();
    terminal.closeChildren();
    return linesPerSecond > 0;
}

bool repeatTask(
    ShownTerminal& terminal, TaskEvent event, int times, const std::function<void()>& start)
{
    bool ran = true;
    for (int i = 0; i < times; ++i)
        ran &= runTask(terminal, event, start);
    return ran;
}

std::vector<Scenario> scenarios(const QString& image, double& traceLinesPerSecond)
{
    return {
        { "config read x10", {}, {},
            [](ShownTerminal& terminal) {
                return repeatTask(
                    terminal, TaskEvent::ConfigRead, 10, [&] { terminal.form().MTaskGetClick(); });
            } },
        { "config write 200 B x2", {}, {},
            [](ShownTerminal& terminal) {
                return repeatTask(
                    terminal, TaskEvent::ConfigWrite, 2, [&] { terminal.form().MTaskSetClick(); });
            } },
        { "firmware 128 KiB", {}, {},
            [image](ShownTerminal& terminal) {
                terminal.dialogs.firmwareFile = image;
                return runTask(terminal, TaskEvent::FirmwareLoad,
                    [&] { terminal.openFromTree(TreeCaption::Firmware); });
            } },
        { "statistics polling 1 s", "statistics window",
            [](ShownTerminal& terminal) { terminal.openFromTree(TreeCaption::Statistics); },
            pollStatistics },
        { "trace flood 2000 lines/s", "trace window",
            [](ShownTerminal& terminal) { terminal.openFromTree(TreeCaption::Trace); },
            [&traceLinesPerSecond](
                ShownTerminal& terminal) { return traceFlood(terminal, traceLinesPerSecond); } },
    };
}

} // namespace

std::vector<FigureRow> stallFigures()
{
    setUpController(Latency);
    QTemporaryDir folder;
    const QString image = writeImage(folder);
    SystemClock clock;
    ShownTerminal terminal(clock);
    const bool read = terminal.readConfiguration();
    terminal.closeChildren();
    LoopProbe probe;

    probe.start();
    runEventsFor(std::chrono::seconds(2));
    const LoopProbe::Gaps idle = probe.stop();
    const double idleP99 = percentile(idle.met, 0.99);
    const double idleLongest = largest(idle.met);
    const double idleOwnP99 = percentile(idle.ownMs, 0.99);
    const double idleOwnLongest = largest(idle.ownMs);

    double traceLinesPerSecond = 0;
    std::vector<FigureRow> rows;
    for (const Scenario& scenario : scenarios(image, traceLinesPerSecond)) {
        if (scenario.open) {
            probe.start();
            scenario.open(terminal);
            runEventsFor(std::chrono::milliseconds(200));
            rows.push_back({ "UI loop longest gap, opening the " + scenario.window,
                largest(probe.stop().met), idleLongest, "ms", FigureRow::GoalOn::None, 0, {} });
        }
        probe.start();
        const bool ran = read && scenario.run(terminal);
        const LoopProbe::Gaps gaps = probe.stop();
        const std::string note = ran ? "" : "task did not run through";
        rows.push_back({ "UI loop p99 gap, " + scenario.name, percentile(gaps.met, 0.99), idleP99,
            "ms", FigureRow::GoalOn::Measured, P99GoalMs, note });
        rows.push_back({ "UI loop longest gap, " + scenario.name, largest(gaps.met), idleLongest,
            "ms", FigureRow::GoalOn::Measured, LongestGoalMs, note });
        rows.push_back({ "  same, less run-queue waits: p99", percentile(gaps.ownMs, 0.99),
            idleOwnP99, "ms", FigureRow::GoalOn::Measured, P99GoalMs, note });
        rows.push_back({ "  same, less run-queue waits: longest", largest(gaps.ownMs),
            idleOwnLongest, "ms", FigureRow::GoalOn::Measured, LongestGoalMs, note });
    }
    rows.push_back({ "trace lines shown per second vs flood rate", traceLinesPerSecond,
        double(TraceRate), "/s", FigureRow::GoalOn::None, 0, {} });
    sim::Simulator::instance().reset();
    return rows;
}
