#include "support/RecordingNotifier.h"

#include <cstdio>

#include <QString>
#include <QStringList>

std::string targetName(Target target)
{
    static const char* const names[] = {"Device", "Read",    "Save",    "Flash",
                                        "Report", "Trace",   "Codec",   "Audio",
                                        "Vocoder", "Recoder", "Net",    "Link"};
    return names[static_cast<int>(target)];
}

std::string hexBytes(const std::uint8_t* bytes, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", bytes[i]);
        text += byte;
    }
    return text;
}

bool RecordingNotifier::notify(Target target, const TaskReport& report)
{
    std::string text;
    {
        std::lock_guard lock(mutex_);
        text = describe(report);
    }
    return recordLine(target, reportCode(report), text);
}

std::optional<TaskInput> RecordingNotifier::request(Target target, const TaskRequest& wanted)
{
    std::optional<TaskInput> given;
    {
        std::lock_guard lock(mutex_);
        if (!closed_.count(target))
            given = answer(target, wanted);
    }
    if (!given || !recordLine(target, 9, "request"))
        return std::nullopt;
    return given;
}

bool RecordingNotifier::recordLine(Target target, int code, const std::string& text)
{
    std::string line;
    {
        std::lock_guard lock(mutex_);
        if (closed_.count(target))
            return false;
        line = targetName(target) + " " + std::to_string(code) + " " + text;
        append(target, line);
    }
    if (afterNotify)
        afterNotify(line);
    return true;
}

bool RecordingNotifier::requestClose(Target target)
{
    std::lock_guard lock(mutex_);
    if (closed_.count(target))
        return false;
    append(target, targetName(target) + " close");
    closed_.insert(target);
    return true;
}

void RecordingNotifier::close(Target target)
{
    std::lock_guard lock(mutex_);
    closed_.insert(target);
}

std::string RecordingNotifier::describe(const TaskReport& report)
{
    return std::visit(
        Overloaded{
            [](const Report::Text& line) { return line.text.toStdString(); },
            [this](const Report::TraceLines& run) {
                for (const QString& line : run.lines)
                    traceLines_.push_back(line.toStdString());
                return std::to_string(run.lines.size()) + " lines";
            },
            [](const Report::UsbFailure& failure) { return std::to_string(failure.result); },
            [](const Report::Received& received) { return std::to_string(received.count); },
            [](const Report::Sent& sent) { return std::to_string(sent.count); },
            [](const Report::Size& size) { return std::to_string(size.maximum); },
            [](const Report::Finished& finished) { return std::to_string(finished.count); },
            [](const Report::Progress& progress) { return std::to_string(progress.position); },
            [](const Report::Identity& identity) {
                return hexBytes(identity.block.data(), static_cast<int>(identity.block.size()));
            },
            [this](const Report::Record& read) {
                installed_.push_back(read.bytes);
                return std::string("record");
            },
            [](const Report::Counters& counters) {
                return hexBytes(counters.bytes.data(), static_cast<int>(counters.bytes.size()));
            },
            [](const Report::Compared& compared) {
                std::string text = std::to_string(compared.count);
                if (const auto& mismatch = compared.mismatch) {
                    char at[48];
                    std::snprintf(at, sizeof at, " differs at %06llX: %02X, read %02X",
                                  static_cast<unsigned long long>(mismatch->address),
                                  mismatch->expected, mismatch->actual);
                    text += at;
                }
                return text;
            },
            [this](const Report::FlashBytes& read) {
                flashReads_.push_back(read.bytes);
                return std::to_string(read.bytes.size()) + " bytes from "
                    + std::to_string(read.start);
            },
        },
        report);
}

TaskInput RecordingNotifier::answer(Target target, const TaskRequest& wanted)
{
    return std::visit(
        Overloaded{
            [this](const Ask::RecordToWrite&) -> TaskInput {
                return WriteRequest{writeCount, record.bytes};
            },
            [this](const Ask::FirmwareImage&) -> TaskInput {
                return ImageRequest{
                    imageSize.value_or(image ? static_cast<std::uint32_t>(image->size()) : 0),
                    image};
            },
            [this, target](const Ask::Payload& wanted) -> TaskInput {
                std::vector<std::uint8_t> bytes = payloads[target];
                bytes.resize(static_cast<std::size_t>(wanted.size));
                return Ask::Payload::Bytes{std::move(bytes)};
            },
            [this](const Ask::ChannelMask&) -> TaskInput {
                return Ask::ChannelMask::Mask{traceMask};
            },
            [this](const Ask::FlashRange&) -> TaskInput { return flashRange; },
        },
        wanted);
}

void RecordingNotifier::append(Target target, std::string line)
{
    lines_.emplace_back(target, std::move(line));
}

std::vector<std::string> RecordingNotifier::lines() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& [target, line] : lines_)
        result.push_back(line);
    return result;
}

std::vector<std::string> RecordingNotifier::linesFor(Target target) const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    for (const auto& [owner, line] : lines_)
        if (owner == target)
            result.push_back(line);
    return result;
}

std::vector<std::string> RecordingNotifier::log() const
{
    std::vector<std::string> result;
    for (const std::string& line : linesFor(Target::Device)) {
        if (line.rfind("Device 0 ", 0) == 0)
            result.push_back(line.substr(9));
        else if (line.rfind("Device 1 ", 0) == 0)
            result.push_back("Error: " + line.substr(9));
    }
    return result;
}

std::vector<RecordBytes> RecordingNotifier::installedRecords() const
{
    std::lock_guard lock(mutex_);
    return installed_;
}

std::vector<std::string> RecordingNotifier::traceLines() const
{
    std::lock_guard lock(mutex_);
    return traceLines_;
}

std::vector<std::vector<std::uint8_t>> RecordingNotifier::flashReads() const
{
    std::lock_guard lock(mutex_);
    return flashReads_;
}

void RecordingNotifier::clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
    installed_.clear();
    traceLines_.clear();
    flashReads_.clear();
    closed_.clear();
}
