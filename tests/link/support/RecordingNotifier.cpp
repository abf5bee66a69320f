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

bool RecordingNotifier::notify(Target target, int code, NotifyValue value)
{
    std::string line;
    {
        std::lock_guard lock(mutex_);
        if (closed_.count(target))
            return false;
        line = targetName(target) + " " + std::to_string(code) + " " + describe(target, code, value);
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

std::string RecordingNotifier::describe(Target target, int code, NotifyValue value)
{
    if ((target == Target::Device || target == Target::Flash) && code == NotifyCode::Text)
        return fromNotifyValue<const QString>(value)->toStdString();
    if (target == Target::Flash && code == NotifyCode::Request) {
        auto* request = fromNotifyValue<ImageRequest>(value);
        request->image = image;
        request->size = imageSize.value_or(image ? static_cast<std::uint32_t>(image->size()) : 0);
        return "request";
    }
    if (target == Target::Device && code == NotifyCode::Record) {
        installed_.push_back(*fromNotifyValue<const RecordBytes>(value));
        return "record";
    }
    if (target == Target::Device && code == NotifyCode::Request) {
        auto* request = fromNotifyValue<WriteRequest>(value);
        request->count = writeCount;
        request->record = record.bytes;
        return "request";
    }
    if (target == Target::Trace && code == NotifyCode::Request) {
        *fromNotifyValue<std::uint16_t>(value) = traceMask;
        return "request";
    }
    if (target == Target::Trace && code == NotifyCode::Text) {
        const QStringList& lines = *fromNotifyValue<const QStringList>(value);
        for (const QString& line : lines)
            traceLines_.push_back(line.toStdString());
        return std::to_string(lines.size()) + " lines";
    }
    if (code == NotifyCode::Request) {
        const std::vector<std::uint8_t>& payload = payloads[target];
        std::copy(payload.begin(), payload.end(), fromNotifyValue<std::uint8_t>(value));
        return "request";
    }
    if (code == NotifyCode::Identity)
        return hexBytes(fromNotifyValue<const std::uint8_t>(value), 12);
    if (target == Target::Report && code == NotifyCode::Counters)
        return hexBytes(fromNotifyValue<const std::uint8_t>(value), 76);
    return std::to_string(value);
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

void RecordingNotifier::clear()
{
    std::lock_guard lock(mutex_);
    lines_.clear();
    installed_.clear();
    traceLines_.clear();
    closed_.clear();
}
