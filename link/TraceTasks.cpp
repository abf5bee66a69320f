#include "link/TraceTasks.h"

#include "link/TaskContext.h"
#include "link/TimeOfDay.h"
#include "link/TraceRecord.h"

namespace {
void stopTrace(TaskContext& context)
{
    context.notify(Target::Trace, Report::Finished{0});
}
}

void selectTrace(TaskContext& context)
{
    if (!context.connect(Usb::NormalConfiguration)) {
        stopTrace(context);
        return;
    }
    const std::optional<Ask::ChannelMask::Mask> mask = context.ask(Target::Trace, Ask::ChannelMask{});
    if (!mask)
        return;
    const auto selected = Protocol::selectTrace(context.usb, mask->mask);
    if (const Protocol::Failure* failure = Protocol::failureOf(selected)) {
        // The connection is broken whether or not the windows are still there.
        if (context.logError(failure->logged()))
            stopTrace(context);
        context.usb.CloseConnection();
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
    context.notify(Target::Trace, Report::TraceLines{TraceLines});
    TraceLines.clear();
}

// One exchange; remaining becomes the number of data bytes of the record it brought (a record
// too short for a line leaves 1 or 2, so the run asks again; an empty reply leaves 0 or less).
bool TraceFetch::fetchOne(TaskContext& context, int& remaining)
{
    const auto reply = Protocol::fetchTrace(context.usb);
    if (const Protocol::Failure* failure = Protocol::failureOf(reply)) {
        fail(context, *failure);
        return false;
    }
    const auto& fetched = std::get<Protocol::TraceFetchReply>(reply);
    remaining = fetched.remaining;
    if (fetched.record)
        TraceLines.append(traceLine(timeOfDay_(), *fetched.record));
    return true;
}

// The lines of a failed run are dropped.
void TraceFetch::fail(TaskContext& context, const Protocol::Failure& failure)
{
    TraceLines.clear();
    const bool logged = context.logError(failure.logged());
    context.usb.CloseConnection();
    if (logged)
        stopTrace(context);
}
