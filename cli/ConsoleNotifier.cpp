#include "cli/ConsoleNotifier.h"

#include "cli/ProgressBar.h"
#include "models/LogText.h"

namespace {
constexpr int BarWidth = 30;
}

ConsoleNotifier::ConsoleNotifier(Console& console)
    : console_(console)
{
}

void ConsoleNotifier::begin(TaskAnswers answers)
{
    answers_ = std::move(answers);
    outcome_ = {};
    phase_.clear();
    maximum_ = position_ = 0;
}

bool ConsoleNotifier::notify(Target target, const TaskReport& report)
{
    if (target == Target::Device) {
        log(report);
        keep(report);
        return true;
    }
    if (!open())
        return false;
    keep(report);
    showProgress(report);
    return true;
}

void ConsoleNotifier::log(const TaskReport& report)
{
    const std::optional<QString> text = deviceLogText(report);
    if (!text)
        return;
    endBar();
    logLine(console_, *text);
    outcome_.log << *text;
    if (const auto* failure = std::get_if<Report::UsbFailure>(&report))
        outcome_.usbFailures.push_back(failure->result);
}

void ConsoleNotifier::keep(const TaskReport& report)
{
    std::visit(Overloaded{
                   [&](const Report::Finished& finished) {
                       outcome_.finished = finished.count;
                       outcome_.stopped = finished.count == 0;
                   },
                   [&](const Report::Received& received) { outcome_.received = received.count; },
                   [&](const Report::Sent& sent) { outcome_.sent = sent.count; },
                   [&](const Report::Record& record) { outcome_.record = record.bytes; },
                   [&](const Report::Counters& counters) { outcome_.counters = counters.bytes; },
                   [&](const Report::TraceLines& lines) { outcome_.traceLines << lines.lines; },
                   [](const auto&) {},
               },
               report);
}

void ConsoleNotifier::showProgress(const TaskReport& report)
{
    std::visit(Overloaded{
                   [&](const Report::Text& status) { phase_ = status.text; },
                   [&](const Report::Size& size) {
                       maximum_ = size.maximum;
                       position_ = 0;
                       drawBar();
                   },
                   [&](const Report::Progress& progress) {
                       position_ = progress.position;
                       drawBar();
                   },
                   [&](const Report::Finished&) { endBar(); },
                   [](const auto&) {},
               },
               report);
}

void ConsoleNotifier::drawBar()
{
    if (!console_.errIsTerminal)
        return;
    console_.err << "\r\x1b[K" << progressLine(phase_, position_, maximum_, BarWidth) << Qt::flush;
    barShown_ = true;
}

void ConsoleNotifier::endBar()
{
    if (!barShown_)
        return;
    console_.err << Qt::endl;
    barShown_ = false;
}

std::optional<TaskInput> ConsoleNotifier::request(Target, const TaskRequest& wanted)
{
    if (!open())
        return std::nullopt;
    return std::visit(Overloaded{
                          [&](const Ask::RecordToWrite&) -> TaskInput {
                              return answers_.write.value_or(WriteRequest{});
                          },
                          [&](const Ask::FirmwareImage&) -> TaskInput {
                              return answers_.image.value_or(ImageRequest{});
                          },
                          [&](const Ask::ChannelMask&) -> TaskInput {
                              return Ask::ChannelMask::Mask{answers_.traceMask};
                          },
                          [&](const auto&) { return emptyInput(wanted); },
                      },
                      wanted);
}

bool ConsoleNotifier::requestClose(Target)
{
    endBar();
    return open();
}
