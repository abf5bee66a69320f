#include "models/RecoderModel.h"

#include <algorithm>

#include "link/Packet.h"
#include "models/DecibelText.h"

namespace {

// trunc(32767 / 1.1885^P): 1.1885 is a step of 1.5 dB.
constexpr std::array<std::int16_t, GainPositions> GainWords{
    32767, 27570, 23197, 19518, 16422, 13817, 11626, 9782, 8230, 6925, 5826,
    4902,  4125,  3470,  2920,  2457,  2067,  1739,  1463, 1231, 1036, 871,
    733,   617,   519,   436,   367,   309,   260,   219,  184,  155,
};
constexpr int HalfDecibelsPerPosition = 3;

constexpr int RxLevelShift = 2;

int gainPositionIn(int position)
{
    return std::clamp(position, 0, GainPositions - 1);
}

} // namespace

std::int16_t recorderGainWord(int position)
{
    return GainWords[static_cast<std::size_t>(gainPositionIn(position))];
}

int recorderGainPosition(std::int16_t stored)
{
    // The words fall from the top; position 0's word is the largest value a word can hold.
    int position = GainPositions - 1;
    while (GainWords[static_cast<std::size_t>(position)] < stored)
        --position;
    return position;
}

QString recorderGainText(int position)
{
    return halfDecibelText((ZeroDecibelPosition - gainPositionIn(position)) * HalfDecibelsPerPosition);
}

int rxLevelWordAt(int position)
{
    return (MaxRxLevel - std::clamp(position, 0, MaxRxLevel)) << RxLevelShift;
}

int rxLevelPositionOf(std::uint16_t stored)
{
    return (MaxRxLevel - (stored >> RxLevelShift)) & MaxRxLevel;
}

QString recorderCaption(std::uint16_t typeWord)
{
    return QStringLiteral("Регистратор (") + deviceName(typeWord) + QStringLiteral(")");
}

RecoderModel::RecoderModel(const RecoderInputs& inputs)
    : BlockModel(inputs.recorderBlock, WordOrder::Host)
    , typeWord_(typeWordOf(inputs.identityBlock))
{
}

// Every field is rewritten as its control writes it, so that the window and the block agree.
void RecoderModel::LoadBlock()
{
    copyIn();
    setFlag(VolumeControlBit, flag(VolumeControlBit));
    for (const RecorderGain& gain : RecorderGains)
        setGainPosition(gain, gainPosition(gain));
    setRxLevelPosition(rxLevelPosition());
}

void RecoderModel::setDefaults()
{
    setWord(FlagsWord, DefaultFlags);
    for (const RecorderGain& gain : RecorderGains)
        setGainPosition(gain, ZeroDecibelPosition);
    setRxLevelPosition(DefaultRxLevelPosition);
}

bool RecoderModel::volumeControlAvailable() const
{
    return editionBit(typeWord_) == 0;
}

std::uint16_t RecoderModel::word(RecorderWord which) const
{
    const auto low = 2 * static_cast<std::size_t>(which);
    return static_cast<std::uint16_t>(copy_[low] | copy_[low + 1] << 8);
}

bool RecoderModel::flag(int bit) const
{
    return (word(FlagsWord) >> bit & 1) != 0;
}

int RecoderModel::gainPosition(const RecorderGain& gain) const
{
    return recorderGainPosition(static_cast<std::int16_t>(word(gain.word)));
}

int RecoderModel::rxLevelPosition() const
{
    return rxLevelPositionOf(word(RxLevelWord));
}

RecorderWord RecoderModel::setFlag(int bit, bool on)
{
    const bool kept = on && (bit != VolumeControlBit || volumeControlAvailable());
    const auto mask = static_cast<std::uint16_t>(1u << bit);
    const std::uint16_t flags = word(FlagsWord);
    setWord(FlagsWord, static_cast<std::uint16_t>(kept ? flags | mask : flags & ~mask));
    return FlagsWord;
}

RecorderWord RecoderModel::setGainPosition(const RecorderGain& gain, int position)
{
    setWord(gain.word, static_cast<std::uint16_t>(recorderGainWord(position)));
    return gain.word;
}

RecorderWord RecoderModel::setRxLevelPosition(int position)
{
    setWord(RxLevelWord, static_cast<std::uint16_t>(rxLevelWordAt(position)));
    return RxLevelWord;
}

void RecoderModel::setWord(RecorderWord which, std::uint16_t value)
{
    const auto low = 2 * static_cast<std::size_t>(which);
    copy_[low] = static_cast<std::uint8_t>(value & 0xFF);
    copy_[low + 1] = static_cast<std::uint8_t>(value >> 8);
}
