#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LocaleGuard.h"
#include "config/ConfigRecord.h"
#include "support/ModelKinds.h"

namespace {

// Records no controller would hold: constant bytes, the extremes of signed words, patterns and
// noise, each under every kind of controller.
std::vector<std::pair<std::string, RecordBytes>> oddImages()
{
    std::vector<std::pair<std::string, RecordBytes>> images;
    for (const int value : {0x00, 0xFF, 0x7F, 0x80, 0x55}) {
        RecordBytes bytes{};
        bytes.fill(static_cast<std::uint8_t>(value));
        images.emplace_back("all " + std::to_string(value), bytes);
    }
    for (const auto& [name, high, low] : {std::tuple{"words 0x8000", 0x80, 0x00},
                                         std::tuple{"words 0x7FFF", 0x7F, 0xFF},
                                         std::tuple{"words 0x0001", 0x00, 0x01}}) {
        RecordBytes bytes{};
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            bytes[i] = static_cast<std::uint8_t>(high);
            bytes[i + 1] = static_cast<std::uint8_t>(low);
        }
        images.emplace_back(name, bytes);
    }
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        std::mt19937 noise(seed);
        RecordBytes bytes{};
        for (auto& byte : bytes)
            byte = static_cast<std::uint8_t>(noise());
        images.emplace_back("noise " + std::to_string(seed), bytes);
    }
    return images;
}

} // namespace

TEST(EditorModels, OpeningAndSavingTwiceGivesTheBytesOfOnceAndTouchesOnlyTheBlock)
{
    int cases = 0;
    for (const auto& [imageName, image] : oddImages()) {
        for (const std::uint16_t typeWord : {0x1000, 0x1001, 0x2000, 0x2001, 0x3000, 0xFFFF}) {
            ConfigRecord record;
            record.bytes = image;
            record.setTypeWord(typeWord);
            for (const AccessLevel level : {LevelUser, LevelFull}) {
                for (const ModelKind& kind : modelKinds()) {
                    const RecordBytes once = openedAndSaved(kind, record.bytes, level);
                    const RecordBytes twice = openedAndSaved(kind, once, level);
                    EXPECT_EQ(twice, once) << kind.name << ", " << imageName << ", type word "
                                           << typeWord << ", level " << level;
                    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
                        if (i < kind.block.offset || i >= kind.block.end()) {
                            ASSERT_EQ(once[i], record.bytes[i]) << kind.name << " byte " << i;
                        }
                    }
                    ++cases;
                }
            }
        }
    }
    EXPECT_EQ(cases, 16 * 6 * 2 * 6);
}

TEST(EditorModels, BoardEditorsOkTwiceGivesTheBytesOfOnceAndTouchesOnlyTheBoardBlock)
{
    const QDate today(2026, 12, 10);
    for (const QLocale& locale : {LocaleGuard::russian(), LocaleGuard::usEnglish()}) {
        for (const auto& [imageName, image] : oddImages()) {
            for (const std::uint16_t typeWord : {0x1000, 0x2001, 0x3000}) {
                ConfigRecord record;
                record.bytes = image;
                record.setTypeWord(typeWord);
                for (const BoardEntry entry : {BoardEntry::Untouched, BoardEntry::EnteredAsShown}) {
                    const std::optional<RecordBytes> once =
                        boardOpenedAndSaved(record.bytes, entry, locale, today);
                    ASSERT_TRUE(once) << imageName << ": \"OK\" stores what it opened";
                    const std::optional<RecordBytes> twice =
                        boardOpenedAndSaved(*once, entry, locale, today);
                    EXPECT_EQ(twice, once) << imageName << ", type word " << typeWord << ", "
                                           << locale.name().toStdString();
                    for (int i = 0; i < CONFIG_RECORD_SIZE; ++i) {
                        if (i < Blocks::Board.offset || i >= Blocks::Board.end()) {
                            ASSERT_EQ((*once)[i], record.bytes[i]) << "byte " << i;
                        }
                    }
                }
            }
        }
    }
}
