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

constexpr int TopGainStep = GainPositions - 1;

int gainStep(int bits, const FieldContext&)
{
    return TopGainStep - recorderGainPosition(static_cast<std::int16_t>(bits));
}

int gainWord(int step, const FieldContext&)
{
    return static_cast<std::uint16_t>(recorderGainWord(TopGainStep - step));
}

QString gainStepText(int step, const FieldContext&)
{
    return recorderGainText(TopGainStep - step);
}

QString rxLevelText(int level, const FieldContext&)
{
    return QString::number(level << RxLevelShift);
}

Field flag(const char* key, const char* control, const QString& label, int bit, bool byDefault)
{
    return {.key = key, .control = control, .label = label, .kind = FieldKind::Flag,
            .place = {FlagsWord, static_cast<std::uint16_t>(1u << bit)},
            .defaultValue = byDefault ? 1 : 0};
}

Field gain(const char* key, const char* control, const QString& label, RecorderWord word)
{
    return {.key = key, .control = control, .label = label, .kind = FieldKind::Level,
            .place = {word, 0xFFFF}, .shown = gainStep, .stored = gainWord,
            .range = {0, TopGainStep}, .text = gainStepText, .unit = QStringLiteral("дБ"),
            .defaultValue = TopGainStep - ZeroDecibelPosition};
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

std::span<const Field> recorderFields()
{
    static const std::array<Field, 10> fields{{
        flag("microphone", "Mic", QStringLiteral("Микрофон"), 0, true),
        flag("receiver", "Rx", QStringLiteral("Приемник"), 1, true),
        flag("pttKey", "PttBut", QStringLiteral("Клавиша РТТ"), 2, true),
        flag("txLed", "TxLed", QStringLiteral("Сигнал TX (индикатор)"), 3, false),
        flag("rxDisplay", "RxDispl", QStringLiteral("Сигнал RX (дисплей)"), 4, false),
        flag("rxLed", "RxLed", QStringLiteral("Сигнал RX (индикатор)"), 5, false),
        flag("volumeControl", "RxCtrl", QStringLiteral("Регулятор громкости"), VolumeControlBit,
             false),
        gain("microphoneGain", "MicGain", QStringLiteral("Микрофон"), MicGainWord),
        gain("receiverGain", "RxGain", QStringLiteral("Приемник"), RxGainWord),
        // The level rewrites its whole word.
        {.key = "rxLevel", .control = "RxLvl", .label = QStringLiteral("Уровень RX"),
         .kind = FieldKind::Level, .place = {RxLevelWord, 0x00FC, 0xFFFF},
         .range = {0, MaxRxLevel}, .text = rxLevelText, .defaultValue = MaxRxLevel - 27},
    }};
    return fields;
}

const Field& recorderField(RecorderField field)
{
    return recorderFields()[static_cast<std::size_t>(field)];
}

QString recorderCaption(std::uint16_t typeWord)
{
    return QStringLiteral("Регистратор (") + deviceName(typeWord) + QStringLiteral(")");
}

RecoderModel::RecoderModel(const RecoderInputs& inputs)
    : BlockModel(inputs.recorderBlock, typeWordOf(inputs.identityBlock))
{
}

// Every field is rewritten as its control writes it, so that the window and the block agree.
void RecoderModel::LoadBlock()
{
    copyIn();
    setFlag(VolumeControlBit, flag(VolumeControlBit));
    for (RecorderField field : {RecorderField::MicGain, RecorderField::RxGain, RecorderField::RxLevel})
        set(field, value(field));
}

void RecoderModel::setDefaults()
{
    setWord(FlagsWord, 0);
    for (const Field& field : recorderFields())
        setValue(field, fieldDefault(field, context()));
}

bool RecoderModel::volumeControlAvailable() const
{
    return context().edition == 0;
}

bool RecoderModel::flag(int bit) const
{
    return value(recorderField(static_cast<RecorderField>(bit))) != 0;
}

int RecoderModel::value(RecorderField field) const
{
    return BlockModel::value(recorderField(field));
}

// Edition ZB has no volume control: its bit is kept clear.
RecorderWord RecoderModel::setFlag(int bit, bool on)
{
    const bool kept = on && (bit != VolumeControlBit || volumeControlAvailable());
    setValue(recorderField(static_cast<RecorderField>(bit)), kept ? 1 : 0);
    return FlagsWord;
}

RecorderWord RecoderModel::set(RecorderField field, int value)
{
    const Field& described = recorderField(field);
    if (described.kind == FieldKind::Flag)
        return setFlag(static_cast<int>(field), value != 0);
    setValue(described, fitToRange(value, described.range).value);
    return static_cast<RecorderWord>(described.place.word);
}

int RecoderModel::changeField(const Field& field, int value)
{
    return set(static_cast<RecorderField>(fieldIndex(recorderFields(), field)), value);
}

// The RX level's page is there only while the volume control is on.
bool RecoderModel::fieldEnabled(const Field& field) const
{
    if (&field == &recorderField(RecorderField::RxCtrl))
        return volumeControlAvailable();
    if (&field == &recorderField(RecorderField::RxLevel))
        return rxLevelShown();
    return true;
}
