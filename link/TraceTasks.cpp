#include "link/TraceTasks.h"

#include <algorithm>

#include "link/Packet.h"
#include "link/TaskContext.h"
#include "link/TimeOfDay.h"
#include "link/TraceRecord.h"

namespace {
constexpr int FetchTimeoutMs = 100;
constexpr int WrongReplyCode = -2;

// Only the command word carries meaning; the other header words go out as zero.
void prepareRequest(std::uint8_t* buffer, Command command)
{
    std::fill(buffer, buffer + Usb::HeaderSize, std::uint8_t{0});
    setHeaderWord(buffer, 0, static_cast<std::uint16_t>(command));
}

void stopTrace(TaskContext& context)
{
    context.notify(Target::Trace, NotifyCode::Finished, 0);
}
}

void selectTrace(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        stopTrace(context);
        return;
    }
    UsbConnection& usb = context.usb;
    prepareRequest(usb.buffer(), Command::TraceSelection);
    std::uint16_t mask = 0;
    if (!context.notify(Target::Trace, NotifyCode::Request, toNotifyValue(&mask)))
        return;
    setHeaderWord(usb.buffer(), 1, mask);
    const int result = usb.exchange(Usb::HeaderSize, Usb::DefaultTimeoutMs);
    if (result < 0) {
        // The connection is broken whether or not the windows are still there.
        if (context.logError(result))
            stopTrace(context);
        usb.CloseConnection();
    }
}

TraceFetch::TraceFetch(TimeOfDay timeOfDay)
    : timeOfDay_(std::move(timeOfDay))
{
}

TraceFetch::TimeOfDay TraceFetch::defaultTimeOfDay()
{
    return currentTimeOfDay;
}

void TraceFetch::operator()(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        stopTrace(context);
        return;
    }
    TraceLines.clear();
    int remaining = 1;
    for (int fetches = 0; remaining > 0 && fetches < MaxFetchesPerRun; ++fetches)
        if (!fetchOne(context, remaining))
            return;
    if (TraceLines.isEmpty())
        return;
    context.notify(Target::Trace, NotifyCode::Text, toNotifyValue(&TraceLines));
    TraceLines.clear();
}

// One exchange; remaining becomes the number of data bytes of the record it brought (a record
// too short for a line leaves 1 or 2, so the run asks again; an empty reply leaves 0 or less).
bool TraceFetch::fetchOne(TaskContext& context, int& remaining)
{
    UsbConnection& usb = context.usb;
    prepareRequest(usb.buffer(), Command::TraceFetch);
    const int result = usb.exchange(Usb::HeaderSize, FetchTimeoutMs);
    if (result < 0) {
        fail(context, result);
        return false;
    }
    if (headerWord(usb.buffer(), 0) != static_cast<std::uint16_t>(Command::TraceFetch)) {
        fail(context, WrongReplyCode);
        return false;
    }
    remaining = result - Usb::HeaderSize;
    const std::optional<TraceRecord> record =
        parseTraceRecord(usb.buffer() + Usb::HeaderSize, remaining);
    if (!record)
        return true;
    remaining = record->dataLength;
    TraceLines.append(traceLine(timeOfDay_(), *record));
    return true;
}

// The lines of a failed run are dropped.
void TraceFetch::fail(TaskContext& context, int result)
{
    TraceLines.clear();
    const bool logged = context.logError(result);
    context.usb.CloseConnection();
    if (logged)
        stopTrace(context);
}
