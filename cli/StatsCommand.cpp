#include "cli/Commands.h"

#include <QJsonArray>

#include "config/WholeFile.h"
#include "link/Packet.h"
#include "models/FileTexts.h"
#include "models/ReportHistory.h"
#include "models/ReportPages.h"
#include "models/ReportTexts.h"

namespace {
const QString ResetOption = QStringLiteral("reset");
const QString PeriodOption = QStringLiteral("period");
const QString CountOption = QStringLiteral("count");
const QString CsvOption = QStringLiteral("csv");

struct StatsRun {
    int model = 0;
    ReportPeriod period;
    QJsonArray reports;
    ReportHistory history;
};

const ReportField& fieldNamed(const char* name)
{
    for (const ReportField& field : reportFields())
        if (std::string_view(field.name) == name)
            return field;
    return reportFields().front();
}

// One report as the window's three pages show it.
void printReport(CommandContext& context, StatsRun& run, const ReportCounters& counters)
{
    const QLocale locale;
    QJsonArray fields;
    for (const ReportPage& page : reportPages()) {
        context.print(page.title);
        for (const ReportFigureRow& row : page.rows) {
            const std::optional<QString> label = reportRowLabel(row, run.model, run.period.text);
            if (!label)
                continue;
            const QString text = fieldText(fieldNamed(row.field), counters, run.model, locale);
            context.print(QStringLiteral("  ") + *label + u' ' + text);
            fields.append(QJsonObject{{QStringLiteral("name"), QString::fromLatin1(row.field)},
                                      {QStringLiteral("label"), *label},
                                      {QStringLiteral("text"), text}});
        }
    }
    context.print(QString());
    QJsonArray raw;
    for (std::uint32_t counter : counters)
        raw.append(static_cast<qint64>(counter));
    const QDateTime time = context.console.now();
    run.reports.append(QJsonObject{{QStringLiteral("time"), time.toString(Qt::ISODate)},
                                   {QStringLiteral("fields"), fields},
                                   {QStringLiteral("counters"), raw}});
    run.history.add(reportSample(counters, time));
}

// The model from the controller's identity, as the window takes it from the record's.
int modelOf(TaskRunner& runner)
{
    return modelCode(readLe16(runner.identity().data()));
}

std::optional<int> reportCount(const CommandContext& context)
{
    if (!context.isSet(CountOption))
        return 1;
    bool ok = false;
    const int count = context.value(CountOption).toInt(&ok);
    return ok && count >= 0 ? std::optional<int>(count) : std::nullopt;
}

ExitStatus saveCsv(CommandContext& context, const StatsRun& run)
{
    const QString name = context.value(CsvOption);
    const QByteArray csv = historyCsv(run.history.samples());
    const SaveFileResult saved =
        saveWholeFile(name, [&](QIODevice& file) { return file.write(csv) == csv.size(); });
    if (const std::optional<QString> failure = saveFailureText(saved, name))
        return refuse(context, *failure, ExitStatus::Refused);
    return ExitStatus::Success;
}

// Polls as the window does from "Старт": a report at once, then one every period, until the
// count is reached or Ctrl+C. A USB failure stops the polling, as code 5 stops the window's; a
// reply it cannot use only goes to the log and the polling goes on.
ExitStatus poll(CommandContext& context, TaskRunner& runner, StatsRun& run, int count)
{
    Console& console = context.console;
    ExitStatus status = ExitStatus::Success;
    int done = 0;
    for (; count == 0 || done < count; ++done) {
        if (done > 0)
            console.clock.sleep(std::chrono::seconds(run.period.seconds));
        if (console.interrupted)
            break;
        const TaskOutcome& outcome = runner.run(TaskEvent::StatisticsReport);
        if (outcome.counters) {
            run.model = modelOf(runner);
            printReport(context, run, reportCounters(outcome.counters->data()));
        } else if (console.interrupted) {
            break;
        } else if (outcome.stopped) {
            return runner.failure();
        } else {
            status = runner.failure();
        }
    }
    // Polling until Ctrl+C ends with it; a count of reports cut short by it does not.
    if (count != 0 && done < count)
        return ExitStatus::Interrupted;
    return status;
}
}

ExitStatus statsCommand(CommandContext& context)
{
    const std::optional<int> count = reportCount(context);
    if (!count)
        return refuse(context, QStringLiteral("Неверное число отчетов: ") + context.value(CountOption),
                      ExitStatus::Usage);
    StatsRun run;
    run.period = reportPeriod(context.isSet(PeriodOption) ? context.value(PeriodOption)
                                                          : QStringLiteral("1"));
    RunnerOrStatus runner = runnerFor(context);
    if (auto* status = std::get_if<ExitStatus>(&runner))
        return *status;
    TaskRunner& device = *std::get<std::unique_ptr<TaskRunner>>(runner);
    if (context.isSet(ResetOption) && !device.run(TaskEvent::StatisticsReset).counters)
        return device.failure();
    const ExitStatus status = poll(context, device, run, *count);
    context.document[QStringLiteral("period")] = run.period.seconds;
    context.document[QStringLiteral("reports")] = run.reports;
    if (context.isSet(CsvOption)) {
        const ExitStatus saved = saveCsv(context, run);
        if (saved != ExitStatus::Success)
            return saved;
    }
    return status;
}
