#include "models/VocoderModel.h"

#include <algorithm>

namespace {

constexpr int ModelR410 = 1;

// The longest audio packet the controller takes, and the packets' time step.
constexpr int PacketBitsLimit = 4000;
constexpr int PacketsPerSecond = 50;
constexpr int DurationStepMs = 20;
constexpr int BufferSteps = 8;

struct BitRate {
    int bitsPerSecond;
    QString text;     // every model but the R-410
    QString r410Text; // the R-410
};

const std::array<BitRate, HighestRateCode - LowestRateCode + 1>& bitRates()
{
    static const std::array<BitRate, HighestRateCode - LowestRateCode + 1> rates{{
        {6000, QStringLiteral("6.0  кбит/с"), QStringLiteral("6.0 кбит/с")},
        {7200, QStringLiteral("7.2  кбит/с"), QStringLiteral("7.2 кбит/с")},
        {8000, QStringLiteral("8.0  кбит/с"), QStringLiteral("8.0 кбит/с")},
        {11000, QStringLiteral("11.0  кбит/с"), QStringLiteral("11.0 кбит/с")},
        {11800, QStringLiteral("11.8  кбит/с"), QStringLiteral("11.8 кбит/с")},
        {15000, QStringLiteral("15.0 кбит/с"), QStringLiteral("14.4 кбит/с")},
        {18200, QStringLiteral("18.2 кбит/с"), QStringLiteral("17.6 кбит/с")},
    }};
    return rates;
}

QStringList bitRateTexts(int model)
{
    QStringList texts;
    for (const BitRate& rate : bitRates())
        texts.append(model == ModelR410 ? rate.r410Text : rate.text);
    return texts;
}

QString millisecondsText(int milliseconds)
{
    return QString::number(milliseconds) + QStringLiteral(" мсек.");
}

QStringList durationTexts(int rateCode)
{
    QStringList texts;
    for (int item = 0; item < durationCount(rateCode); ++item)
        texts.append(millisecondsText(item * DurationStepMs));
    return texts;
}

QStringList bufferSizeTexts()
{
    QStringList texts{QStringLiteral("Откл.")};
    for (int step = 1; step <= BufferSteps; ++step)
        texts.append(millisecondsText(step * DurationStepMs));
    return texts;
}


// A list's word holds its position as a signed number, the bit rate's offset by its lowest code.
int position(int bits, const FieldContext&)
{
    return static_cast<std::int16_t>(bits);
}

int rateItem(int bits, const FieldContext&)
{
    return static_cast<std::int16_t>(bits) - LowestRateCode;
}

int rateCode(int item, const FieldContext&)
{
    return item + LowestRateCode;
}

int rateCodeOf(const FieldContext& context)
{
    return context.words.empty() ? LowestRateCode : static_cast<std::int16_t>(context.words[0]);
}

template <VocoderList List>
QStringList itemsOf(const FieldContext& context)
{
    return vocoderItems(List, context.model, rateCodeOf(context));
}

QString bufferLabelOf(const FieldContext& context)
{
    const int jitterMode = static_cast<int>(VocoderList::JBufMode);
    return bufferSizeLabel(context.words.size() > static_cast<std::size_t>(jitterMode)
                               ? static_cast<std::int16_t>(context.words[jitterMode])
                               : 0);
}

Field list(VocoderList which, const char* key, const char* control, const QString& label,
           int defaultPosition)
{
    const bool rate = which == VocoderList::BitsMode;
    return {.key = key, .control = control, .label = label, .kind = FieldKind::Choice,
            .place = {static_cast<int>(which), 0xFFFF}, .shown = rate ? rateItem : position,
            .stored = rate ? rateCode : nullptr, .items = nullptr,
            .defaultValue = defaultPosition};
}

} // namespace

std::span<const Field> vocoderFields()
{
    static const std::array<Field, VocoderListCount> fields = [] {
        std::array<Field, VocoderListCount> table{{
            list(VocoderList::BitsMode, "bitRate", "BitsMode", QStringLiteral("Кодирование"), 6),
            list(VocoderList::CtrlMode, "control", "CtrlMode", QStringLiteral("Управление "), 1),
            list(VocoderList::RunMode, "mode", "RunMode", QStringLiteral("Режим работы "), 0),
            list(VocoderList::BitsTime, "packetDuration", "BitsTime",
                 QStringLiteral("Длительность аудио пакета"), 2),
            list(VocoderList::JBufMode, "jitterMode", "JBufMode", QStringLiteral("Режим работы "), 1),
            list(VocoderList::JBufTime, "jitterSize", "JBufTime", bufferSizeLabel(0), 2),
        }};
        table[0].items = itemsOf<VocoderList::BitsMode>;
        table[1].items = itemsOf<VocoderList::CtrlMode>;
        table[2].items = itemsOf<VocoderList::RunMode>;
        table[3].items = itemsOf<VocoderList::BitsTime>;
        table[4].items = itemsOf<VocoderList::JBufMode>;
        table[5].items = itemsOf<VocoderList::JBufTime>;
        table[5].labelOf = bufferLabelOf;
        return table;
    }();
    return fields;
}

const Field& vocoderField(VocoderList list)
{
    return vocoderFields()[static_cast<std::size_t>(list)];
}

std::optional<int> r410Position(VocoderList list)
{
    static constexpr std::array<std::optional<int>, VocoderListCount> positions{
        std::nullopt, 0, 0, 1, 0, 0};
    return positions[static_cast<std::size_t>(list)];
}

int bitRateOf(int rateCode)
{
    const int code = std::clamp(rateCode, LowestRateCode, HighestRateCode);
    return bitRates().at(static_cast<std::size_t>(code - LowestRateCode)).bitsPerSecond;
}

int durationCount(int rateCode)
{
    // In whole numbers, as the controller counts: bits per packet, then packets of 20 ms.
    return PacketBitsLimit / (bitRateOf(rateCode) / PacketsPerSecond) + 1;
}

QStringList vocoderItems(VocoderList list, int model, int rateCode)
{
    switch (list) {
    case VocoderList::BitsMode:
        return bitRateTexts(model);
    case VocoderList::CtrlMode:
        return {QStringLiteral("Отключено"), QStringLiteral("Контроль РТТ")};
    case VocoderList::RunMode:
        return {QStringLiteral("Постоянно"), QStringLiteral("VAD"), QStringLiteral("VBR")};
    case VocoderList::BitsTime:
        return durationTexts(rateCode);
    case VocoderList::JBufMode:
        return {QStringLiteral("Фиксированный"), QStringLiteral("Адаптивный")};
    case VocoderList::JBufTime:
        return bufferSizeTexts();
    }
    return {};
}

QString bufferSizeLabel(int bufferMode)
{
    return bufferMode == 1 ? QStringLiteral("Максимальный размер буфера ")
                           : QStringLiteral("Размер буфера ");
}

VocoderModel::VocoderModel(const VocoderInputs& inputs)
    : BlockModel(inputs.vocoderBlock, typeWordOf(inputs.identityBlock))
{
    store(VocoderList::BitsMode, 0); // a valid rate until the block is loaded
}

// Every word ends as the position its list shows: the R-410's fixed words first, then each word
// limited to its list in block order, so that the durations follow the limited bit rate.
void VocoderModel::LoadBlock()
{
    copyIn();
    for (int index = 0; index < VocoderListCount; ++index) {
        const auto list = static_cast<VocoderList>(index);
        const std::optional<int> fixed = r410Position(list);
        if (isR410() && fixed)
            store(list, *fixed);
        store(list, position(list));
    }
}

void VocoderModel::setDefaults()
{
    for (int index = 0; index < VocoderListCount; ++index) {
        const auto list = static_cast<VocoderList>(index);
        if (enabled(list))
            store(list, fieldDefault(vocoderField(list), context()));
    }
}

QStringList VocoderModel::items(VocoderList list) const
{
    return fieldItems(vocoderField(list), context());
}

int VocoderModel::itemCount(VocoderList list) const
{
    return static_cast<int>(items(list).size());
}

int VocoderModel::position(VocoderList list) const
{
    return value(vocoderField(list));
}

bool VocoderModel::enabled(VocoderList list) const
{
    return !(isR410() && r410Position(list));
}

VocoderList VocoderModel::choose(VocoderList list, int position)
{
    if (!enabled(list))
        return list;
    store(list, position);
    if (list == VocoderList::BitsMode)
        keepDurationInList();
    return list;
}

int VocoderModel::changeField(const Field& field, int value)
{
    return static_cast<int>(choose(static_cast<VocoderList>(fieldIndex(vocoderFields(), field)), value));
}

bool VocoderModel::fieldEnabled(const Field& field) const
{
    return enabled(static_cast<VocoderList>(fieldIndex(vocoderFields(), field)));
}

bool VocoderModel::isR410() const
{
    return context().model == ModelR410;
}

// A position outside the list becomes its nearer end.
void VocoderModel::store(VocoderList list, int position)
{
    const int limited = std::clamp(position, 0, itemCount(list) - 1);
    setValue(vocoderField(list), limited);
}

// The packet duration stays as chosen unless the new bit rate's list ends before it.
void VocoderModel::keepDurationInList()
{
    store(VocoderList::BitsTime, position(VocoderList::BitsTime));
}
