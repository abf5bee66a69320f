#include "cli/Commands.h"

#include <QFile>
#include <QJsonArray>

#include "cli/ServiceCode.h"
#include "cli/TraceChannels.h"
#include "models/FileTexts.h"

namespace {
const QString ChannelsOption = QStringLiteral("channels");
const QString DurationOption = QStringLiteral("duration");
const QString OutputOption = QStringLiteral("output");
// The trace window's poll timer.
constexpr std::chrono::milliseconds PollInterval{100};

// Where the lines go as they come: standard output, or the file -o names.
class TraceSink {
public:
    explicit TraceSink(CommandContext& context)
        : context_(context)
    {
    }
    bool open(const QString& name)
    {
        file_.setFileName(name);
        return file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
    }
    void add(const QStringList& lines)
    {
        for (const QString& line : lines) {
            if (file_.isOpen())
                file_.write(line.toUtf8() + '\n');
            else
                context_.print(line);
            lines_.append(line);
        }
        if (file_.isOpen())
            file_.flush();
    }
    const QJsonArray& lines() const { return lines_; }

private:
    CommandContext& context_;
    QFile file_;
    QJsonArray lines_;
};

std::optional<std::chrono::milliseconds> duration(const CommandContext& context)
{
    if (!context.isSet(DurationOption))
        return std::chrono::milliseconds::max();
    bool ok = false;
    const double seconds = context.value(DurationOption).toDouble(&ok);
    if (!ok || seconds < 0)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000));
}

// The trace window's run: the channels selected once, then a fetch at once and one every poll
// interval, each run's lines as they come, until the duration ends or Ctrl+C. A failure stops
// the trace as code 5 stops the window's.
ExitStatus trace(CommandContext& context, TaskRunner& runner, std::uint16_t mask,
                 std::chrono::milliseconds length, TraceSink& sink)
{
    Console& console = context.console;
    const auto failed = [&](const TaskOutcome& outcome) {
        return outcome.stopped && !console.interrupted;
    };
    TaskAnswers selection;
    selection.traceMask = mask;
    if (failed(runner.run(TaskEvent::TraceSelection, selection)))
        return runner.failure();
    const auto start = console.clock.elapsed();
    while (!console.interrupted) {
        const TaskOutcome& outcome = runner.run(TaskEvent::TracePoll);
        sink.add(outcome.traceLines);
        if (failed(outcome))
            return runner.failure();
        if (console.clock.elapsed() - start >= length)
            break;
        console.clock.sleep(PollInterval);
    }
    return ExitStatus::Success;
}
}

ExitStatus traceCommand(CommandContext& context)
{
    const std::optional<std::uint16_t> mask = traceMask(context.value(ChannelsOption));
    if (!mask)
        return refuse(context,
                      QStringLiteral("Неверные каналы: \"%1\"; допускаются bus-rx, bus-tx, link-rx, link-tx")
                          .arg(context.value(ChannelsOption)),
                      ExitStatus::Usage);
    const std::optional<std::chrono::milliseconds> length = duration(context);
    if (!length)
        return refuse(context, QStringLiteral("Неверное время трассировки: ")
                                   + context.value(DurationOption),
                      ExitStatus::Usage);
    const auto access = requireAccess(context, traceLevels());
    if (const auto* status = std::get_if<ExitStatus>(&access))
        return *status;
    TraceSink sink(context);
    if (context.isSet(OutputOption) && !sink.open(context.value(OutputOption)))
        return refuse(context, cannotCreateText(context.value(OutputOption)), ExitStatus::Refused);
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    const ExitStatus status =
        trace(context, *std::get<std::unique_ptr<TaskRunner>>(runner), *mask, *length, sink);
    context.document[QStringLiteral("lines")] = sink.lines();
    return status;
}
