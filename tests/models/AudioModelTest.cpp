#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "models/AudioModel.h"

namespace {

using Block = std::array<std::uint8_t, 4>;

// The amplifier's gain by level as its data sheet lists it.
const std::array<const char*, 64> DecibelTable{
    "-161.5", "-92.8", "-90.3", "-86.8", "-84.3", "-80.8", "-78.3", "-74.7",
    "-72.2",  "-68.7", "-66.2", "-62.7", "-60.2", "-56.7", "-54.2", "-50.6",
    "-48.1",  "-45.6", "-43.7", "-42.1", "-39.6", "-37.6", "-36.0", "-33.4",
    "-31.5",  "-29.8", "-27.2", "-25.2", "-23.5", "-21.6", "-19.7", "-17.5",
    "-16.4",  "-15.4", "-14.4", "-13.1", "-12.0", "-10.9", "-9.9",  "-8.9",
    "-7.1",   "-6.0",  "-5.0",  "-3.4",  "-1.9",  "-0.5",  "+0.5",  "+1.2",
    "+1.6",   "+2.0",  "+2.4",  "+2.9",  "+3.4",  "+3.9",  "+4.4",  "+4.9",
    "+5.4",   "+5.9",  "+6.5",  "+7.0",  "+7.6",  "+8.2",  "+8.8",  "+9.5",
};

QString expectedText(int level)
{
    // Three significant digits: only level 0 has more.
    return level == 0 ? QStringLiteral("-162.0") : QString::fromLatin1(DecibelTable[level]);
}

Block loaded(Block stored)
{
    AudioModel model(stored.data());
    model.LoadBlock();
    return model.workingCopy();
}

std::uint8_t payloadOf(const AudioModel& model)
{
    std::uint8_t byte = 0xAA;
    model.writePayload(&byte);
    return byte;
}

} // namespace

TEST(AmplifierLevelText, EveryLevelReadsItsTableValueInTheLocalesSeparator)
{
    for (const QLocale& locale : {LocaleGuard::usEnglish(), LocaleGuard::russian()}) {
        const LocaleGuard pinned(locale);
        const QString separator = locale.decimalPoint();
        for (int level = 0; level <= AudioModel::MaxLevel; ++level)
            EXPECT_EQ(amplifierLevelText(level),
                      expectedText(level).replace(QStringLiteral("."), separator))
                << "level " << level << " in " << locale.name().toStdString();
    }
}

TEST(AmplifierLevelText, NamedLevels)
{
    const LocaleGuard russian(LocaleGuard::russian());
    const std::vector<std::pair<int, QString>> cases{
        {0, QStringLiteral("-162,0")}, {45, QStringLiteral("-0,5")}, {46, QStringLiteral("+0,5")},
        {49, QStringLiteral("+2,0")},  {63, QStringLiteral("+9,5")},
    };
    for (const auto& [level, text] : cases)
        EXPECT_EQ(amplifierLevelText(level), text) << "level " << level;
}

TEST(AmplifierSlider, TopIsTheHighestLevel)
{
    const std::vector<std::pair<int, int>> positionLevel{{0, 63}, {17, 46}, {13, 50}, {63, 0}};
    for (const auto& [position, level] : positionLevel) {
        // The slider's top (position 0) is the highest level.
        const Field& field = amplifierField(AmplifierField::Level);
        EXPECT_EQ(levelAt(field, position), level);
        EXPECT_EQ(levelPosition(field, level), position);
    }
}

TEST(AudioModel, LoadBlockNormalisesWhatTheControlsCannotShow)
{
    struct Case {
        const char* what;
        Block stored;
        Block working;
    };
    const std::vector<Case> cases{
        {"canonical", {0x2E, 0x00, 0xD6, 0x00}, {0x2E, 0x00, 0xD6, 0x00}},
        {"pulse-width modulation kept", {0x05, 0x00, 0xD5, 0x00}, {0x05, 0x00, 0xD5, 0x00}},
        {"high bits of the level", {0xFF, 0x12, 0xD5, 0x00}, {0x3F, 0x00, 0xD5, 0x00}},
        {"level 64 wraps to 0", {0x40, 0x00, 0xD6, 0x00}, {0x00, 0x00, 0xD6, 0x00}},
        {"modulation 0", {0x05, 0x00, 0x00, 0x00}, {0x05, 0x00, 0xD6, 0x00}},
        {"modulation with a high byte", {0x05, 0x00, 0xD5, 0x01}, {0x05, 0x00, 0xD6, 0x00}},
        {"unknown modulation", {0x05, 0x00, 0x7F, 0x00}, {0x05, 0x00, 0xD6, 0x00}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(loaded(c.stored), c.working) << c.what;
}

TEST(AudioModel, ShowsLevelAndModulationOfTheWorkingCopy)
{
    Block stored{0xB2, 0x00, 0xD5, 0x00};
    AudioModel model(stored.data());
    model.LoadBlock();
    EXPECT_EQ(model.level(), 0x32);
    EXPECT_EQ(model.modulation(), AudioModel::Pwm);
}

TEST(AudioModel, DefaultsAreLevel46AndSigmaDelta)
{
    Block stored{0x05, 0x00, 0xD5, 0x00};
    AudioModel model(stored.data());
    model.LoadBlock();
    model.setDefaults();
    EXPECT_EQ(model.workingCopy(), (Block{0x2E, 0x00, 0xD6, 0x00}));
    EXPECT_EQ(stored, (Block{0x05, 0x00, 0xD5, 0x00})) << "the record is not touched";
}

TEST(AudioModel, EachChangeNamesItsItemAndThePayloadCarriesThePendingOne)
{
    Block stored{0x2E, 0x00, 0xD6, 0x00};
    AudioModel model(stored.data());
    model.LoadBlock();
    EXPECT_EQ(model.payloadSize(), 1);

    model.setPending(model.setModulation(AudioModel::Pwm));
    EXPECT_EQ(payloadOf(model), 0xD5);
    model.setPending(model.setLevel(50));
    EXPECT_EQ(payloadOf(model), 0x32);
    model.setPending(model.setModulation(AudioModel::Sdm));
    EXPECT_EQ(payloadOf(model), 0xD6);
    EXPECT_EQ(model.workingCopy(), (Block{0x32, 0x00, 0xD6, 0x00}));
}

TEST(AudioModel, SaveWritesTheWorkingCopyIntoTheBlock)
{
    Block stored{0x05, 0x00, 0x00, 0x00};
    AudioModel model(stored.data());
    model.LoadBlock();
    EXPECT_EQ(stored, (Block{0x05, 0x00, 0x00, 0x00})) << "opening does not write the record";
    model.setLevel(63);
    model.save();
    EXPECT_EQ(stored, (Block{0x3F, 0x00, 0xD6, 0x00}));
}
