#include "models/LinkModel.h"

#include <cstring>

namespace {

constexpr int PacketStep = 16;
constexpr int TickMask = 0x3FF;
constexpr NumberRange TimerRange{125, 30000};
// Edition ZB has no establishment requests: its T0 is 0.
constexpr NumberRange ZbT0Range{0, 30000};
constexpr int ZbT0 = 0;
constexpr int EditionZB = 1;

std::size_t indexOf(LinkNumber field)
{
    return static_cast<std::size_t>(field);
}

int packetBytes(int bits, const FieldContext&)
{
    return (bits + 1) * PacketStep;
}

int packetWord(int bytes, const FieldContext&)
{
    return (bytes >> 4) - 1;
}

int milliseconds(int ticks, const FieldContext&)
{
    return millisecondsOfTicks(ticks);
}

int ticks(int milliseconds, const FieldContext&)
{
    return ticksOfMilliseconds(milliseconds);
}

bool isTicks(const Field& field)
{
    return field.shown == milliseconds;
}

// Opening and saving again and again must not wear a timer down: a count between whole
// milliseconds shows truncated, and the ticks of what it shows come back lower, so the count is
// taken straight to where that settles.
int settledTicks(int milliseconds)
{
    // Each round gives the same count or a lower one, so the rounds end.
    int ticks = ticksOfMilliseconds(milliseconds);
    int settled = 0;
    do {
        settled = ticks;
        ticks = ticksOfMilliseconds(millisecondsOfTicks(settled));
    } while (ticks != settled);
    return settled;
}

QString t1LabelOf(const FieldContext& context)
{
    const auto flags = static_cast<std::size_t>(LinkModel::FlagsWord);
    return t1Label(context.words.size() > flags && (context.words[flags] & 0x2) != 0);
}

Field count(const char* key, const char* control, std::uint16_t mask, NumberRange range,
            int defaultValue, const QString& label)
{
    return {.key = key, .control = control, .label = label, .kind = FieldKind::Number,
            .place = {0, mask, 0xFFFF}, .range = range, .defaultValue = defaultValue};
}

Field timer(const char* key, const char* control, NumberRange range, int defaultValue,
            const QString& label)
{
    return {.key = key, .control = control, .label = label, .kind = FieldKind::Number,
            .place = {0, TickMask, 0xFFFF}, .shown = milliseconds, .stored = ticks, .range = range,
            .step = 125, .unit = QStringLiteral("мсек."), .defaultValue = defaultValue};
}

Field flag(const char* key, const char* control, std::uint16_t bit, const QString& caption)
{
    return {.key = key, .control = control, .label = caption, .kind = FieldKind::Flag,
            .place = {LinkModel::FlagsWord, bit}, .defaultValue = 1};
}

std::array<Field, LinkNumberCount + 2> makeLinkFields()
{
    std::array<Field, LinkNumberCount + 2> fields{{
        {.key = "packetSize", .control = "N1",
         .label = QStringLiteral("Максимальный размер пакета в байтах,\nс шагом в 16 байт, N1 [64..512] :"),
         .kind = FieldKind::Number, .place = {0, 0x1F, 0xFFFF}, .shown = packetBytes,
         .stored = packetWord, .range = {64, 512}, .step = PacketStep,
         .unit = QStringLiteral("байт"), .defaultValue = 512},
        count("deliveryAttempts", "N2", 0xFF, {1, 255}, 10,
              QStringLiteral("Максимальное число попыток доставить \nпакет с данными, N2 [1..255]:")),
        count("restoreAttempts", "N3", 0xFF, {1, 255}, 10,
              QStringLiteral("Максимальное число попыток востановить\nактивность соединения, N3 [1..255]:")),
        count("windowSize", "N4", 0x0F, {1, 15}, 7, QStringLiteral("Размер буферного окна N4  [1..15]:")),
        timer("establishmentPeriod", "T0", {500, 30000}, 1000,
              QStringLiteral("Период следования запросов на установление\nсоединения, мсек. T0 [500..30000]:")),
        timer("retransmissionPeriod", "T1", TimerRange, 250, t1Label(false)),
        timer("acknowledgementDelay", "T2", TimerRange, 125,
              QStringLiteral("Время по истечение которого отправляется \nподтверждение приема пакета, мсек. T2 [125..T1]:")),
        timer("activityCheckPeriod", "T3", TimerRange, 1000,
              QStringLiteral("Период проверки активности \nсоединения, мсек. T3 [125..30000]:")),
        flag("acknowledgement", "Ack", 0x1, QStringLiteral("Запрос на подтверждение приема пакета")),
        flag("adaptiveTimers", "Tmode", 0x2, QStringLiteral("Режим адаптивной установки таймеров")),
    }};
    for (std::size_t word = 0; word < LinkNumberCount; ++word)
        fields[word].place.word = static_cast<int>(word);
    fields[indexOf(LinkNumber::T1)].labelOf = t1LabelOf;
    return fields;
}

} // namespace

std::span<const Field> linkFields()
{
    static const std::array<Field, LinkNumberCount + 2> fields = makeLinkFields();
    return fields;
}

const Field& linkField(LinkNumber field)
{
    return linkFields()[indexOf(field)];
}

const Field& linkField(LinkFlag flag)
{
    return linkFields()[LinkNumberCount + static_cast<std::size_t>(flag)];
}

LinkLabel labelLines(const QString& label)
{
    const qsizetype lineBreak = label.indexOf(u'\n');
    if (lineBreak < 0)
        return {label, QString()};
    return {label.left(lineBreak), label.mid(lineBreak + 1)};
}

int ticksOfMilliseconds(int milliseconds)
{
    return static_cast<int>(static_cast<float>(milliseconds * 0.032));
}

int millisecondsOfTicks(int ticks)
{
    // x 31.25 is x 125 / 4, exact in whole numbers.
    return (ticks & TickMask) * 125 / 4;
}

int linkLossTime(int t3Milliseconds, int n3)
{
    return t3Milliseconds * (n3 + 1);
}

QString t1Label(bool adaptive)
{
    if (adaptive)
        return QStringLiteral("Максимальный период повторения не\nподтвержденных пакетов, мсек. T1 [125..30000]:");
    return QStringLiteral("Период повторения не подтвержденных\nпакетов, мсек. T1 [125..30000]:");
}

QString lossTimeLabel()
{
    return QStringLiteral("Расчетное время обнаружения потери \nсоединения, мсек.:");
}

LinkModel::LinkModel(const LinkInputs& inputs)
    : BlockModel(inputs.linkBlock, typeWordOf(inputs.identityBlock))
    , level_(inputs.level)
{
    for (std::size_t field = 0; field < LinkNumberCount; ++field)
        shown_[field] = linkFields()[field].range.minimum;
}

// Every word is rewritten from its field's value, a number outside its range taken as the nearer
// bound, and the field then shows the word it will store, so that the screen, "Сохранить" and
// "Тест" agree. The flag bits stay as they are.
void LinkModel::LoadBlock()
{
    copyIn();
    if (context().edition == EditionZB)
        setWord(static_cast<int>(LinkNumber::T0), ZbT0);
    for (std::size_t index = 0; index < LinkNumberCount; ++index) {
        const auto number = static_cast<LinkNumber>(index);
        const Field& field = linkField(number);
        const int loaded = loadedValue(number);
        if (isTicks(field))
            setWord(field.place.word, static_cast<std::uint16_t>(settledTicks(loaded)));
        else
            setValue(field, loaded);
        shown_[index] = BlockModel::value(field);
    }
}

void LinkModel::setDefaults()
{
    for (std::size_t index = 0; index < LinkNumberCount; ++index)
        setNumber(static_cast<LinkNumber>(index), linkFields()[index].defaultValue);
    if (context().edition == EditionZB)
        setNumber(LinkNumber::T0, ZbT0);
    for (LinkFlag flag : {LinkFlag::Ack, LinkFlag::Tmode})
        setFlag(flag, linkField(flag).defaultValue != 0);
}

int LinkModel::value(LinkNumber field) const
{
    return shown_[indexOf(field)];
}

NumberRange LinkModel::range(LinkNumber field) const
{
    if (field == LinkNumber::T0 && context().edition == EditionZB)
        return ZbT0Range;
    return linkField(field).range;
}

bool LinkModel::enabled(LinkNumber field) const
{
    if (field == LinkNumber::N1)
        return level_ == LevelFull;
    if (field == LinkNumber::T0)
        return context().edition != EditionZB;
    return true;
}

void LinkModel::setNumber(LinkNumber field, int value)
{
    const int fitted = fitToRange(value, range(field)).value;
    shown_[indexOf(field)] = fitted;
    setValue(linkField(field), fitted);
}

bool LinkModel::flag(LinkFlag flag) const
{
    return BlockModel::value(linkField(flag)) != 0;
}

void LinkModel::setFlag(LinkFlag flag, bool on)
{
    setValue(linkField(flag), on ? 1 : 0);
}

int LinkModel::lossTime() const
{
    return linkLossTime(value(LinkNumber::T3), value(LinkNumber::N3));
}

int LinkModel::fieldValue(const Field& field) const
{
    const std::size_t index = fieldIndex(linkFields(), field);
    if (index < LinkNumberCount)
        return value(static_cast<LinkNumber>(index));
    return BlockModel::value(field);
}

int LinkModel::changeField(const Field& field, int value)
{
    const std::size_t index = fieldIndex(linkFields(), field);
    if (index < LinkNumberCount)
        setNumber(static_cast<LinkNumber>(index), value);
    else
        setFlag(static_cast<LinkFlag>(index - LinkNumberCount), value != 0);
    return field.place.word;
}

bool LinkModel::fieldEnabled(const Field& field) const
{
    const std::size_t index = fieldIndex(linkFields(), field);
    return index >= LinkNumberCount || enabled(static_cast<LinkNumber>(index));
}

NumberRange LinkModel::fieldLimits(const Field& field) const
{
    const std::size_t index = fieldIndex(linkFields(), field);
    if (index < LinkNumberCount)
        return range(static_cast<LinkNumber>(index));
    return BlockModel::fieldLimits(field);
}

// What a field shows of its loaded word, without a message for a word outside its range.
int LinkModel::loadedValue(LinkNumber field) const
{
    return fitToRange(BlockModel::value(linkField(field)), range(field)).value;
}
