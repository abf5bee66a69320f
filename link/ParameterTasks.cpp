#include "link/ParameterTasks.h"

#include <array>
#include <stdexcept>

#include "link/TaskContext.h"

namespace {
constexpr int PayloadTooLarge = -1;

const std::array<ParameterPush, 6>& pushes()
{
    using Protocol::PushFrame;
    static const std::array<ParameterPush, 6> table{{
        {TaskEvent::CodecTest, Target::Codec, PushFrame{Command::BusTransfer, BusDevice::AudioCodec, 2, 10}, {}},
        {TaskEvent::AmplifierTest, Target::Audio, PushFrame{Command::BusTransfer, BusDevice::AudioAmplifier, 1, 9}, {}},
        {TaskEvent::VocoderTest, Target::Vocoder, PushFrame{Command::VocoderValues, std::nullopt, 12, 20}, {}},
        {TaskEvent::RecorderTest, Target::Recoder, PushFrame{Command::RecorderValues, std::nullopt, 8, 16}, {}},
        {TaskEvent::NetworkLoad, Target::Net, PushFrame{Command::NetworkParameters, std::nullopt, 44, 53},
         QStringLiteral("Параметры сетевого подключения загружены.")},
        {TaskEvent::LinkLoad, Target::Link, PushFrame{Command::LinkParameters, std::nullopt, 18, 26},
         QStringLiteral("Параметры соединения загружены.")},
    }};
    return table;
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
    const auto stopEditor = [&] { context.notify(push.editor, Report::Finished{0}); };
    if (!context.connect(Usb::NormalConfiguration)) {
        stopEditor();
        return;
    }
    UsbConnection& usb = context.usb;
    // The whole request must fit the controller's buffer.
    if (push.frame.bytesSent > usb.bufferSize()) {
        if (context.logError(PayloadTooLarge))
            stopEditor();
        return;
    }
    const std::optional<Ask::Payload::Bytes> payload =
        context.ask(push.editor, Ask::Payload{push.frame.payloadSize});
    if (!payload)
        return;
    const auto pushed = Protocol::push(usb, push.frame, payload->bytes);
    if (const Protocol::Failure* failure = Protocol::failureOf(pushed)) {
        if (context.logError(failure->logged()))
            stopEditor();
        usb.CloseConnection();
        return;
    }
    if (!push.successText.isEmpty())
        context.log(push.successText);
}
