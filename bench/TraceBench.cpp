// The trace window's log under a flood: the simulated controller produces 2,000 lines a second,
// so each 100 ms poll hands the window one run of about 200 lines. Measured at 0, 100,000 and
// 1,000,000 lines already in the log, on the user-interface thread: the time to append one run
// and show it (the benchmark's time), the longest of these stalls, and the memory a line costs
// next to the text it holds. The same runs go into a QPlainTextEdit for comparison.

#include <algorithm>
#include <chrono>
#include <ctime>

#include <malloc.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "link/DeviceTask.h"
#include "link/TaskContext.h"
#include "link/TraceTasks.h"
#include "sim/Simulator.h"
#include "tasks/LogView.h"
#include "tasks/TraceForm.h"
#include "ui/Dialogs.h"

#include "NoDialogs.h"

namespace {

constexpr int LinesPerSecond = 2000;
constexpr std::chrono::milliseconds PollPeriod{100};

QApplication& application()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "r4xx_trace_bench";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// The heap in use, blocks of their own included; unlike the resident size, it does not depend on
// what earlier benchmarks left for reuse.
long heapInUse()
{
    const struct mallinfo2 heap = mallinfo2();
    return static_cast<long>(heap.uordblks + heap.hblkhd);
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

class InstantClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override {}
};

// Hands the window its mask and keeps the lines of each run, as the worker thread would hand
// them over.
class RunCollector final : public Notifier {
public:
    bool notify(Target target, const TaskReport& report) override
    {
        if (const auto* run = std::get_if<Report::TraceLines>(&report); run && target == Target::Trace)
            lines = run->lines;
        return true;
    }
    std::optional<TaskInput> request(Target, const TaskRequest& wanted) override
    {
        if (std::holds_alternative<Ask::ChannelMask>(wanted))
            return Ask::ChannelMask::Mask { 0x000F };
        return emptyInput(wanted);
    }
    bool requestClose(Target) override { return true; }
    QStringList lines;
};

// The simulated controller with all four channels selected and its traffic on a clock that each
// poll moves on by 100 ms; each run of the real fetch task brings the lines of one poll.
class Flood {
public:
    Flood()
    {
        sim::Simulator::instance().reset();
        sim::TraceQueues& trace = sim::Simulator::instance().controller()->devices().trace;
        trace.setTimeSource([this] { return now_; });
        trace.setLiveRate(LinesPerSecond);
        TaskContext context{usb_, collector_, clock_};
        selectTrace(context);
    }
    ~Flood() { sim::Simulator::instance().reset(); }

    const QStringList& nextRun()
    {
        now_ += PollPeriod;
        TaskContext context{usb_, collector_, clock_};
        fetch_(context);
        sim::Simulator::instance().clearTraffic();
        return collector_.lines;
    }

private:
    std::chrono::steady_clock::time_point now_{};
    RunCollector collector_;
    InstantClock clock_;
    UsbConnection usb_{collector_};
    TraceFetch fetch_;
};

// Counts the paint events of a widget, to show that each measured run was also drawn.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

struct LogFigures {
    double worstMs = 0;    // wall-clock: what the user feels, other programs' load included
    double worstCpuMs = 0; // this thread's own work
    long heapBefore = 0;
    long heapAfter = 0;
    qint64 prefilled = 0;
    qint64 textChars = 0;
};

// Fills the log with runs like the ones measured; the memory of the log is what the heap grew by
// meanwhile.
template <typename Append>
void prefill(Flood& flood, qint64 lines, Append append, LogFigures& figures)
{
    std::vector<QStringList> runs;
    for (int i = 0; i < 20; ++i)
        runs.push_back(flood.nextRun());
    figures.heapBefore = heapInUse();
    for (std::size_t i = 0; figures.prefilled < lines; ++i) {
        const QStringList& run = runs[i % runs.size()];
        append(run);
        figures.prefilled += run.size();
        for (const QString& line : run)
            figures.textChars += line.size();
    }
    QCoreApplication::processEvents();
    figures.heapAfter = heapInUse();
}

template <typename Append>
void measureRuns(benchmark::State& state, Flood& flood, Append append, LogFigures& figures)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QStringList run = flood.nextRun();
        state.ResumeTiming();
        QElapsedTimer stall;
        stall.start();
        const double cpuStart = threadCpuMs();
        append(run);
        QCoreApplication::processEvents();
        figures.worstMs = std::max(figures.worstMs, stall.nsecsElapsed() / 1e6);
        figures.worstCpuMs = std::max(figures.worstCpuMs, threadCpuMs() - cpuStart);
    }
}

void report(benchmark::State& state, const LogFigures& figures, qint64 bytesHeld,
            const PaintCounter& counter)
{
    state.counters["worst_stall_ms"] = figures.worstMs;
    state.counters["worst_cpu_ms"] = figures.worstCpuMs;
    state.counters["paints_per_run"] =
        static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
    if (figures.prefilled == 0)
        return;
    const double lines = static_cast<double>(figures.prefilled);
    state.counters["heap_B_per_line"] =
        static_cast<double>(figures.heapAfter - figures.heapBefore) / lines;
    state.counters["text_utf16_B_per_line"] = 2.0 * static_cast<double>(figures.textChars) / lines;
    if (bytesHeld > 0)
        state.counters["held_B_per_line"] = static_cast<double>(bytesHeld) / lines;
}

void TraceWindowLog(benchmark::State& state)
{
    application();
    WindowRegistry registry;
    TaskEvents events;
    NoDialogs dialogs;
    TFTrace window(registry, events, dialogs);
    window.show();
    QCoreApplication::processEvents();
    auto* log = window.findChild<LogView*>("Log");
    Flood flood;
    const auto append = [&window](const QStringList& run) {
        window.OnDeviceMessage(Report::TraceLines { run });
    };
    LogFigures figures;
    prefill(flood, state.range(0), [log](const QStringList& run) { log->appendLines(run); },
            figures);
    const auto held = static_cast<qint64>(log->lines().bytesHeld());
    PaintCounter counter(log->viewport());
    measureRuns(state, flood, append, figures);
    report(state, figures, held, counter);
}
BENCHMARK(TraceWindowLog)
    ->Arg(0)->Arg(100'000)->Arg(1'000'000)
    ->Iterations(300)->Unit(benchmark::kMicrosecond);

// The same runs in a QPlainTextEdit, each inserted at its end in one edit as fast as it takes it.
void PlainTextEditLog(benchmark::State& state)
{
    application();
    QPlainTextEdit edit;
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.setUndoRedoEnabled(false);
    edit.resize(600, 360);
    edit.show();
    QCoreApplication::processEvents();
    Flood flood;
    const auto append = [&edit](const QStringList& run) {
        QScrollBar* bar = edit.verticalScrollBar();
        const bool following = bar->value() == bar->maximum();
        QTextCursor end(edit.document());
        end.movePosition(QTextCursor::End);
        end.insertText(u'\n' + run.join(u'\n'));
        if (following)
            bar->setValue(bar->maximum());
    };
    LogFigures figures;
    prefill(flood, state.range(0), append, figures);
    PaintCounter counter(edit.viewport());
    measureRuns(state, flood, append, figures);
    report(state, figures, 0, counter);
}
BENCHMARK(PlainTextEditLog)
    ->Arg(0)->Arg(100'000)->Arg(1'000'000)
    ->Iterations(300)->Unit(benchmark::kMicrosecond);

} // namespace
