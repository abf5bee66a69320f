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

constexpr int CommandShift = 8; // the command byte is the word's high byte

int modulationItem(int command, const FieldContext&)
{
    return command == AudioModel::PwmCommand << CommandShift ? AudioModel::Pwm : AudioModel::Sdm;
}

int modulationCommand(int item, const FieldContext&)
{
    return (item == AudioModel::Pwm ? AudioModel::PwmCommand : AudioModel::SdmCommand) << CommandShift;
}

QStringList modulationItems(const FieldContext&)
{
    return {QStringLiteral("СДМ"), QStringLiteral("ШИМ")};
}

QString levelText(int level, const FieldContext&)
{
    return amplifierLevelText(level);
}

} // namespace

std::span<const Field> amplifierFields()
{
    // A level rewrites its whole word: the command byte over a zero byte.
    static const std::array<Field, 2> fields{{
        {.key = "level", .control = "Lev", .label = QStringLiteral("Усиление (дБ)"),
         .kind = FieldKind::Level, .place = {0, 0x3F00, 0xFFFF}, .range = {0, AudioModel::MaxLevel},
         .text = levelText, .unit = QStringLiteral("дБ")},
        {.key = "modulation", .control = "Mod", .label = QStringLiteral("Модуляция"),
         .kind = FieldKind::Choice, .place = {1, 0xFFFF}, .shown = modulationItem,
         .stored = modulationCommand, .items = modulationItems},
    }};
    return fields;
}

const Field& amplifierField(AmplifierField field)
{
    return amplifierFields()[static_cast<std::size_t>(field)];
}

int amplifierTenthsOfDecibel(int level)
{
    return TenthsOfDecibel.at(static_cast<std::size_t>(level));
}

QString amplifierLevelText(int level)
{
    const int tenths = roundToThreeDigits(amplifierTenthsOfDecibel(level));
    return signOf(tenths) + QLocale().toString(std::abs(tenths) / 10.0, 'f', 1);
}

AudioModel::AudioModel(std::uint8_t* amplifierBlock)
    : BlockModel(amplifierBlock, 0)
{
}

void AudioModel::LoadBlock()
{
    copyIn();
    setLevel(level());
    setModulation(modulation());
}

void AudioModel::setDefaults()
{
    setLevel(DefaultLevel);
    setModulation(Sdm);
}

void AudioModel::writePayload(std::uint8_t* destination) const
{
    destination[0] = static_cast<std::uint8_t>(word(pending_) >> CommandShift);
}

void AudioModel::setPending(int which)
{
    pending_ = which == ModulationItem ? ModulationItem : LevelItem;
}

int AudioModel::level() const
{
    return value(amplifierField(AmplifierField::Level));
}

AudioModel::Modulation AudioModel::modulation() const
{
    return static_cast<Modulation>(value(amplifierField(AmplifierField::Modulation)));
}

AudioModel::Item AudioModel::setLevel(int level)
{
    setValue(amplifierField(AmplifierField::Level), level);
    return LevelItem;
}

AudioModel::Item AudioModel::setModulation(Modulation modulation)
{
    setValue(amplifierField(AmplifierField::Modulation), modulation);
    return ModulationItem;
}
