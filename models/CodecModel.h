#pragma once

#include <array>

#include <QString>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"

// The codec chip's registers that the block writes (TLV320AIC23 register map).
enum CodecRegister : int {
    LeftLineInput = 0,
    RightLineInput = 1,
    LeftHeadphone = 2,
    RightHeadphone = 3,
    AnalogPath = 4,
    DigitalPath = 5,
    PowerDown = 6,
    InterfaceFormat = 7,
    SampleRate = 8,
    InterfaceActivation = 9,
    ChipReset = 15,
};

// The eleven register writes of the block, in block order.
inline constexpr std::array<CodecRegister, 11> CodecBlockOrder{
    ChipReset, PowerDown, AnalogPath, DigitalPath, SampleRate, LeftLineInput,
    RightLineInput, LeftHeadphone, RightHeadphone, InterfaceFormat, InterfaceActivation};

// How a gain register's code maps to its slider and to decibels.
struct GainScale {
    int codeMask;        // the code's bits in the register's data
    int lowestCode;      // what the slider reaches at its bottom
    int highestCode;     // ... and at its top
    int positionSum;     // position = positionSum - code
    int zeroCode;        // the code of 0 dB
    int halfDecibelsPerStep;
    int tickInterval;    // slider positions between ticks
};
inline constexpr GainScale InputGain{31, 0, 31, 31, 23, 3, 1};     // -34.5 .. +12 dB in 1.5 dB steps
inline constexpr GainScale OutputGain{127, 48, 127, 175, 121, 2, 2}; // -73 .. +6 dB in 1 dB steps
const GainScale& gainScaleOf(CodecRegister gainRegister);

int gainCodeAt(const GainScale& scale, int position);
int gainPositionOf(const GainScale& scale, int code);
// The shortest decimal form in the locale's separator, "+" above zero: "-34.5", "0", "+12".
// A code below the scale, the chip's mute range, reads "Откл.".
QString gainText(const GainScale& scale, int code);

// The "Ацп/Цап" choices and the register 8 byte of each, by model code (0 for other models).
inline constexpr int SampleRateCount = 6;
inline constexpr int DefaultSampleRate = 1;
const std::array<QString, SampleRateCount>& sampleRateTexts();
std::uint8_t sampleRateByte(int item, int model);
// The choice a stored register 8 byte shows (bit 7 ignored); the default for unknown bytes.
int sampleRateItemOf(std::uint8_t data, int model);

// The window's caption for a controller, e.g. "Аудио кодек (R-410ZA)".
QString codecCaption(std::uint16_t typeWord);

// The names of the four gain sliders, which depend on the controller's edition.
struct CodecLabels {
    QString in1;
    QString in2;
    QString out1;
    QString out2;
};
CodecLabels codecLabels(int edition);

// What the codec editor is opened with: references into the main window's record.
struct CodecInputs {
    AccessLevel level;
    const std::uint8_t* identityBlock;
    std::uint8_t* codecBlock;
};

// The codec editor's rules. The block is eleven register writes of two bytes: the register address
// times 2 plus data bit 8, then data bits 7..0, in the order they go to the chip.
class CodecModel final : public BlockModel<Blocks::Codec.size> {
public:
    explicit CodecModel(const CodecInputs& inputs);

    void LoadBlock() override;
    void setDefaults() override;
    // Two bytes: the register write changed last, as stored.
    int payloadSize() const override { return 2; }
    void writePayload(std::uint8_t* destination) const override;
    void setPending(int codecRegister) override;

    QString caption() const { return codecCaption(typeWord_); }
    CodecLabels labels() const { return codecLabels(editionBit(typeWord_)); }
    // The sample rates are chosen only in the full service level.
    bool sampleRateSelectable() const { return level_ == LevelFull; }

    std::uint8_t data(CodecRegister reg) const;
    int gainCode(CodecRegister gainRegister) const;
    bool highPassFilter() const;
    int deemphasis() const;
    int sampleRate() const { return sampleRate_; }
    bool microphoneInput() const;
    bool microphoneMuted() const;
    bool microphoneBoosted() const;
    bool lineInputPowered() const;
    bool microphoneInputPowered() const;

    // Each returns the register it changed.
    CodecRegister setGainCode(CodecRegister gainRegister, int code);
    CodecRegister setSampleRate(int item);
    CodecRegister setDeemphasis(int index);
    CodecRegister setHighPassFilter(bool on);
    CodecRegister setMicrophoneBoosted(bool on);
    CodecRegister setMicrophoneMuted(bool on);
    CodecRegister setMicrophoneInput(bool on);
    CodecRegister setLineInputPowered(bool on);
    CodecRegister setMicrophoneInputPowered(bool on);

private:
    std::uint8_t& dataByte(CodecRegister reg);
    bool bit(CodecRegister reg, int bitIndex) const;
    CodecRegister setBit(CodecRegister reg, int bitIndex, bool value);
    void keepGainCode(CodecRegister gainRegister);
    void writeFixedBytes();

    AccessLevel level_;
    std::uint16_t typeWord_;
    int sampleRate_ = DefaultSampleRate;
    // Before any change while testing, a push re-sends the first gain the window shows.
    CodecRegister pending_ = LeftLineInput;
};
