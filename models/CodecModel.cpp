#include "models/CodecModel.h"

#include <algorithm>
#include <iterator>

#include "models/DecibelText.h"

namespace {

constexpr int ModelR410 = 1;
constexpr int ModelR420 = 2;

constexpr std::array<std::uint8_t, SampleRateCount> R410Rates{0x1E, 0x02, 0x1A, 0x0E, 0x06, 0x0A};
constexpr std::array<std::uint8_t, SampleRateCount> R420Rates{0x1D, 0x01, 0x19, 0x0D, 0x05, 0x09};

const std::array<std::uint8_t, SampleRateCount>* ratesOf(int model)
{
    if (model == ModelR410)
        return &R410Rates;
    return model == ModelR420 ? &R420Rates : nullptr;
}

constexpr int DefaultInputCode = 23;
constexpr int DefaultOutputCode = 121;
constexpr std::uint8_t DefaultDigitalPath = 0x00;
constexpr std::uint8_t DefaultAnalogPath = 0x12;
constexpr std::uint8_t DefaultPowerDown = 0x22;

// Bits of the registers' data.
constexpr int HighPassOffBit = 0;   // register 5
constexpr int DeemphasisShift = 1;  // register 5, two bits
constexpr int DeemphasisMask = 0x03 << DeemphasisShift;
constexpr int BoostBit = 0;         // register 4
constexpr int MuteBit = 1;
constexpr int MicrophoneSelectBit = 2;
constexpr int DacSelectBit = 4;
constexpr int LinePowerDownBit = 0; // register 6
constexpr int MicrophonePowerDownBit = 1;
constexpr int OscillatorPowerDownBit = 5;

// The data bytes that opening always writes.
constexpr std::uint8_t ResetData = 0x00;
constexpr std::uint8_t InterfaceFormatData = 0x43; // master mode, 16-bit words, DSP format
constexpr std::uint8_t InterfaceActiveData = 0x01;

constexpr std::array<CodecRegister, 2> InputGains{LeftLineInput, RightLineInput};
constexpr std::array<CodecRegister, 2> OutputGains{LeftHeadphone, RightHeadphone};

std::size_t slotOf(CodecRegister reg)
{
    const auto slot = std::find(CodecBlockOrder.begin(), CodecBlockOrder.end(), reg);
    return static_cast<std::size_t>(std::distance(CodecBlockOrder.begin(), slot));
}


} // namespace

const GainScale& gainScaleOf(CodecRegister gainRegister)
{
    return gainRegister == LeftLineInput || gainRegister == RightLineInput ? InputGain : OutputGain;
}

int gainCodeAt(const GainScale& scale, int position)
{
    return scale.positionSum - position;
}

int gainPositionOf(const GainScale& scale, int code)
{
    return scale.positionSum - code;
}

QString gainText(const GainScale& scale, int code)
{
    if (code < scale.lowestCode)
        return QStringLiteral("Откл.");
    return halfDecibelText((code - scale.zeroCode) * scale.halfDecibelsPerStep);
}

const std::array<QString, SampleRateCount>& sampleRateTexts()
{
    static const std::array<QString, SampleRateCount> texts{
        QStringLiteral("96/96 кГц"),   QStringLiteral("48/48 кГц"), QStringLiteral("32/32 кГц"),
        QStringLiteral("  8/8   кГц"), QStringLiteral("48/8  кГц"), QStringLiteral("8/48  кГц"),
    };
    return texts;
}

std::uint8_t sampleRateByte(int item, int model)
{
    const auto* rates = ratesOf(model);
    return rates ? rates->at(static_cast<std::size_t>(item)) : 0;
}

int sampleRateItemOf(std::uint8_t data, int model)
{
    const auto* rates = ratesOf(model);
    if (!rates)
        return DefaultSampleRate;
    const auto found = std::find(rates->begin(), rates->end(), data & 0x7F);
    return found == rates->end() ? DefaultSampleRate
                                 : static_cast<int>(std::distance(rates->begin(), found));
}

QString codecCaption(std::uint16_t typeWord)
{
    return QStringLiteral("Аудио кодек (") + deviceName(typeWord) + QStringLiteral(")");
}

CodecLabels codecLabels(int edition)
{
    if (edition == 0)
        return {QStringLiteral("Микрофон"), QStringLiteral("Доп. вход"), QStringLiteral("Гарнитура"),
                QStringLiteral("Регистратор")};
    return {QStringLiteral("Приемник"), QStringLiteral("Доп. вход"), QStringLiteral("Микрофон"),
            QStringLiteral("Доп. выход")};
}

CodecModel::CodecModel(const CodecInputs& inputs)
    : BlockModel(inputs.codecBlock, WordOrder::AsStored)
    , level_(inputs.level)
    , typeWord_(typeWordOf(inputs.identityBlock))
{
}

void CodecModel::LoadBlock()
{
    copyIn();
    setSampleRate(sampleRateItemOf(data(SampleRate), modelCode(typeWord_)));
    setBit(AnalogPath, DacSelectBit, true);
    setBit(PowerDown, OscillatorPowerDownBit, true);
    for (CodecRegister gain : InputGains)
        keepGainCode(gain);
    for (CodecRegister gain : OutputGains)
        keepGainCode(gain);
    writeFixedBytes();
}

void CodecModel::setDefaults()
{
    for (CodecRegister gain : InputGains)
        setGainCode(gain, DefaultInputCode);
    for (CodecRegister gain : OutputGains)
        setGainCode(gain, DefaultOutputCode);
    dataByte(DigitalPath) = DefaultDigitalPath;
    setSampleRate(DefaultSampleRate);
    dataByte(AnalogPath) = DefaultAnalogPath;
    dataByte(PowerDown) = DefaultPowerDown;
}

void CodecModel::writePayload(std::uint8_t* destination) const
{
    const std::size_t slot = slotOf(pending_);
    destination[0] = copy_[2 * slot];
    destination[1] = copy_[2 * slot + 1];
}

void CodecModel::setPending(int codecRegister)
{
    const auto reg = static_cast<CodecRegister>(codecRegister);
    // Only a register write of the block can be pushed.
    if (std::find(CodecBlockOrder.begin(), CodecBlockOrder.end(), reg) != CodecBlockOrder.end())
        pending_ = reg;
}

std::uint8_t CodecModel::data(CodecRegister reg) const
{
    return copy_[2 * slotOf(reg) + 1];
}

int CodecModel::gainCode(CodecRegister gainRegister) const
{
    return data(gainRegister) & gainScaleOf(gainRegister).codeMask;
}

bool CodecModel::highPassFilter() const
{
    return !bit(DigitalPath, HighPassOffBit);
}

int CodecModel::deemphasis() const
{
    return (data(DigitalPath) & DeemphasisMask) >> DeemphasisShift;
}

bool CodecModel::microphoneInput() const
{
    return bit(AnalogPath, MicrophoneSelectBit);
}

bool CodecModel::microphoneMuted() const
{
    return bit(AnalogPath, MuteBit);
}

bool CodecModel::microphoneBoosted() const
{
    return bit(AnalogPath, BoostBit);
}

bool CodecModel::lineInputPowered() const
{
    return !bit(PowerDown, LinePowerDownBit);
}

bool CodecModel::microphoneInputPowered() const
{
    return !bit(PowerDown, MicrophonePowerDownBit);
}

CodecRegister CodecModel::setGainCode(CodecRegister gainRegister, int code)
{
    dataByte(gainRegister) = static_cast<std::uint8_t>(code & gainScaleOf(gainRegister).codeMask);
    return gainRegister;
}

CodecRegister CodecModel::setSampleRate(int item)
{
    sampleRate_ = item;
    dataByte(SampleRate) = sampleRateByte(item, modelCode(typeWord_));
    return SampleRate;
}

CodecRegister CodecModel::setDeemphasis(int index)
{
    std::uint8_t& path = dataByte(DigitalPath);
    path = static_cast<std::uint8_t>((path & ~DeemphasisMask) | ((index << DeemphasisShift) & DeemphasisMask));
    return DigitalPath;
}

CodecRegister CodecModel::setHighPassFilter(bool on)
{
    return setBit(DigitalPath, HighPassOffBit, !on);
}

CodecRegister CodecModel::setMicrophoneBoosted(bool on)
{
    return setBit(AnalogPath, BoostBit, on);
}

CodecRegister CodecModel::setMicrophoneMuted(bool on)
{
    return setBit(AnalogPath, MuteBit, on);
}

CodecRegister CodecModel::setMicrophoneInput(bool on)
{
    return setBit(AnalogPath, MicrophoneSelectBit, on);
}

CodecRegister CodecModel::setLineInputPowered(bool on)
{
    return setBit(PowerDown, LinePowerDownBit, !on);
}

CodecRegister CodecModel::setMicrophoneInputPowered(bool on)
{
    return setBit(PowerDown, MicrophonePowerDownBit, !on);
}

std::uint8_t& CodecModel::dataByte(CodecRegister reg)
{
    return copy_[2 * slotOf(reg) + 1];
}

bool CodecModel::bit(CodecRegister reg, int bitIndex) const
{
    return (data(reg) >> bitIndex & 1) != 0;
}

CodecRegister CodecModel::setBit(CodecRegister reg, int bitIndex, bool value)
{
    std::uint8_t& byte = dataByte(reg);
    const auto mask = static_cast<std::uint8_t>(1u << bitIndex);
    byte = static_cast<std::uint8_t>(value ? byte | mask : byte & ~mask);
    return reg;
}

// A gain byte keeps only its gain code. An output code in the chip's mute range, which the slider
// cannot show, is kept too, until the slider is moved.
void CodecModel::keepGainCode(CodecRegister gainRegister)
{
    setGainCode(gainRegister, gainCode(gainRegister));
}

void CodecModel::writeFixedBytes()
{
    for (std::size_t slot = 0; slot < CodecBlockOrder.size(); ++slot)
        copy_[2 * slot] = static_cast<std::uint8_t>(CodecBlockOrder[slot] * 2);
    dataByte(ChipReset) = ResetData;
    dataByte(InterfaceFormat) = InterfaceFormatData;
    dataByte(InterfaceActivation) = InterfaceActiveData;
}
