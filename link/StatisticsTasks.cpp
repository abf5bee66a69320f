#include "link/StatisticsTasks.h"

#include <algorithm>

#include "link/Packet.h"
#include "link/TaskContext.h"

namespace {
constexpr int MalformedReply = -1;
constexpr int WrongReplyCommand = -2;
constexpr int CommandWordSize = 2;

// Command 8 with the mode and the record length; Param3 carries no meaning and is sent as zero.
void prepareRequest(std::uint8_t* buffer, Statistics::Mode mode)
{
    std::fill(buffer, buffer + Usb::HeaderSize, std::uint8_t{0});
    setHeaderWord(buffer, 0, static_cast<std::uint16_t>(Command::Statistics));
    setHeaderWord(buffer, 1, static_cast<std::uint16_t>(mode));
    setHeaderWord(buffer, 2, static_cast<std::uint16_t>(Statistics::RecordSize));
}

void exchangeCounters(TaskContext& context, Statistics::Mode mode)
{
    const auto stopWindow = [&] {
        return context.notify(Target::Report, NotifyCode::Finished, 0);
    };
    if (!context.connect(Usb::NormalConfiguration)) {
        stopWindow();
        return;
    }
    UsbConnection& usb = context.usb;
    prepareRequest(usb.buffer(), mode);
    const int result = usb.exchange(Usb::HeaderSize, Statistics::TimeoutMs);
    if (result < 0) {
        if (stopWindow())
            context.logError(result);
        usb.CloseConnection();
        return;
    }
    // A reply the window cannot use is only logged: the window keeps polling.
    if (const std::optional<int> error = statisticsReplyError(usb.buffer(), result)) {
        context.logError(*error);
        usb.CloseConnection();
        return;
    }
    context.notify(Target::Report, NotifyCode::Counters, toNotifyValue(usb.buffer() + Usb::HeaderSize));
}
}

std::optional<int> statisticsReplyError(const std::uint8_t* reply, int length)
{
    if (length < CommandWordSize)
        return MalformedReply;
    if (headerWord(reply, 0) != static_cast<std::uint16_t>(Command::Statistics))
        return WrongReplyCommand;
    if (length < Usb::HeaderSize + Statistics::RecordSize)
        return MalformedReply;
    return std::nullopt;
}

void reportStatistics(TaskContext& context)
{
    exchangeCounters(context, Statistics::Mode::Report);
}

void resetStatistics(TaskContext& context)
{
    exchangeCounters(context, Statistics::Mode::Reset);
}
