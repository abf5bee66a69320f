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

constexpr std::array<LinkFlag, 2> DefaultFlags{LinkFlag::Ack, LinkFlag::Tmode};


std::size_t indexOf(LinkNumber field)
{
    return static_cast<std::size_t>(field);
}

const LinkFlagRule& flagRule(LinkFlag flag)
{
    return linkFlagRules()[static_cast<std::size_t>(flag)];
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

std::uint16_t openedWord(const LinkNumberRule& rule, int value)
{
    if (rule.unit == LinkUnit::Ticks)
        return static_cast<std::uint16_t>(settledTicks(value));
    return storedWord(rule, value);
}

} // namespace

const std::array<LinkNumberRule, LinkNumberCount>& linkNumberRules()
{
    static const std::array<LinkNumberRule, LinkNumberCount> rules{{
        {LinkNumber::N1, QStringLiteral("N1"), LinkUnit::PacketSize, 0x1F, {64, 512}, 16, 64, 512,
         {QStringLiteral("Максимальный размер пакета в байтах,"),
          QStringLiteral("с шагом в 16 байт, N1 [64..512] :")}},
        {LinkNumber::N2, QStringLiteral("N2"), LinkUnit::Count, 0xFF, {1, 255}, 1, 1, 10,
         {QStringLiteral("Максимальное число попыток доставить "),
          QStringLiteral("пакет с данными, N2 [1..255]:")}},
        {LinkNumber::N3, QStringLiteral("N3"), LinkUnit::Count, 0xFF, {1, 255}, 1, 1, 10,
         {QStringLiteral("Максимальное число попыток востановить"),
          QStringLiteral("активность соединения, N3 [1..255]:")}},
        {LinkNumber::N4, QStringLiteral("N4"), LinkUnit::Count, 0x0F, {1, 15}, 1, 1, 7,
         {QStringLiteral("Размер буферного окна N4  [1..15]:"), QString()}},
        {LinkNumber::T0, QStringLiteral("T0"), LinkUnit::Ticks, TickMask, {500, 30000}, 125, 500,
         1000,
         {QStringLiteral("Период следования запросов на установление"),
          QStringLiteral("соединения, мсек. T0 [500..30000]:")}},
        {LinkNumber::T1, QStringLiteral("T1"), LinkUnit::Ticks, TickMask, TimerRange, 125, 125, 250,
         t1Label(false)},
        {LinkNumber::T2, QStringLiteral("T2"), LinkUnit::Ticks, TickMask, TimerRange, 125, 125, 125,
         {QStringLiteral("Время по истечение которого отправляется "),
          QStringLiteral("подтверждение приема пакета, мсек. T2 [125..T1]:")}},
        {LinkNumber::T3, QStringLiteral("T3"), LinkUnit::Ticks, TickMask, TimerRange, 125, 125,
         1000,
         {QStringLiteral("Период проверки активности "),
          QStringLiteral("соединения, мсек. T3 [125..30000]:")}},
    }};
    return rules;
}

const LinkNumberRule& linkNumberRule(LinkNumber field)
{
    return linkNumberRules()[indexOf(field)];
}

const std::array<LinkFlagRule, 2>& linkFlagRules()
{
    static const std::array<LinkFlagRule, 2> rules{{
        {LinkFlag::Ack, QStringLiteral("Ack"), 0,
         QStringLiteral("Запрос на подтверждение приема пакета")},
        {LinkFlag::Tmode, QStringLiteral("Tmode"), 1,
         QStringLiteral("Режим адаптивной установки таймеров")},
    }};
    return rules;
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

std::uint16_t storedWord(const LinkNumberRule& rule, int value)
{
    switch (rule.unit) {
    case LinkUnit::PacketSize:
        return static_cast<std::uint16_t>((value >> 4) - 1);
    case LinkUnit::Ticks:
        return static_cast<std::uint16_t>(ticksOfMilliseconds(value));
    case LinkUnit::Count:
        break;
    }
    return static_cast<std::uint16_t>(value);
}

int shownValue(const LinkNumberRule& rule, std::uint16_t word)
{
    const int bits = word & rule.mask;
    switch (rule.unit) {
    case LinkUnit::PacketSize:
        return (bits + 1) * PacketStep;
    case LinkUnit::Ticks:
        return millisecondsOfTicks(bits);
    case LinkUnit::Count:
        break;
    }
    return bits;
}

int linkLossTime(int t3Milliseconds, int n3)
{
    return t3Milliseconds * (n3 + 1);
}

LinkLabel t1Label(bool adaptive)
{
    if (adaptive)
        return {QStringLiteral("Максимальный период повторения не"),
                QStringLiteral("подтвержденных пакетов, мсек. T1 [125..30000]:")};
    return {QStringLiteral("Период повторения не подтвержденных"),
            QStringLiteral("пакетов, мсек. T1 [125..30000]:")};
}

LinkLabel lossTimeLabel()
{
    return {QStringLiteral("Расчетное время обнаружения потери "),
            QStringLiteral("соединения, мсек.:")};
}

LinkModel::LinkModel(const LinkInputs& inputs)
    : BlockModel(inputs.linkBlock, WordOrder::Host)
    , level_(inputs.level)
    , edition_(editionBit(typeWordOf(inputs.identityBlock)))
{
    for (const LinkNumberRule& rule : linkNumberRules())
        shown_[indexOf(rule.field)] = rule.initial;
}

// Every word is rewritten from its field's value, a number outside its range taken as the nearer
// bound, and the field then shows the word it will store, so that the screen, "Сохранить" and
// "Тест" agree. The flag bits stay as they are.
void LinkModel::LoadBlock()
{
    copyIn();
    if (edition_ == EditionZB)
        setWord(static_cast<int>(LinkNumber::T0), ZbT0);
    for (const LinkNumberRule& rule : linkNumberRules()) {
        const std::uint16_t opened = openedWord(rule, loadedValue(rule.field));
        setWord(static_cast<int>(rule.field), opened);
        shown_[indexOf(rule.field)] = shownValue(rule, opened);
    }
}

void LinkModel::setDefaults()
{
    for (const LinkNumberRule& rule : linkNumberRules())
        setNumber(rule.field, rule.defaultValue);
    if (edition_ == EditionZB)
        setNumber(LinkNumber::T0, ZbT0);
    for (LinkFlag flag : DefaultFlags)
        setFlag(flag, true);
}

int LinkModel::value(LinkNumber field) const
{
    return shown_[indexOf(field)];
}

NumberRange LinkModel::range(LinkNumber field) const
{
    if (field == LinkNumber::T0 && edition_ == EditionZB)
        return ZbT0Range;
    return linkNumberRule(field).range;
}

bool LinkModel::enabled(LinkNumber field) const
{
    if (field == LinkNumber::N1)
        return level_ == LevelFull;
    if (field == LinkNumber::T0)
        return edition_ != EditionZB;
    return true;
}

void LinkModel::setNumber(LinkNumber field, int value)
{
    const int fitted = fitToRange(value, range(field)).value;
    shown_[indexOf(field)] = fitted;
    setWord(static_cast<int>(field), storedWord(linkNumberRule(field), fitted));
}

bool LinkModel::flag(LinkFlag flag) const
{
    return (word(FlagsWord) >> flagRule(flag).bit & 1) != 0;
}

void LinkModel::setFlag(LinkFlag flag, bool on)
{
    const auto mask = static_cast<std::uint16_t>(1u << flagRule(flag).bit);
    const std::uint16_t flags = word(FlagsWord);
    setWord(FlagsWord, static_cast<std::uint16_t>(on ? flags | mask : flags & ~mask));
}

int LinkModel::lossTime() const
{
    return linkLossTime(value(LinkNumber::T3), value(LinkNumber::N3));
}

std::uint16_t LinkModel::word(int index) const
{
    std::uint16_t value = 0;
    std::memcpy(&value, copy_.data() + 2 * index, sizeof value);
    return value;
}

void LinkModel::setWord(int index, std::uint16_t value)
{
    std::memcpy(copy_.data() + 2 * index, &value, sizeof value);
}

// What a field shows of its loaded word, without a message for a word outside its range.
int LinkModel::loadedValue(LinkNumber field) const
{
    const int shown = shownValue(linkNumberRule(field), word(static_cast<int>(field)));
    return fitToRange(shown, range(field)).value;
}
