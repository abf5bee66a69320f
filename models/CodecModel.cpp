#include "models/CodecModel.h"

#include <algorithm>
#include <iterator>

#include "models/DecibelText.h"

namespace {

constexpr int ModelR410 = 1;
constexpr int ModelR420 = 2;

constexpr std::array<std::uint8_t, SampleRateCount> R410Rates{0x1E, 0x02, 0x1A, 0x0E, 0x06, 0x0A};
constexpr std::array<std::uint8_t, SampleRateCount> R420Rates{0x1D, 0x01, 0x19, 0x0D, 0x05, 0x09};

const std::array<std::uint8_t, SampleRateCount>* ratesOf(int model)
{
    if (model == ModelR410)
        return &R410Rates;
    return model == ModelR420 ? &R420Rates : nullptr;
}

constexpr std::uint16_t DefaultDigitalPath = 0x00;
constexpr std::uint16_t DefaultAnalogPath = 0x12;
constexpr std::uint16_t DefaultPowerDown = 0x22;

constexpr int AddressShift = 9;
constexpr std::uint16_t DataBits = 0x01FF;
constexpr std::uint16_t DataByte = 0x00FF;
// Bits that opening always sets: the DAC on the output path, the oscillator powered down.
constexpr std::uint16_t DacSelect = 0x0010;       // register 4
constexpr std::uint16_t OscillatorPowerDown = 0x0020; // register 6
// The data that opening always writes.
constexpr std::uint16_t ResetData = 0x00;
constexpr std::uint16_t InterfaceFormatData = 0x43; // master mode, 16-bit words, DSP format
constexpr std::uint16_t InterfaceActiveData = 0x01;

// The gains' codes of 0 dB and their steps.
constexpr int InputZeroCode = 23;
constexpr int InputHalfDecibelsPerStep = 3;  // -34.5 .. +12 dB in 1.5 dB steps
constexpr int OutputZeroCode = 121;
constexpr int OutputLowestCode = 48;
constexpr int OutputHalfDecibelsPerStep = 2; // -73 .. +6 dB in 1 dB steps

int slotOf(CodecRegister reg)
{
    const auto slot = std::find(CodecBlockOrder.begin(), CodecBlockOrder.end(), reg);
    return static_cast<int>(std::distance(CodecBlockOrder.begin(), slot));
}

QString inputGainText(int code, const FieldContext&)
{
    return halfDecibelText((code - InputZeroCode) * InputHalfDecibelsPerStep);
}

// A code below the slider's range is the chip's mute range.
QString outputGainText(int code, const FieldContext&)
{
    if (code < OutputLowestCode)
        return QStringLiteral("Откл.");
    return halfDecibelText((code - OutputZeroCode) * OutputHalfDecibelsPerStep);
}

// The names of the sliders depend on the controller's edition.
QString in1Label(const FieldContext& context)
{
    return context.edition == 0 ? QStringLiteral("Микрофон") : QStringLiteral("Приемник");
}

QString in2Label(const FieldContext&)
{
    return QStringLiteral("Доп. вход");
}

QString out1Label(const FieldContext& context)
{
    return context.edition == 0 ? QStringLiteral("Гарнитура") : QStringLiteral("Микрофон");
}

QString out2Label(const FieldContext& context)
{
    return context.edition == 0 ? QStringLiteral("Регистратор") : QStringLiteral("Доп. выход");
}

int sampleRateItem(int bits, const FieldContext& context)
{
    return sampleRateItemOf(static_cast<std::uint8_t>(bits), context.model);
}

int sampleRateData(int item, const FieldContext& context)
{
    return sampleRateByte(item, context.model);
}

QStringList sampleRateItems(const FieldContext&)
{
    const auto& texts = sampleRateTexts();
    return QStringList(texts.begin(), texts.end());
}

QStringList deemphasisItems(const FieldContext&)
{
    return {QStringLiteral("Откл."), QStringLiteral("32 кГц"), QStringLiteral("44.1 кГц"),
            QStringLiteral("48 кГц")};
}

QStringList inputItems(const FieldContext&)
{
    return {QStringLiteral("Линейный вход"), QStringLiteral("Микрофонный вход")};
}

Field gain(const char* key, const char* control, CodecRegister reg, std::uint16_t codeMask,
           NumberRange codes, int zeroCode, QString (*text)(int, const FieldContext&),
           QString (*labelOf)(const FieldContext&))
{
    // A gain rewrites the register's data byte: the bits above the code are cleared. "Сброс"
    // sets 0 dB.
    return {.key = key, .control = control, .label = {}, .kind = FieldKind::Level,
            .place = {slotOf(reg), codeMask, DataByte}, .range = codes, .text = text,
            .unit = QStringLiteral("дБ"), .labelOf = labelOf, .defaultValue = zeroCode};
}

Field flag(const char* key, const char* control, const QString& label, CodecRegister reg,
           std::uint16_t bit, bool setMeansOff)
{
    Field field{.key = key, .control = control, .label = label, .kind = FieldKind::Flag,
                .place = {slotOf(reg), bit}};
    if (setMeansOff) {
        field.shown = invertedBit;
        field.stored = invertedBit;
    }
    return field;
}

} // namespace

std::span<const Field> codecFields()
{
    static const std::array<Field, 12> fields{{
        gain("in1", "RxLev_1", LeftLineInput, 0x1F, {0, 31}, InputZeroCode, inputGainText, in1Label),
        gain("in2", "RxLev_2", RightLineInput, 0x1F, {0, 31}, InputZeroCode, inputGainText, in2Label),
        gain("out1", "TxLev_1", LeftHeadphone, 0x7F, {OutputLowestCode, 127}, OutputZeroCode, outputGainText, out1Label),
        gain("out2", "TxLev_2", RightHeadphone, 0x7F, {OutputLowestCode, 127}, OutputZeroCode, outputGainText, out2Label),
        // The rate byte is read without its bit 7 and written whole.
        {.key = "sampleRate", .control = "Sample", .label = QStringLiteral("Ацп/Цап"),
         .kind = FieldKind::Choice, .place = {slotOf(SampleRate), 0x7F, DataByte},
         .shown = sampleRateItem, .stored = sampleRateData, .items = sampleRateItems},
        {.key = "deemphasis", .control = "DEEMP",
         .label = QStringLiteral("Фильтр частотной коррекции"), .kind = FieldKind::Choice,
         .place = {slotOf(DigitalPath), 0x06}, .items = deemphasisItems},
        flag("highPassFilter", "ADCHP", QStringLiteral("АЦП ВЧ фильтр "), DigitalPath, 0x01, true),
        flag("microphoneBoost", "MicBoost", QStringLiteral("Дополнительное усиление +20 дБ"),
             AnalogPath, 0x01, false),
        flag("microphoneMute", "MicMute", QStringLiteral("Режим молчания"), AnalogPath, 0x02, false),
        {.key = "input", .control = "INSEL", .label = QStringLiteral("Селектор входных каналов"),
         .kind = FieldKind::Choice, .place = {slotOf(AnalogPath), 0x04}, .items = inputItems},
        flag("lineInputPower", "PwrLine", QStringLiteral("Усилитель линейного входа"), PowerDown,
             0x01, true),
        flag("microphoneInputPower", "PwrMic", QStringLiteral("Усилитель микрофонного входа"),
             PowerDown, 0x02, true),
    }};
    return fields;
}

const Field& codecField(CodecField field)
{
    return codecFields()[static_cast<std::size_t>(field)];
}

CodecRegister codecRegisterOf(const Field& field)
{
    return CodecBlockOrder.at(static_cast<std::size_t>(field.place.word));
}

const std::array<QString, SampleRateCount>& sampleRateTexts()
{
    static const std::array<QString, SampleRateCount> texts{
        QStringLiteral("96/96 кГц"),   QStringLiteral("48/48 кГц"), QStringLiteral("32/32 кГц"),
        QStringLiteral("  8/8   кГц"), QStringLiteral("48/8  кГц"), QStringLiteral("8/48  кГц"),
    };
    return texts;
}

std::uint8_t sampleRateByte(int item, int model)
{
    const auto* rates = ratesOf(model);
    return rates ? rates->at(static_cast<std::size_t>(item)) : 0;
}

int sampleRateItemOf(std::uint8_t data, int model)
{
    const auto* rates = ratesOf(model);
    if (!rates)
        return DefaultSampleRate;
    const auto found = std::find(rates->begin(), rates->end(), data & 0x7F);
    return found == rates->end() ? DefaultSampleRate
                                 : static_cast<int>(std::distance(rates->begin(), found));
}

QString codecCaption(std::uint16_t typeWord)
{
    return QStringLiteral("Аудио кодек (") + deviceName(typeWord) + QStringLiteral(")");
}

CodecModel::CodecModel(const CodecInputs& inputs)
    : BlockModel(inputs.codecBlock, typeWordOf(inputs.identityBlock))
    , level_(inputs.level)
{
}

// A gain keeps only its code; an output code in the chip's mute range, which the slider cannot
// show, is kept too, until the slider is moved.
void CodecModel::LoadBlock()
{
    copyIn();
    set(CodecField::SampleRate, BlockModel::value(codecField(CodecField::SampleRate)));
    for (CodecField field : {CodecField::In1, CodecField::In2, CodecField::Out1, CodecField::Out2})
        set(field, value(field));
    setFixedBits();
}

void CodecModel::setDefaults()
{
    for (CodecField field : {CodecField::In1, CodecField::In2, CodecField::Out1, CodecField::Out2})
        set(field, fieldDefault(codecField(field), context()));
    setData(DigitalPath, DefaultDigitalPath);
    set(CodecField::SampleRate, DefaultSampleRate);
    setData(AnalogPath, DefaultAnalogPath);
    setData(PowerDown, DefaultPowerDown);
}

void CodecModel::writePayload(std::uint8_t* destination) const
{
    writeWord(slotOf(pending_), destination);
}

void CodecModel::setPending(int codecRegister)
{
    const auto reg = static_cast<CodecRegister>(codecRegister);
    // Only a register write of the block can be pushed.
    if (std::find(CodecBlockOrder.begin(), CodecBlockOrder.end(), reg) != CodecBlockOrder.end())
        pending_ = reg;
}

int CodecModel::data(CodecRegister reg) const
{
    return word(slotOf(reg)) & DataBits;
}

int CodecModel::value(CodecField field) const
{
    if (field == CodecField::SampleRate)
        return sampleRate_;
    return BlockModel::value(codecField(field));
}

CodecRegister CodecModel::set(CodecField field, int value)
{
    const Field& described = codecField(field);
    if (field == CodecField::SampleRate)
        sampleRate_ = value;
    setValue(described, value);
    return codecRegisterOf(described);
}

int CodecModel::fieldValue(const Field& field) const
{
    return value(static_cast<CodecField>(fieldIndex(codecFields(), field)));
}

int CodecModel::changeField(const Field& field, int value)
{
    const int fitted = fitToRange(value, fieldRange(field, context())).value;
    return set(static_cast<CodecField>(fieldIndex(codecFields(), field)), fitted);
}

bool CodecModel::fieldEnabled(const Field& field) const
{
    return &field != &codecField(CodecField::SampleRate) || sampleRateSelectable();
}

void CodecModel::setData(CodecRegister reg, std::uint16_t data)
{
    const int slot = slotOf(reg);
    setWord(slot, static_cast<std::uint16_t>((word(slot) & ~DataByte) | data));
}

// Each word starts with its register's address, data bit 8 clear; the chip's fixed settings.
void CodecModel::setFixedBits()
{
    for (std::size_t slot = 0; slot < CodecBlockOrder.size(); ++slot) {
        const auto index = static_cast<int>(slot);
        setWord(index, static_cast<std::uint16_t>(CodecBlockOrder[slot] << AddressShift
                                                   | (word(index) & DataByte)));
    }
    setWord(slotOf(AnalogPath), word(slotOf(AnalogPath)) | DacSelect);
    setWord(slotOf(PowerDown), word(slotOf(PowerDown)) | OscillatorPowerDown);
    for (auto [reg, fixed] : {std::pair{ChipReset, ResetData}, std::pair{InterfaceFormat, InterfaceFormatData},
                              std::pair{InterfaceActivation, InterfaceActiveData}})
        setWord(slotOf(reg), static_cast<std::uint16_t>(reg << AddressShift | fixed));
}
