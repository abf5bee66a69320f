#include "models/AudioModel.h"

#include <array>
#include <cstdlib>

#include <QLocale>

namespace {

constexpr std::array<int, AudioModel::MaxLevel + 1> TenthsOfDecibel{
    -1615, -928, -903, -868, -843, -808, -783, -747,
    -722,  -687, -662, -627, -602, -567, -542, -506,
    -481,  -456, -437, -421, -396, -376, -360, -334,
    -315,  -298, -272, -252, -235, -216, -197, -175,
    -164,  -154, -144, -131, -120, -109, -99,  -89,
    -71,   -60,  -50,  -34,  -19,  -5,   5,    12,
    16,    20,   24,   29,   34,   39,   44,   49,
    54,    59,   65,   70,   76,   82,   88,   95,
};

// Three significant digits: from 100 dB up the tenths are rounded away, halves away from zero.
int roundToThreeDigits(int tenths)
{
    const int magnitude = std::abs(tenths);
    if (magnitude < 1000)
        return tenths;
    const int rounded = (magnitude + 5) / 10 * 10;
    return tenths < 0 ? -rounded : rounded;
}

QString signOf(int value)
{
    if (value > 0)
        return QStringLiteral("+");
    return value < 0 ? QStringLiteral("-") : QString();
}

} // namespace

int amplifierTenthsOfDecibel(int level)
{
    return TenthsOfDecibel.at(static_cast<std::size_t>(level));
}

QString amplifierLevelText(int level)
{
    const int tenths = roundToThreeDigits(amplifierTenthsOfDecibel(level));
    return signOf(tenths) + QLocale().toString(std::abs(tenths) / 10.0, 'f', 1);
}

int amplifierLevelAt(int position)
{
    return AudioModel::MaxLevel - position;
}

int amplifierPositionOf(int level)
{
    return AudioModel::MaxLevel - level;
}

AudioModel::AudioModel(std::uint8_t* amplifierBlock)
    : BlockModel(amplifierBlock, WordOrder::AsStored)
{
}

void AudioModel::LoadBlock()
{
    copyIn();
    setLevel(item(LevelItem) & MaxLevel);
    const int modulation = item(ModulationItem);
    setModulation(modulation == PwmCommand ? Pwm : Sdm);
}

void AudioModel::setDefaults()
{
    setLevel(DefaultLevel);
    setModulation(Sdm);
}

void AudioModel::writePayload(std::uint8_t* destination) const
{
    destination[0] = static_cast<std::uint8_t>(item(pending_));
}

void AudioModel::setPending(int which)
{
    pending_ = which == ModulationItem ? ModulationItem : LevelItem;
}

int AudioModel::level() const
{
    return item(LevelItem) & MaxLevel;
}

AudioModel::Modulation AudioModel::modulation() const
{
    return item(ModulationItem) == PwmCommand ? Pwm : Sdm;
}

AudioModel::Item AudioModel::setLevel(int level)
{
    setItem(LevelItem, static_cast<std::uint8_t>(level & MaxLevel));
    return LevelItem;
}

AudioModel::Item AudioModel::setModulation(Modulation modulation)
{
    setItem(ModulationItem, modulation == Pwm ? PwmCommand : SdmCommand);
    return ModulationItem;
}

int AudioModel::item(Item which) const
{
    const std::size_t low = 2 * static_cast<std::size_t>(which);
    return copy_[low] | copy_[low + 1] << 8;
}

void AudioModel::setItem(Item which, std::uint8_t command)
{
    const std::size_t low = 2 * static_cast<std::size_t>(which);
    copy_[low] = command;
    copy_[low + 1] = 0;
}
