#pragma once

#include <QString>

#include <span>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"
#include "models/Field.h"

// The amplifier's gain in tenths of a decibel for each of its 64 levels (a fixed table of the
// chip, not a formula).
int amplifierTenthsOfDecibel(int level);
// The gain as the window shows it: three significant digits, one decimal in the locale's
// separator, "+" above zero (level 0 reads -162.0).
QString amplifierLevelText(int level);

// The amplifier block's fields, one word each: the gain level and the modulation command.
enum class AmplifierField { Level = 0, Modulation = 1 };
std::span<const Field> amplifierFields();
const Field& amplifierField(AmplifierField field);

// The amplifier editor's rules. The block holds two one-byte chip commands, each followed by a
// zero byte: word 0 is the gain level command, word 1 the modulation command.
class AudioModel final : public BlockModel<Blocks::Amplifier.size> {
public:
    enum Item { LevelItem = 0, ModulationItem = 1 };
    // Indices of the "Модуляция" choices.
    enum Modulation { Sdm = 0, Pwm = 1 };

    static constexpr int MaxLevel = 63;
    static constexpr int DefaultLevel = 46;
    static constexpr std::uint8_t SdmCommand = 0xD6;
    static constexpr std::uint8_t PwmCommand = 0xD5;

    explicit AudioModel(std::uint8_t* amplifierBlock);

    void LoadBlock() override;
    void setDefaults() override;
    // One byte: the command of the item changed last.
    int payloadSize() const override { return 1; }
    void writePayload(std::uint8_t* destination) const override;
    void setPending(int item) override;
    std::span<const Field> fields() const override { return amplifierFields(); }

    int level() const;
    Modulation modulation() const;

    // Each returns the item it changed.
    Item setLevel(int level);
    Item setModulation(Modulation modulation);

private:
    // Before any change while testing, a push re-sends the level the window shows.
    Item pending_ = LevelItem;
};
