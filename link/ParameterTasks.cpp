#include "link/ParameterTasks.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "link/TaskContext.h"

namespace {
constexpr int PayloadTooLarge = -1;

const std::array<ParameterPush, 6>& pushes()
{
    static const std::array<ParameterPush, 6> table{{
        {TaskEvent::CodecTest, Target::Codec, Command::BusTransfer, true, BusDevice::AudioCodec, 2, 10, {}},
        {TaskEvent::AmplifierTest, Target::Audio, Command::BusTransfer, true, BusDevice::AudioAmplifier, 1, 9, {}},
        {TaskEvent::VocoderTest, Target::Vocoder, Command::VocoderValues, false, 0, 12, 20, {}},
        {TaskEvent::RecorderTest, Target::Recoder, Command::RecorderValues, false, 0, 8, 16, {}},
        {TaskEvent::NetworkLoad, Target::Net, Command::NetworkParameters, false, 0, 44, 53,
         QStringLiteral("Параметры сетевого подключения загружены.")},
        {TaskEvent::LinkLoad, Target::Link, Command::LinkParameters, false, 0, 18, 26,
         QStringLiteral("Параметры соединения загружены.")},
    }};
    return table;
}

// The header words and bytes the editor does not write carry no meaning; they are sent as zero.
void prepareRequest(std::uint8_t* buffer, const ParameterPush& push)
{
    std::fill(buffer, buffer + push.bytesSent, std::uint8_t{0});
    setHeaderWord(buffer, 0, static_cast<std::uint16_t>(push.command));
    if (push.busTransfer) {
        setHeaderWord(buffer, 2, static_cast<std::uint16_t>(push.payloadSize));
        setHeaderWord(buffer, 3, push.busDevice);
    }
}
}

const ParameterPush& parameterPush(TaskEvent event)
{
    for (const ParameterPush& push : pushes())
        if (push.event == event)
            return push;
    throw std::invalid_argument("no parameter push for this event");
}

void pushParameters(TaskContext& context, const ParameterPush& push)
{
    const auto stopEditor = [&] { context.notify(push.editor, NotifyCode::Finished, 0); };
    if (!context.connect(Usb::NormalConfiguration)) {
        stopEditor();
        return;
    }
    UsbConnection& usb = context.usb;
    // The editor writes straight into the transfer buffer, which must hold the whole request.
    if (push.bytesSent > usb.bufferSize()) {
        if (context.logError(PayloadTooLarge))
            stopEditor();
        return;
    }
    prepareRequest(usb.buffer(), push);
    if (!context.notify(push.editor, NotifyCode::Request,
                        toNotifyValue(usb.buffer() + Usb::HeaderSize)))
        return;
    const int result = usb.exchange(push.bytesSent, Usb::DefaultTimeoutMs);
    if (result < 0) {
        if (context.logError(result))
            stopEditor();
        usb.CloseConnection();
        return;
    }
    if (!push.successText.isEmpty())
        context.log(push.successText);
}
