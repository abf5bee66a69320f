#pragma once

#include <array>
#include <cstdint>
#include <span>

#include <QString>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"
#include "models/Field.h"

// The recorder block's four 16-bit words.
enum RecorderWord : int {
    FlagsWord = 0,
    RxGainWord = 1,
    MicGainWord = 2,
    RxLevelWord = 3,
};

// The recorder block's fields: the check boxes of the "Регистратор" page, one bit of the flags
// word each (the bits above them, 7-15, are kept as stored), then the gains of the group
// "Усиление по каналам (дБ)" left to right and the RX level. A gain's value is its step from the
// bottom (0, -28.5 dB) to the top (31, +18 dB); the RX level's is the level, 0 to 63.
enum class RecorderField {
    Mic,
    Rx,
    PttBut,
    TxLed,
    RxDispl,
    RxLed,
    RxCtrl,
    MicGain,
    RxGain,
    RxLevel,
};
inline constexpr int RecorderFlagCount = 7;
inline constexpr int VolumeControlBit = 6;
std::span<const Field> recorderFields();
const Field& recorderField(RecorderField field);

// Gain slider positions 0 (top, +18 dB) to 31 (bottom, -28.5 dB) in steps of 1.5 dB; each stores
// a linear gain word, 32767 being full scale.
inline constexpr int GainPositions = 32;
inline constexpr int ZeroDecibelPosition = 12;
std::int16_t recorderGainWord(int position);
// The position a stored gain word opens at: the lowest gain whose word is at least the stored
// value, so everything above position 1's word opens at the top and everything up to the
// bottom's word, negative values included, at the bottom.
int recorderGainPosition(std::int16_t stored);
QString recorderGainText(int position);

// RX level slider positions 0 (top, level 63) to 63; the word holds 4 x level, only the six bits
// of the level count (bits 2-7) being read.
inline constexpr int MaxRxLevel = 63;
int rxLevelWordAt(int position);

// The window's caption for a controller, e.g. "Регистратор (R-420ZA)".
QString recorderCaption(std::uint16_t typeWord);

// What the recorder editor is opened with: references into the main window's record.
struct RecoderInputs {
    const std::uint8_t* identityBlock;
    std::uint8_t* recorderBlock;
};

// The recorder editor's rules. The working copy holds the four words in host order.
class RecoderModel final : public BlockModel<Blocks::Recorder.size> {
public:
    explicit RecoderModel(const RecoderInputs& inputs);

    void LoadBlock() override;
    void setDefaults() override;
    std::span<const Field> fields() const override { return recorderFields(); }
    int changeField(const Field& field, int value) override;
    bool fieldEnabled(const Field& field) const override;

    QString caption() const { return recorderCaption(typeWord()); }
    // Edition ZB has no volume control: its box is disabled and its bit kept clear.
    bool volumeControlAvailable() const;
    // The "Уровень RX" page is shown while the volume control is on.
    bool rxLevelShown() const { return flag(VolumeControlBit); }

    std::uint16_t word(RecorderWord which) const { return BlockModel::word(which); }
    bool flag(int bit) const;
    using BlockModel::value;
    int value(RecorderField field) const;

    // Each returns the word it changed.
    RecorderWord setFlag(int bit, bool on);
    RecorderWord set(RecorderField field, int value);
};
