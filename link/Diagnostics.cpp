#include "link/Diagnostics.h"

#include <algorithm>
#include <array>

#include <QByteArray>

Q_LOGGING_CATEGORY(usbLog, "r4xx.usb", QtWarningMsg)
Q_LOGGING_CATEGORY(taskLog, "r4xx.tasks", QtWarningMsg)

namespace {
QByteArray hexBytes(const std::uint8_t* bytes, int count)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), count).toHex(' ').toUpper();
}

int bytesShown(TransferDirection direction, int length, int result)
{
    if (direction == TransferDirection::Out)
        return std::max(length, 0);
    return std::clamp(result, 0, std::max(length, 0));
}
}

QString transferLine(TransferDirection direction, int endpoint, int length, int result,
                     const std::uint8_t* bytes)
{
    const QString endpointText = QString::number(endpoint, 16).rightJustified(2, u'0').toUpper();
    QString line = QStringLiteral("%1 0x%2 length %3 result %4")
                       .arg(direction == TransferDirection::Out ? QStringLiteral("OUT")
                                                                : QStringLiteral("IN "),
                            endpointText)
                       .arg(length)
                       .arg(result);
    const int shown = bytesShown(direction, length, result);
    if (shown > 0)
        line += QStringLiteral(" data ") + QString::fromLatin1(hexBytes(bytes, shown));
    return line;
}

const char* taskEventName(TaskEvent event)
{
    static constexpr std::array<const char*, TaskEventCount> names{
        "ConfigRead",    "ConfigWrite",   "FirmwareLoad", "StatisticsReport", "StatisticsReset",
        "CodecTest",     "AmplifierTest", "VocoderTest",  "RecorderTest",     "TraceSelection",
        "TracePoll",     "NetworkLoad",   "LinkLoad",     "FirmwareRead",
    };
    return names.at(static_cast<std::size_t>(event));
}

const char* windowName(Target target)
{
    switch (target) {
    case Target::Device: return "TFDevice";
    case Target::Read: return "TFRead";
    case Target::Save: return "TFSave";
    case Target::Flash: return "TFFlash";
    case Target::Report: return "TFReport";
    case Target::Trace: return "TFTrace";
    case Target::Codec: return "TFCodec";
    case Target::Audio: return "TFAudio";
    case Target::Vocoder: return "TFVocoder";
    case Target::Recoder: return "TFRecoder";
    case Target::Net: return "TFNet";
    case Target::Link: return "TFLink";
    }
    return "?";
}
