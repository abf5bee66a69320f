#include "models/VocoderModel.h"

#include <algorithm>

namespace {

constexpr int ModelR410 = 1;

// The longest audio packet the controller takes, and the packets' time step.
constexpr int PacketBitsLimit = 4000;
constexpr int PacketsPerSecond = 50;
constexpr int DurationStepMs = 20;
constexpr int BufferSteps = 8;

struct BitRate {
    int bitsPerSecond;
    QString text;     // every model but the R-410
    QString r410Text; // the R-410
};

const std::array<BitRate, HighestRateCode - LowestRateCode + 1>& bitRates()
{
    static const std::array<BitRate, HighestRateCode - LowestRateCode + 1> rates{{
        {6000, QStringLiteral("6.0  кбит/с"), QStringLiteral("6.0 кбит/с")},
        {7200, QStringLiteral("7.2  кбит/с"), QStringLiteral("7.2 кбит/с")},
        {8000, QStringLiteral("8.0  кбит/с"), QStringLiteral("8.0 кбит/с")},
        {11000, QStringLiteral("11.0  кбит/с"), QStringLiteral("11.0 кбит/с")},
        {11800, QStringLiteral("11.8  кбит/с"), QStringLiteral("11.8 кбит/с")},
        {15000, QStringLiteral("15.0 кбит/с"), QStringLiteral("14.4 кбит/с")},
        {18200, QStringLiteral("18.2 кбит/с"), QStringLiteral("17.6 кбит/с")},
    }};
    return rates;
}

QStringList bitRateTexts(int model)
{
    QStringList texts;
    for (const BitRate& rate : bitRates())
        texts.append(model == ModelR410 ? rate.r410Text : rate.text);
    return texts;
}

QString millisecondsText(int milliseconds)
{
    return QString::number(milliseconds) + QStringLiteral(" мсек.");
}

QStringList durationTexts(int rateCode)
{
    QStringList texts;
    for (int item = 0; item < durationCount(rateCode); ++item)
        texts.append(millisecondsText(item * DurationStepMs));
    return texts;
}

QStringList bufferSizeTexts()
{
    QStringList texts{QStringLiteral("Откл.")};
    for (int step = 1; step <= BufferSteps; ++step)
        texts.append(millisecondsText(step * DurationStepMs));
    return texts;
}


} // namespace

const VocoderField& vocoderField(VocoderList list)
{
    return VocoderFields.at(static_cast<std::size_t>(list));
}

int bitRateOf(int rateCode)
{
    const int code = std::clamp(rateCode, LowestRateCode, HighestRateCode);
    return bitRates().at(static_cast<std::size_t>(code - LowestRateCode)).bitsPerSecond;
}

int durationCount(int rateCode)
{
    // In whole numbers, as the controller counts: bits per packet, then packets of 20 ms.
    return PacketBitsLimit / (bitRateOf(rateCode) / PacketsPerSecond) + 1;
}

QStringList vocoderItems(VocoderList list, int model, int rateCode)
{
    switch (list) {
    case VocoderList::BitsMode:
        return bitRateTexts(model);
    case VocoderList::CtrlMode:
        return {QStringLiteral("Отключено"), QStringLiteral("Контроль РТТ")};
    case VocoderList::RunMode:
        return {QStringLiteral("Постоянно"), QStringLiteral("VAD"), QStringLiteral("VBR")};
    case VocoderList::BitsTime:
        return durationTexts(rateCode);
    case VocoderList::JBufMode:
        return {QStringLiteral("Фиксированный"), QStringLiteral("Адаптивный")};
    case VocoderList::JBufTime:
        return bufferSizeTexts();
    }
    return {};
}

QString bufferSizeLabel(int bufferMode)
{
    return bufferMode == 1 ? QStringLiteral("Максимальный размер буфера ")
                           : QStringLiteral("Размер буфера ");
}

VocoderModel::VocoderModel(const VocoderInputs& inputs)
    : BlockModel(inputs.vocoderBlock, WordOrder::Host)
    , typeWord_(typeWordOf(inputs.identityBlock))
{
    store(VocoderList::BitsMode, 0); // a valid rate until the block is loaded
}

// Every word ends as the position its list shows: the R-410's fixed words first, then each word
// limited to its list in block order, so that the durations follow the limited bit rate.
void VocoderModel::LoadBlock()
{
    copyIn();
    for (const VocoderField& field : VocoderFields) {
        if (isR410() && field.r410)
            store(field.list, *field.r410);
        store(field.list, position(field.list));
    }
}

void VocoderModel::setDefaults()
{
    for (const VocoderField& field : VocoderFields)
        if (!(isR410() && field.r410))
            store(field.list, field.defaultPosition);
}

QStringList VocoderModel::items(VocoderList list) const
{
    return vocoderItems(list, modelCode(typeWord_), word(static_cast<int>(VocoderList::BitsMode)));
}

int VocoderModel::itemCount(VocoderList list) const
{
    return static_cast<int>(items(list).size());
}

int VocoderModel::position(VocoderList list) const
{
    return word(static_cast<int>(list)) - vocoderField(list).firstValue;
}

bool VocoderModel::enabled(VocoderList list) const
{
    return !(isR410() && vocoderField(list).r410);
}

QString VocoderModel::bufferLabel() const
{
    return bufferSizeLabel(position(VocoderList::JBufMode));
}

VocoderList VocoderModel::choose(VocoderList list, int position)
{
    if (!enabled(list))
        return list;
    store(list, position);
    if (list == VocoderList::BitsMode)
        keepDurationInList();
    return list;
}

std::int16_t VocoderModel::word(int index) const
{
    const auto byte = static_cast<std::size_t>(2 * index);
    return static_cast<std::int16_t>(copy_.at(byte) | copy_.at(byte + 1) << 8);
}

bool VocoderModel::isR410() const
{
    return modelCode(typeWord_) == ModelR410;
}

void VocoderModel::setWord(int index, int value)
{
    const auto byte = static_cast<std::size_t>(2 * index);
    copy_.at(byte) = static_cast<std::uint8_t>(value & 0xFF);
    copy_.at(byte + 1) = static_cast<std::uint8_t>(value >> 8 & 0xFF);
}

// A position outside the list becomes its nearer end.
void VocoderModel::store(VocoderList list, int position)
{
    const int limited = std::clamp(position, 0, itemCount(list) - 1);
    setWord(static_cast<int>(list), limited + vocoderField(list).firstValue);
}

// The packet duration stays as chosen unless the new bit rate's list ends before it.
void VocoderModel::keepDurationInList()
{
    store(VocoderList::BitsTime, position(VocoderList::BitsTime));
}
