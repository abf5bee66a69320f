#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <QString>
#include <QStringList>

#include "config/ConfigRecord.h"
#include "link/FirmwareBlocks.h"

// What a device task tells a window, each kind an owned value. A kind keeps the notification code
// it has always had, for the diagnostics and the tests that speak of it.
namespace Report {

// A line for the message log, or the firmware window's status line.
struct Text {
    static constexpr int code = 0;
    QString text;
};

// The lines of one trace fetch, for the trace log.
struct TraceLines {
    static constexpr int code = 0;
    QStringList lines;
};

// "Error: " and the number: a negative USB result, -1 for a malformed reply, -2 for a reply with
// the wrong command code.
struct UsbFailure {
    static constexpr int code = 1;
    int result = 0;
};

struct Received {
    static constexpr int code = 2;
    std::int64_t count = 0;
};

struct Sent {
    static constexpr int code = 3;
    std::int64_t count = 0;
};

// The progress maximum.
struct Size {
    static constexpr int code = 4;
    std::int64_t maximum = 0;
};

// The transfer ended with this many bytes; 0 also tells a window to stop its tests or polling.
struct Finished {
    static constexpr int code = 5;
    std::int64_t count = 0;
};

// The controller's 12-byte identity block, in host order.
struct Identity {
    static constexpr int code = 6;
    std::array<std::uint8_t, 12> block{};
};

struct Progress {
    static constexpr int code = 7;
    std::int64_t position = 0;
};

// A completed configuration read.
struct Record {
    static constexpr int code = 8;
    RecordBytes bytes{};
};

// The statistics reply's counters record, as received.
struct Counters {
    static constexpr int code = 10;
    std::array<std::uint8_t, 76> bytes{};
};

// A comparison of the firmware memory with an image ended: the bytes found equal, and where the
// memory first differs, if it does (the comparison stops there).
struct Compared {
    static constexpr int code = 11;
    std::int64_t count = 0;
    std::optional<FlashMismatch> mismatch;
};

// The bytes read back from the firmware memory, from address start on.
struct FlashBytes {
    static constexpr int code = 12;
    std::int64_t start = 0;
    std::vector<std::uint8_t> bytes;
};

} // namespace Report

using TaskReport = std::variant<Report::Text, Report::TraceLines, Report::UsbFailure,
                                Report::Received, Report::Sent, Report::Size, Report::Finished,
                                Report::Identity, Report::Progress, Report::Record,
                                Report::Counters, Report::Compared, Report::FlashBytes>;

int reportCode(const TaskReport& report);

// How the firmware reaches the controller: through its own firmware, which can also read the
// memory back, or streamed to its boot loader, which answers nothing.
enum class LoadMode { Normal, Boot };

// Code 9: what a task asks a window for, each with the kind of answer it takes.
namespace Ask {

// The write task asks the main window for the byte count and a copy of its record.
struct RecordToWrite {
    using Answer = WriteRequest;
};

// The firmware task asks the firmware window for its image, saying how it will load it.
struct FirmwareImage {
    using Answer = ImageRequest;
    LoadMode mode = LoadMode::Normal;
};

// The read-back asks what to read: a range of the firmware memory, and the bytes expected from
// its start on to compare with, or none to have the bytes handed over.
struct FlashRange {
    struct Range {
        std::int64_t start = 0;
        std::int64_t length = 0;
        std::shared_ptr<const ::FirmwareImage> expected;
    };
    using Answer = Range;
};

// A parameter push asks its editor for the payload, of exactly this many bytes.
struct Payload {
    struct Bytes {
        std::vector<std::uint8_t> bytes;
    };
    using Answer = Bytes;
    int size = 0;
};

// The trace selection asks the trace window for its channel mask.
struct ChannelMask {
    struct Mask {
        std::uint16_t mask = 0;
    };
    using Answer = Mask;
};

} // namespace Ask

using TaskRequest = std::variant<Ask::RecordToWrite, Ask::FirmwareImage, Ask::Payload,
                                 Ask::ChannelMask, Ask::FlashRange>;
using TaskInput = std::variant<WriteRequest, ImageRequest, Ask::Payload::Bytes,
                               Ask::ChannelMask::Mask, Ask::FlashRange::Range>;

// What a window that has nothing to give answers: no record, no image, a payload of zeros, no
// channel, an empty range.
TaskInput emptyInput(const TaskRequest& wanted);

// Handles the kinds of a variant with one overload each: std::visit(Overloaded{...}, message).
template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;
