#include <map>
#include <random>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSlider>

#include "editors/AudioForm.h"
#include "editors/BoardForm.h"
#include "editors/CodecForm.h"
#include "editors/LinkForm.h"
#include "editors/NetForm.h"
#include "editors/RecoderForm.h"
#include "editors/VocoderForm.h"
#include "models/RecordFields.h"
#include "support/EditorBench.h"

#include "LocaleGuard.h"

namespace {

// The text above each slider, by the slider's name.
const std::map<QString, QString> SliderTexts{
    {"RxLev_1", "InLev1"}, {"RxLev_2", "InLev2"},       {"TxLev_1", "OutLev1"},
    {"TxLev_2", "OutLev2"}, {"MicGain", "MicGainVal"}, {"RxGain", "RxGainVal"},
    {"RxLvl", "RxLvlVal"},  {"Lev", "Level"},
};

template <typename Control>
Control* control(QWidget* window, const QString& name)
{
    auto* found = window->findChild<Control*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// What a field's control shows, read from the window as an operator reads it.
QString shownByControl(QWidget* window, const Field& field)
{
    const QString name = QString::fromLatin1(field.control);
    switch (field.kind) {
    case FieldKind::Flag:
        return flagText(control<QCheckBox>(window, name)->isChecked());
    case FieldKind::Choice:
        if (auto* list = window->findChild<QComboBox*>(name))
            return list->currentText();
        return chosenIn(window, field.control);
    case FieldKind::Level:
        return control<QLabel>(window, SliderTexts.at(name))->text();
    case FieldKind::Octets: {
        QStringList octets;
        for (int index = 1; index <= 4; ++index)
            octets.append(control<QLineEdit>(window, name + QString::number(index))->text());
        return octets.join(u'.');
    }
    case FieldKind::Date:
        return control<QDateEdit>(window, name)->text();
    default:
        break;
    }
    if (auto* text = window->findChild<QPlainTextEdit*>(name))
        return text->toPlainText();
    return control<QLineEdit>(window, name)->text();
}

class RecordFieldsAgreement : public EditorBench {
protected:
    // Every editor opened on the record, by block.
    std::map<EditorBlock, QWidget*> openEditors(AccessLevel level)
    {
        const std::uint8_t* identity = record.data(Blocks::Identity);
        std::map<EditorBlock, QWidget*> windows{
            {EditorBlock::Codec, TFCodec::open(*place, CodecInputs{level, identity, record.data(Blocks::Codec)})},
            {EditorBlock::Vocoder, TFVocoder::open(*place, VocoderInputs{identity, record.data(Blocks::Vocoder)})},
            {EditorBlock::Recorder, TFRecoder::open(*place, RecoderInputs{identity, record.data(Blocks::Recorder)})},
            {EditorBlock::Amplifier, TFAudio::open(*place, record.data(Blocks::Amplifier))},
            {EditorBlock::Link, TFLink::open(*place, LinkInputs{level, identity, record.data(Blocks::Link)})},
            {EditorBlock::Net, TFNet::open(*place, NetInputs{identity, record.data(Blocks::Net), record.data(Blocks::Board)})},
            {EditorBlock::Board, TFBoard::open(area, dialogs, BoardInputs{identity, record.data(Blocks::Board)})},
        };
        QCoreApplication::processEvents();
        return windows;
    }

    void closeEditors(const std::map<EditorBlock, QWidget*>& windows)
    {
        for (const auto& [block, window] : windows)
            window->close();
        QCoreApplication::processEvents();
    }
};

// Records whose words lie anywhere, in and out of every field's range.
std::vector<ConfigRecord> oddRecords()
{
    std::vector<ConfigRecord> records;
    std::mt19937 random(20261211);
    for (std::uint16_t typeWord : {std::uint16_t{0x1000}, std::uint16_t{0x2000}, std::uint16_t{0x2001}}) {
        for (int round = 0; round < 4; ++round) {
            ConfigRecord record = ConfigRecord::blank();
            for (int index = Blocks::Codec.offset; index < Blocks::Board.offset; ++index)
                record.bytes[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(random());
            // The board's texts as a controller keeps them: printable, ended by a zero byte.
            for (int index = Blocks::Board.offset; index < Blocks::Board.end(); ++index)
                record.bytes[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>('A' + random() % 26);
            record.bytes[Blocks::Board.offset + 12 + 3] = 0;
            record.bytes[Blocks::Board.offset + 26 + 40] = 0;
            record.setTypeWord(typeWord);
            records.push_back(record);
        }
    }
    return records;
}

} // namespace

TEST_F(RecordFieldsAgreement, WhatARecordSaysOfEachFieldIsWhatItsEditorShows)
{
    const LocaleGuard russian(LocaleGuard::russian());
    for (AccessLevel level : {LevelUser, LevelFull}) {
        for (const ConfigRecord& odd : oddRecords()) {
            record = odd;
            const std::vector<FieldReading> readings = describeRecord(record, RecordView{.level = level});
            const auto windows = openEditors(level);
            for (const FieldReading& reading : readings) {
                QWidget* window = windows.at(reading.block);
                const QString name = QString::fromLatin1(reading.field->control);
                EXPECT_EQ(shownByControl(window, *reading.field), reading.shown)
                    << name.toStdString() << " on type word " << std::hex << record.typeWord();
                const QString controlName =
                    reading.field->kind == FieldKind::Octets ? name + QStringLiteral("1") : name;
                auto* shown = window->findChild<QWidget*>(controlName);
                ASSERT_NE(shown, nullptr) << controlName.toStdString();
                EXPECT_EQ(shown->isEnabled(), reading.enabled) << name.toStdString();
            }
            closeEditors(windows);
        }
    }
}
