#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"

// The recorder block's four 16-bit words.
enum RecorderWord : int {
    FlagsWord = 0,
    RxGainWord = 1,
    MicGainWord = 2,
    RxLevelWord = 3,
};

// The check boxes of the "Регистратор" page, one bit of the flags word each. The bits above them
// (7-15) are kept as stored.
enum RecorderFlagGroup {
    ChannelSelector,  // "Селектор каналов"
    ChannelControl,   // "Управление каналами"
};
struct RecorderFlag {
    int bit;
    const char* name;    // the check box
    const char* caption; // UTF-8
    RecorderFlagGroup group;
};
inline constexpr int VolumeControlBit = 6;
// In the window's order within each group.
inline constexpr std::array<RecorderFlag, 7> RecorderFlags{{
    {0, "Mic", "Микрофон", ChannelSelector},
    {1, "Rx", "Приемник", ChannelSelector},
    {2, "PttBut", "Клавиша РТТ", ChannelControl},
    {3, "TxLed", "Сигнал TX (индикатор)", ChannelControl},
    {4, "RxDispl", "Сигнал RX (дисплей)", ChannelControl},
    {5, "RxLed", "Сигнал RX (индикатор)", ChannelControl},
    {VolumeControlBit, "RxCtrl", "Регулятор громкости", ChannelControl},
}};

// The gain sliders of the group "Усиление по каналам (дБ)", left to right.
struct RecorderGain {
    RecorderWord word;
    const char* slider;
    const char* value;   // the dB text above the slider
    const char* caption; // the name label above that, UTF-8
};
inline constexpr std::array<RecorderGain, 2> RecorderGains{{
    {MicGainWord, "MicGain", "MicGainVal", "Микрофон"},
    {RxGainWord, "RxGain", "RxGainVal", "Приемник"},
}};

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

// RX level slider positions 0 (top, level 63) to 63; the word holds 4 x level.
inline constexpr int MaxRxLevel = 63;
int rxLevelWordAt(int position);
// Only the six bits of the level count (bits 2-7); the rest of a stored word is dropped.
int rxLevelPositionOf(std::uint16_t stored);

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
    static constexpr std::uint16_t DefaultFlags = 0x0007; // microphone, receiver, PTT key
    static constexpr int DefaultRxLevelPosition = 27;     // level 36

    explicit RecoderModel(const RecoderInputs& inputs);

    void LoadBlock() override;
    void setDefaults() override;

    QString caption() const { return recorderCaption(typeWord_); }
    // Edition ZB has no volume control: its box is disabled and its bit kept clear.
    bool volumeControlAvailable() const;
    // The "Уровень RX" page is shown while the volume control is on.
    bool rxLevelShown() const { return flag(VolumeControlBit); }

    std::uint16_t word(RecorderWord which) const;
    bool flag(int bit) const;
    int gainPosition(const RecorderGain& gain) const;
    int rxLevelPosition() const;

    // Each returns the word it changed.
    RecorderWord setFlag(int bit, bool on);
    RecorderWord setGainPosition(const RecorderGain& gain, int position);
    RecorderWord setRxLevelPosition(int position);

private:
    void setWord(RecorderWord which, std::uint16_t value);

    std::uint16_t typeWord_;
};
