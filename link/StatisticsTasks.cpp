#include "link/StatisticsTasks.h"

#include "link/TaskContext.h"

namespace {

void exchangeCounters(TaskContext& context, Statistics::Mode mode)
{
    const auto stopWindow = [&] { return context.notify(Target::Report, Report::Finished{0}); };
    if (!context.connect(Usb::NormalConfiguration)) {
        stopWindow();
        return;
    }
    UsbConnection& usb = context.usb;
    const auto counters = Protocol::statistics(usb, mode);
    if (const Protocol::Failure* failure = Protocol::failureOf(counters)) {
        // A USB failure stops the window's polling; a reply it cannot use is only logged, and the
        // window keeps polling.
        if (failure->kind != Protocol::Failure::Kind::Usb || stopWindow())
            context.logError(failure->logged());
        usb.CloseConnection();
        return;
    }
    context.notify(Target::Report, Report::Counters{std::get<Protocol::CountersRecord>(counters)});
}

} // namespace

void reportStatistics(TaskContext& context)
{
    exchangeCounters(context, Statistics::Mode::Report);
}

void resetStatistics(TaskContext& context)
{
    exchangeCounters(context, Statistics::Mode::Reset);
}
