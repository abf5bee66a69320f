#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "config/ConfigRecord.h"
#include "link/Notifier.h"

// Stands in for the windows: records every report and request as a line of text ("Read 7 120",
// the target, the kind's code and what it carries) and answers "gone" for the targets a test has
// closed.
class RecordingNotifier : public Notifier {
public:
    bool notify(Target target, const TaskReport& report) override;
    std::optional<TaskInput> request(Target target, const TaskRequest& wanted) override;
    bool requestClose(Target target) override;

    // Closes a window: every later notification to it answers false.
    void close(Target target);
    // Runs after a notification was recorded; lets a test close a window at a chosen moment.
    std::function<void(const std::string& line)> afterNotify;

    // The answer of the main window to a write request.
    int writeCount = 110;
    ConfigRecord record;
    // The firmware window's answer to an image request: its image, and the size it names (the
    // image's own length unless set).
    std::shared_ptr<const FirmwareImage> image;
    std::optional<std::uint32_t> imageSize;
    // What each editor gives on code 9.
    std::map<Target, std::vector<std::uint8_t>> payloads;
    // The trace window's channel mask, given on its code 9.
    std::uint16_t traceMask = 0;
    // The firmware window's answer to a read-back: the range, and the image to compare with.
    Ask::FlashRange::Range flashRange;

    std::vector<std::string> lines() const;
    std::vector<std::string> linesFor(Target target) const;
    // The main window's log as the user reads it (codes 0 and 1 only).
    std::vector<std::string> log() const;
    std::vector<RecordBytes> installedRecords() const;
    // Every line handed to the trace window, in order.
    std::vector<std::string> traceLines() const;
    // The bytes of every read-back handed over.
    std::vector<std::vector<std::uint8_t>> flashReads() const;
    // Forgets what was recorded and reopens every window.
    void clear();

private:
    // True when the line was recorded, false when the target is closed.
    bool recordLine(Target target, int code, const std::string& text);
    std::string describe(const TaskReport& report);
    TaskInput answer(Target target, const TaskRequest& wanted);
    void append(Target target, std::string line);

    mutable std::recursive_mutex mutex_;
    std::set<Target> closed_;
    std::vector<std::pair<Target, std::string>> lines_;
    std::vector<RecordBytes> installed_;
    std::vector<std::string> traceLines_;
    std::vector<std::vector<std::uint8_t>> flashReads_;
};

std::string targetName(Target target);
std::string hexBytes(const std::uint8_t* bytes, int count);
