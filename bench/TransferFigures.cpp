// A task's time against the bare loop of its own USB calls, both with the same real delay per
// exchange, in turns (which one goes first changes every round). Measured twice: the task alone
// on this thread with its reports taken at once (the link layer's own work), and in the shown
// terminal with its worker thread, whose reports cross to the user-interface thread and its
// windows. The tasks' own pauses (the write pauses, the erase wait) are skipped in both.

#include <memory>
#include <optional>

#include <QFile>
#include <QTemporaryDir>

#include "Figures.h"
#include "Replay.h"
#include "ShownTerminal.h"
#include "config/ConfigRecord.h"
#include "link/DeviceTask.h"
#include "link/Diagnostics.h"
#include "link/Notifier.h"
#include "shell/TaskTree.h"
#include "sim/Simulator.h"

namespace {

constexpr std::chrono::microseconds Latency { 1000 };
constexpr int ImageSize = 128 * 1024;

struct TaskRun {
    double seconds = 0;
    std::vector<sim::Transfer> traffic;
    bool completed = false;
};

struct Rounds {
    std::vector<double> task;
    std::vector<double> bare;
    int mismatches = 0;
    bool failed = false;
};

class InstantClock final : public Clock {
public:
    void sleep(std::chrono::milliseconds) override { }
};

std::shared_ptr<FirmwareImage> patternedImage()
{
    auto image = std::make_shared<FirmwareImage>(ImageSize);
    for (int i = 0; i < ImageSize; ++i)
        (*image)[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return image;
}

// The windows' answers, taken at once: the record to write, the image to load and to compare
// the firmware memory with.
class AnsweringNotifier final : public Notifier {
public:
    bool notify(Target target, const TaskReport& report) override
    {
        if (const auto* read = std::get_if<Report::Record>(&report); read && target == Target::Device)
            record = ConfigRecord { read->bytes };
        return true;
    }
    std::optional<TaskInput> request(Target, const TaskRequest& wanted) override
    {
        if (std::holds_alternative<Ask::RecordToWrite>(wanted) && record)
            return answerWriteRequest(*record, LevelFull);
        if (std::holds_alternative<Ask::FirmwareImage>(wanted))
            return ImageRequest { static_cast<std::uint32_t>(image->size()), image };
        if (std::holds_alternative<Ask::FlashRange>(wanted))
            return Ask::FlashRange::Range { 0, static_cast<std::int64_t>(image->size()), image };
        return emptyInput(wanted);
    }
    bool requestClose(Target) override { return true; }

    std::optional<ConfigRecord> record;
    std::shared_ptr<const FirmwareImage> image = patternedImage();
};

bool cleanTraffic(const std::vector<sim::Transfer>& traffic)
{
    for (const sim::Transfer& transfer : traffic)
        if (transfer.result < 0)
            return false;
    return !traffic.empty();
}

template <typename RunTask> Rounds inTurns(int rounds, RunTask runTask)
{
    Rounds result;
    TaskRun last = runTask();
    const auto bare = [&] {
        const ReplayOutcome outcome = replayTransfers(last.traffic);
        result.bare.push_back(outcome.seconds);
        result.mismatches += outcome.mismatches;
    };
    for (int round = 0; round < rounds && last.completed; ++round) {
        if (round % 2)
            bare();
        last = runTask();
        result.task.push_back(last.seconds);
        if (round % 2 == 0)
            bare();
    }
    result.failed = !last.completed;
    return result;
}

Rounds aloneRounds(TaskEvent event, int rounds)
{
    setUpController(Latency);
    AnsweringNotifier notifier;
    // What a load leaves, for a verification to read whole.
    sim::Simulator::instance().controller()->devices().flash.preload(0, *notifier.image);
    InstantClock clock;
    TDevice device(notifier, clock);
    device.events().set(TaskEvent::ConfigRead);
    device.runPass();
    device.finish();
    sim::Simulator& simulator = sim::Simulator::instance();
    return inTurns(rounds, [&] {
        simulator.clearTraffic();
        const SteadyTime start = std::chrono::steady_clock::now();
        device.events().set(event);
        device.runPass();
        TaskRun run { secondsBetween(start, std::chrono::steady_clock::now()),
            simulator.traffic() };
        run.completed = cleanTraffic(run.traffic);
        // The controller is free for the bare loop; the next task finds it afresh, as the bare
        // loop does.
        device.finish();
        return run;
    });
}

// Each round a new terminal, closed afterwards so that the bare loop finds the controller free.
Rounds terminalRounds(TaskEvent event, int rounds,
    const std::function<void(ShownTerminal&)>& prepare,
    const std::function<void(ShownTerminal&)>& start)
{
    setUpController(Latency);
    sim::Simulator& simulator = sim::Simulator::instance();
    const char* task = taskEventName(event);
    return inTurns(rounds, [&] {
        PollOnlyClock clock;
        ShownTerminal terminal(clock);
        prepare(terminal);
        simulator.clearTraffic();
        TaskTimes::instance().clear();
        start(terminal);
        TaskRun run;
        if (!runEventsUntil(
                [&] { return TaskTimes::instance().ended(task) > 0; }, std::chrono::seconds(60)))
            return run;
        const TaskTimes::Span span = *TaskTimes::instance().lastEnded(task);
        run.seconds = secondsBetween(span.begin, *span.end);
        run.traffic = simulator.traffic();
        run.completed = cleanTraffic(run.traffic);
        return run;
    });
}

FigureRow rowOf(const std::string& name, const Rounds& rounds)
{
    FigureRow row { name, 1000 * median(rounds.task), 1000 * median(rounds.bare), "ms",
        FigureRow::GoalOn::Ratio, 1.02, {} };
    if (rounds.failed)
        row.note = "task failed";
    else if (rounds.mismatches > 0)
        row.note = std::to_string(rounds.mismatches) + " replayed results differ";
    return row;
}

QString writeImageFile(const QTemporaryDir& folder)
{
    const QString path = folder.filePath(QStringLiteral("bench.rom"));
    QFile file(path);
    const auto image = patternedImage();
    if (file.open(QIODevice::WriteOnly))
        file.write(reinterpret_cast<const char*>(image->data()), ImageSize);
    return path;
}

} // namespace

std::vector<FigureRow> transferFigures()
{
    const auto nothing = [](ShownTerminal&) {};
    QTemporaryDir folder;
    const QString imageFile = writeImageFile(folder);
    std::vector<FigureRow> rows {
        rowOf("firmware 128 KiB, task alone vs bare USB loop",
            aloneRounds(TaskEvent::FirmwareLoad, 4)),
        rowOf("firmware verification 128 KiB, task alone vs bare USB loop",
            aloneRounds(TaskEvent::FirmwareRead, 4)),
        rowOf("config read, task alone vs bare USB loop", aloneRounds(TaskEvent::ConfigRead, 21)),
        rowOf("config write 200 B, task alone vs bare USB loop",
            aloneRounds(TaskEvent::ConfigWrite, 21)),
        rowOf("firmware 128 KiB, in the terminal vs bare USB loop",
            terminalRounds(TaskEvent::FirmwareLoad, 4, nothing,
                [&](ShownTerminal& terminal) {
                    terminal.dialogs.firmwareFile = imageFile;
                    terminal.openFromTree(TreeCaption::Firmware);
                })),
        rowOf("config read, in the terminal vs bare USB loop",
            terminalRounds(TaskEvent::ConfigRead, 15, nothing,
                [](ShownTerminal& terminal) { terminal.form().MTaskGetClick(); })),
        rowOf("config write 200 B, in the terminal vs bare USB loop",
            terminalRounds(
                TaskEvent::ConfigWrite, 15,
                [](ShownTerminal& terminal) {
                    terminal.readConfiguration();
                    terminal.closeChildren();
                },
                [](ShownTerminal& terminal) { terminal.form().MTaskSetClick(); })),
    };
    sim::Simulator::instance().reset();
    return rows;
}
