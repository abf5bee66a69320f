#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "models/RecordFields.h"
#include "support/BlockWords.h"
#include "LocaleGuard.h"

namespace {

constexpr std::uint16_t R410ZA = 0x1000;
constexpr std::uint16_t R420ZA = 0x2000;
constexpr std::uint16_t R420ZB = 0x2001;

template <std::size_t Count>
void storeWords(ConfigRecord& record, BlockSpan span, const std::array<int, Count>& words)
{
    auto* block = record.data(span);
    for (std::size_t i = 0; i < Count; ++i) {
        const auto word = static_cast<std::uint16_t>(words[i]);
        block[2 * i] = static_cast<std::uint8_t>(word >> 8);
        block[2 * i + 1] = static_cast<std::uint8_t>(word & 0xFF);
    }
}

// A record with a value in every block that an editor shows in its own words.
ConfigRecord sampleRecord(std::uint16_t typeWord)
{
    ConfigRecord record = ConfigRecord::blank();
    record.setTypeWord(typeWord);
    storeWords<6>(record, Blocks::Vocoder, {4, 1, 2, 3, 1, 8});
    storeWords<4>(record, Blocks::Recorder, {0x0047, 4125, 32767, 144});
    storeWords<2>(record, Blocks::Amplifier, {0x3F00, 0xD500});
    storeWords<9>(record, Blocks::Link, {31, 10, 10, 7, 32, 8, 4, 32, 3});
    storeWords<22>(record, Blocks::Net, {192, 168, 1, 1, 255, 255, 255, 0, 192, 168, 1, 10, 0x75,
                                         0x3A, 192, 168, 1, 11, 0x75, 0x3A, 0x0015, 64});
    return record;
}

// The shown texts by "block.key".
std::map<std::string, QString> shownTexts(const ConfigRecord& record, const RecordView& view = {})
{
    std::map<std::string, QString> texts;
    for (const FieldReading& reading : describeRecord(record, view)) {
        const char* block = editorBlocks()[static_cast<std::size_t>(reading.block)].key;
        texts[std::string(block) + "." + reading.field->key] = reading.shown;
    }
    return texts;
}

} // namespace

TEST(RecordFields, EveryFieldReadsInItsEditorsWords)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    const auto texts = shownTexts(sampleRecord(R420ZA));
    const std::vector<std::pair<std::string, QString>> expected{
        {"vocoder.bitRate", QStringLiteral("8.0  кбит/с")},
        {"vocoder.control", QStringLiteral("Контроль РТТ")},
        {"vocoder.packetDuration", QStringLiteral("60 мсек.")},
        {"vocoder.jitterSize", QStringLiteral("160 мсек.")},
        {"recorder.microphone", QStringLiteral("да")},
        {"recorder.rxLed", QStringLiteral("нет")},
        {"recorder.volumeControl", QStringLiteral("да")},
        {"recorder.microphoneGain", QStringLiteral("+18")},
        {"recorder.receiverGain", QStringLiteral("0")},
        {"recorder.rxLevel", QStringLiteral("144")},
        {"amplifier.level", QStringLiteral("+9.5")},
        {"amplifier.modulation", QStringLiteral("ШИМ")},
        {"link.packetSize", QStringLiteral("512")},
        {"link.establishmentPeriod", QStringLiteral("1000")},
        {"link.retransmissionPeriod", QStringLiteral("250")},
        {"link.adaptiveTimers", QStringLiteral("да")},
        {"net.ip", QStringLiteral("192.168.1.10")},
        {"net.remoteIp", QStringLiteral("192.168.1.11")},
        {"net.port", QStringLiteral("30010")},
        {"net.precedence", QStringLiteral("CRITIC/ECP [101]")},
        {"net.lowDelay", QStringLiteral("нет")},
        {"net.throughput", QStringLiteral("да")},
        {"net.timeToLive", QStringLiteral("64")},
        {"codec.in1", QStringLiteral("-34.5")},
        {"codec.out1", QStringLiteral("Откл.")},
        {"codec.sampleRate", QStringLiteral("48/48 кГц")},
        {"board.hardwareAddress", QStringLiteral("00-00-00-00-00-00")},
    };
    for (const auto& [key, text] : expected) {
        ASSERT_TRUE(texts.contains(key)) << key;
        EXPECT_EQ(texts.at(key), text) << key;
    }
}

TEST(RecordFields, FieldsTheControllerDoesNotHaveAreLeftOut)
{
    struct Case {
        std::uint16_t typeWord;
        std::vector<std::string> absent;
        std::vector<std::string> present;
    };
    const std::vector<Case> cases{
        {R410ZA, {"board.hardwareAddress"}, {"net.remoteIp", "net.remotePort"}},
        {R420ZB, {"net.remoteIp", "net.remotePort"}, {"board.hardwareAddress"}},
        {R420ZA, {}, {"net.remoteIp", "board.hardwareAddress", "recorder.rxLevel"}},
    };
    for (const Case& c : cases) {
        const auto texts = shownTexts(sampleRecord(c.typeWord));
        for (const std::string& key : c.absent)
            EXPECT_FALSE(texts.contains(key)) << key << " on " << std::hex << c.typeWord;
        for (const std::string& key : c.present)
            EXPECT_TRUE(texts.contains(key)) << key << " on " << std::hex << c.typeWord;
    }
}

TEST(RecordFields, ReadingsKeepTheStoredBytesAndTellWhatTheLevelLetsChange)
{
    const ConfigRecord record = sampleRecord(R420ZA);
    for (const FieldReading& reading : describeRecord(record, RecordView{.level = LevelUser})) {
        if (reading.block == EditorBlock::Link && QLatin1StringView(reading.field->key) == "packetSize") {
            EXPECT_EQ(reading.stored, QByteArray("\x00\x1F", 2));
            EXPECT_FALSE(reading.enabled);
        }
        if (reading.block == EditorBlock::Codec && QLatin1StringView(reading.field->key) == "sampleRate")
            EXPECT_FALSE(reading.enabled);
        if (reading.block == EditorBlock::Net && QLatin1StringView(reading.field->key) == "ip")
            EXPECT_EQ(reading.stored, QByteArray("\x00\xC0\x00\xA8\x00\x01\x00\x0A", 8));
    }
}

TEST(RecordFields, AValueIsAppliedThroughItsEditorsRules)
{
    const LocaleGuard english(LocaleGuard::usEnglish());
    using Outcome = FieldChange::Outcome;
    struct Case {
        EditorBlock block;
        const char* key;
        QString text;
        Outcome outcome;
        QString message;
        QString shownAfter; // what the field then shows; empty: as before
    };
    const QString range = QStringLiteral("Недопустимое значение. Укажите значение в диапазоне %1");
    const std::vector<Case> cases{
        {EditorBlock::Link, "packetSize", "256", Outcome::Taken, {}, "256"},
        {EditorBlock::Link, "packetSize", "1000", Outcome::Fitted, range.arg("64..512"), "512"},
        {EditorBlock::Link, "retransmissionPeriod", "100", Outcome::Fitted, range.arg("125..30000"), "125"},
        {EditorBlock::Link, "acknowledgement", "нет", Outcome::Taken, {}, "нет"},
        {EditorBlock::Link, "packetSize", "12a", Outcome::Refused,
         "Недопустимое значение \"12a\" поля \"Максимальный размер пакета в байтах, с шагом в 16 "
         "байт, N1 [64..512]\"", {}},
        {EditorBlock::Net, "ip", "10.0.300.1", Outcome::Fitted, range.arg("0..255"), "10.0.255.1"},
        {EditorBlock::Net, "gateway", "230.1.1.1", Outcome::Fitted, range.arg("0..223"), "223.1.1.1"},
        {EditorBlock::Net, "port", "80", Outcome::Fitted, range.arg("1025..65535"), "1025"},
        {EditorBlock::Net, "precedence", "срочно [011]", Outcome::Taken, {}, "срочно [011]"},
        {EditorBlock::Vocoder, "bitRate", "15.0 кбит/с", Outcome::Taken, {}, "15.0 кбит/с"},
        {EditorBlock::Vocoder, "bitRate", "9 кбит/с", Outcome::Refused,
         "Недопустимое значение \"9 кбит/с\" поля \"Кодирование\"", {}},
        {EditorBlock::Recorder, "receiverGain", "-28.5", Outcome::Taken, {}, "-28.5"},
        {EditorBlock::Amplifier, "level", "-162.0", Outcome::Taken, {}, "-162.0"},
        {EditorBlock::Codec, "sampleRate", "96/96 кГц", Outcome::Taken, {}, "96/96 кГц"},
        {EditorBlock::Codec, "microphoneMute", "да", Outcome::Taken, {}, "да"},
        {EditorBlock::Board, "serialNumber", "A17", Outcome::Taken, {}, "A17"},
        {EditorBlock::Board, "serialNumber", "A1700", Outcome::Refused,
         "Недопустимый текст в поле \"Сер. номер:\". Допускаются только символы кодировки "
         "Windows-1251, не более 4 байт.", {}},
        {EditorBlock::Board, "hardwareAddress", "00-1a-2b-3c-4d-5e", Outcome::Taken, {},
         "00-1A-2B-3C-4D-5E"},
        {EditorBlock::Board, "date", "2024-03-05", Outcome::Taken, {}, "3/5/24"},
        {EditorBlock::Link, "noSuchField", "1", Outcome::Refused,
         "Нет поля \"noSuchField\" в блоке \"Соединение\"", {}},
    };
    for (const Case& c : cases) {
        ConfigRecord record = sampleRecord(R420ZA);
        const ConfigRecord before = record;
        const FieldChange change = applyFieldText(record, c.block, QString::fromLatin1(c.key), c.text);
        EXPECT_EQ(change.outcome, c.outcome) << c.key << " " << c.text.toStdString();
        EXPECT_EQ(change.message, c.message) << c.key << " " << c.text.toStdString();
        const std::string key =
            std::string(editorBlocks()[static_cast<std::size_t>(c.block)].key) + "." + c.key;
        if (c.outcome == Outcome::Refused) {
            EXPECT_EQ(record.bytes, before.bytes) << key << ": a refused value stores nothing";
            continue;
        }
        EXPECT_EQ(shownTexts(record).at(key), c.shownAfter) << key;
    }
}

TEST(RecordFields, WhatTheEditorCannotChangeIsRefused)
{
    struct Case {
        std::uint16_t typeWord;
        AccessLevel level;
        EditorBlock block;
        const char* key;
        QString text;
        bool volumeControlOff = false; // the RX level's page hidden
    };
    const std::vector<Case> cases{
        {R420ZA, LevelUser, EditorBlock::Link, "packetSize", "256"},
        {R420ZB, LevelFull, EditorBlock::Link, "establishmentPeriod", "1000"},
        {R420ZA, LevelUser, EditorBlock::Codec, "sampleRate", "96/96 кГц"},
        {R410ZA, LevelFull, EditorBlock::Vocoder, "control", "Контроль РТТ"},
        {R420ZB, LevelFull, EditorBlock::Recorder, "volumeControl", "да"},
        {R420ZB, LevelFull, EditorBlock::Net, "remoteIp", "10.0.0.1"},
        {R420ZA, LevelFull, EditorBlock::Recorder, "rxLevel", "0", true},
        {R410ZA, LevelFull, EditorBlock::Board, "hardwareAddress", "00-1A-2B-3C-4D-5E"},
    };
    for (const Case& c : cases) {
        ConfigRecord record = sampleRecord(c.typeWord);
        if (c.volumeControlOff)
            storeWords<1>(record, Blocks::Recorder, {0x0007});
        const ConfigRecord before = record;
        const FieldChange change =
            applyFieldText(record, c.block, QString::fromLatin1(c.key), c.text, RecordView{.level = c.level});
        EXPECT_EQ(change.outcome, FieldChange::Outcome::Refused) << c.key;
        EXPECT_TRUE(change.message.endsWith(QStringLiteral("\" нельзя изменить на этом контроллере")))
            << c.key << ": " << change.message.toStdString();
        EXPECT_EQ(record.bytes, before.bytes) << c.key;
    }
}

// Whatever a record holds, each shown text applied back is taken as it is shown.
TEST(RecordFields, EveryShownTextAppliesBackToItself)
{
    const LocaleGuard russian(LocaleGuard::russian());
    const RecordView view{.today = QDate(2026, 1, 2)};
    for (std::uint16_t typeWord : {R410ZA, R420ZA, R420ZB}) {
        for (std::uint8_t fill : {std::uint8_t{0x00}, std::uint8_t{0x5A}, std::uint8_t{0xFF}}) {
            ConfigRecord record = ConfigRecord::blank();
            std::fill(record.bytes.begin(), record.bytes.begin() + CONFIG_IMAGE_SIZE, fill);
            record.setTypeWord(typeWord);
            for (const FieldReading& reading : describeRecord(record, view)) {
                ConfigRecord applied = record;
                const QString key = QString::fromLatin1(reading.field->key);
                const FieldChange change = applyFieldText(applied, reading.block, key, reading.shown, view);
                EXPECT_EQ(change.outcome, FieldChange::Outcome::Taken)
                    << std::hex << typeWord << " fill " << int(fill) << " " << key.toStdString() << " = " << reading.shown.toStdString() << ": "
                    << change.message.toStdString();
                const auto after = describeRecord(applied, view);
                const auto same = std::find_if(after.begin(), after.end(), [&](const FieldReading& r) {
                    return r.field == reading.field;
                });
                ASSERT_NE(same, after.end()) << key.toStdString();
                EXPECT_EQ(same->shown, reading.shown) << key.toStdString() << " fill " << int(fill);
            }
        }
    }
}
