#pragma once

#include <array>
#include <span>

#include <QString>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"
#include "models/Field.h"

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

// The eleven register writes of the block, in block order: word i writes register
// CodecBlockOrder[i], as the register address times 512 plus the nine data bits.
inline constexpr std::array<CodecRegister, 11> CodecBlockOrder{
    ChipReset, PowerDown, AnalogPath, DigitalPath, SampleRate, LeftLineInput,
    RightLineInput, LeftHeadphone, RightHeadphone, InterfaceFormat, InterfaceActivation};

// The codec block's fields, in the table's order: the four gains (a code each, the slider's top
// being the highest code), then the settings of the page "Дополнительно".
enum class CodecField {
    In1,        // left line input gain
    In2,        // right line input gain
    Out1,       // left headphone gain
    Out2,       // right headphone gain
    SampleRate, // "Ацп/Цап"
    Deemphasis, // "Фильтр частотной коррекции"
    HighPass,   // ADC high-pass filter on (its bit set turns it off)
    MicBoost,
    MicMute,
    Input,      // "Селектор входных каналов": 1 the microphone
    LinePower,  // line input amplifier powered (its bit set powers it down)
    MicPower,   // microphone amplifier powered (the same)
};
std::span<const Field> codecFields();
const Field& codecField(CodecField field);
// The register a field's word writes.
CodecRegister codecRegisterOf(const Field& field);

// The "Ацп/Цап" choices and the register 8 byte of each, by model code (0 for other models).
inline constexpr int SampleRateCount = 6;
inline constexpr int DefaultSampleRate = 1;
const std::array<QString, SampleRateCount>& sampleRateTexts();
std::uint8_t sampleRateByte(int item, int model);
// The choice a stored register 8 byte shows (bit 7 ignored); the default for unknown bytes.
int sampleRateItemOf(std::uint8_t data, int model);

// The window's caption for a controller, e.g. "Аудио кодек (R-410ZA)".
QString codecCaption(std::uint16_t typeWord);

// What the codec editor is opened with: references into the main window's record.
struct CodecInputs {
    AccessLevel level;
    const std::uint8_t* identityBlock;
    std::uint8_t* codecBlock;
};

// The codec editor's rules. The block is eleven register writes of one word each, in the order
// they go to the chip.
class CodecModel final : public BlockModel<Blocks::Codec.size> {
public:
    explicit CodecModel(const CodecInputs& inputs);

    void LoadBlock() override;
    void setDefaults() override;
    // Two bytes: the register write changed last, as stored.
    int payloadSize() const override { return 2; }
    void writePayload(std::uint8_t* destination) const override;
    void setPending(int codecRegister) override;
    std::span<const Field> fields() const override { return codecFields(); }
    int fieldValue(const Field& field) const override;
    int changeField(const Field& field, int value) override;
    bool fieldEnabled(const Field& field) const override;

    QString caption() const { return codecCaption(typeWord()); }
    // The sample rates are chosen only in the full service level.
    bool sampleRateSelectable() const { return level_ == LevelFull; }

    // The nine data bits of a register write.
    int data(CodecRegister reg) const;
    using BlockModel::value;
    int value(CodecField field) const;
    // Stores a field's value; returns the register it changed.
    CodecRegister set(CodecField field, int value);

private:
    void setFixedBits();
    void setData(CodecRegister reg, std::uint16_t data);

    AccessLevel level_;
    // The chosen rate, kept for a model without rate bytes, whose register byte says nothing.
    int sampleRate_ = DefaultSampleRate;
    // Before any change while testing, a push re-sends the first gain the window shows.
    CodecRegister pending_ = LeftLineInput;
};
