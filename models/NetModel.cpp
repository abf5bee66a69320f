#include "models/NetModel.h"

#include <cstring>
#include <utility>

#include "config/BoardBlock.h"

namespace {

constexpr int EditionZB = 1;
constexpr int OctetMask = 0xFF;
constexpr int LowByte = 0xFF;
constexpr int ByteBits = 8;
constexpr int PrecedenceMask = 0x0007;
constexpr std::uint16_t PrecedenceClearMask = 0x00F8;
constexpr int DefaultTos = 0;

// An address octet can be 0..255; the first octet of a host or gateway address at most 223, the
// last unicast class.
constexpr Octets HostLimits{223, 255, 255, 255};
constexpr Octets MaskLimits{255, 255, 255, 255};

std::size_t indexOf(NetAddress field)
{
    return static_cast<std::size_t>(field);
}

const NetPortRule& portRule(NetPort field)
{
    return netPortRules()[static_cast<std::size_t>(field)];
}

const TosFlagRule& flagRule(TosFlag flag)
{
    return tosFlagRules()[static_cast<std::size_t>(flag)];
}

NumberRange octetRange(const NetAddressRule& rule, int index)
{
    return {0, rule.limits[static_cast<std::size_t>(index)]};
}

} // namespace

const std::array<NetAddressRule, NetAddressCount>& netAddressRules()
{
    static const std::array<NetAddressRule, NetAddressCount> rules{{
        {NetAddress::Ip, QStringLiteral("Ip"), QStringLiteral("IP-адрес"), 8, HostLimits,
         {192, 168, 1, 10}, {192, 168, 1, 11}},
        {NetAddress::Gate, QStringLiteral("Gate"), QStringLiteral("Основной шлюз"), 0, HostLimits,
         {192, 168, 1, 1}, {192, 168, 1, 1}},
        {NetAddress::Mask, QStringLiteral("Mask"), QStringLiteral("Маска подсети"), 4, MaskLimits,
         {255, 255, 255, 0}, {255, 255, 255, 0}},
        {NetAddress::IpDst, QStringLiteral("IpDst"), QStringLiteral("IP-адрес"), 14, HostLimits,
         {192, 168, 1, 11}, {0, 0, 0, 0}},
    }};
    return rules;
}

const NetAddressRule& netAddressRule(NetAddress field)
{
    return netAddressRules()[indexOf(field)];
}

const std::array<NetPortRule, NetPortCount>& netPortRules()
{
    static const std::array<NetPortRule, NetPortCount> rules{{
        {NetPort::Port, QStringLiteral("Port"), 12},
        {NetPort::PortDst, QStringLiteral("PortDst"), 18},
    }};
    return rules;
}

const std::array<TosFlagRule, 3>& tosFlagRules()
{
    static const std::array<TosFlagRule, 3> rules{{
        {TosFlag::LowDelay, QStringLiteral("Tos3"), QStringLiteral("Малая задержка [3]"), 0x0008,
         0x00F7},
        {TosFlag::Throughput, QStringLiteral("Tos4"),
         QStringLiteral("Высокая пропускная способность [4]"), 0x0010, 0x00EF},
        {TosFlag::Reliability, QStringLiteral("Tos5"), QStringLiteral("Высокая надежность [5]"),
         0x0020, 0x00DF},
    }};
    return rules;
}

const QStringList& precedenceItems()
{
    static const QStringList items{
        QStringLiteral("обычный [000]"),         QStringLiteral("приоритетный [001]"),
        QStringLiteral("незамедлительно [010]"), QStringLiteral("срочно [011]"),
        QStringLiteral("сверхсрочно [100]"),     QStringLiteral("CRITIC/ECP [101]"),
        QStringLiteral("межсетевое управление [110]"), QStringLiteral("управление сетью [111]"),
    };
    return items;
}

int portOfWords(std::uint16_t high, std::uint16_t low)
{
    return high << ByteBits | low;
}

std::uint16_t withPrecedence(std::uint16_t tos, int precedence)
{
    return static_cast<std::uint16_t>((tos & PrecedenceClearMask) | (precedence & PrecedenceMask));
}

std::uint16_t withTosFlag(std::uint16_t tos, const TosFlagRule& rule, bool ticked)
{
    return static_cast<std::uint16_t>(ticked ? tos | rule.bit : tos & rule.clearMask);
}

QString localGroupCaption(std::uint16_t typeWord)
{
    return QStringLiteral("Контроллер ") + modelName(typeWord) + editionName(typeWord);
}

QString remoteGroupCaption(std::uint16_t typeWord)
{
    return QStringLiteral("Удаленный контроллер ") + modelName(typeWord) + QStringLiteral("ZB");
}

NetModel::NetModel(const NetInputs& inputs)
    : BlockModel(inputs.netBlock, WordOrder::Host)
    , typeWord_(typeWordOf(inputs.identityBlock))
    , hardwareAddress_(
          hardwareAddressText(BoardBlock::fromRecord(inputs.boardBlock).hardwareAddress()))
{
}

// In the window's order, so the corrections are told as the fields stand.
void NetModel::LoadBlock()
{
    copyIn();
    corrections_.clear();
    for (NetAddress field : {NetAddress::Ip, NetAddress::Gate, NetAddress::Mask})
        loadAddress(field);
    loadPort(NetPort::Port);
    loadAddress(NetAddress::IpDst);
    loadPort(NetPort::PortDst);
    setTimeToLive(timeToLive());
}

void NetModel::setDefaults()
{
    corrections_.clear();
    const bool zb = editionBit(typeWord_) == EditionZB;
    for (const NetAddressRule& rule : netAddressRules()) {
        const Octets& octets = zb ? rule.defaultZB : rule.defaultZA;
        for (int index = 0; index < OctetCount; ++index)
            setOctet(rule.field, index, octets[static_cast<std::size_t>(index)]);
    }
    for (const NetPortRule& rule : netPortRules())
        setPort(rule.field, DefaultPort);
    setWord(TosWord, DefaultTos);
    setTimeToLive(DefaultTimeToLive);
}

std::vector<NumberRange> NetModel::takeCorrections()
{
    return std::exchange(corrections_, {});
}

int NetModel::octet(NetAddress field, int index) const
{
    return word(netAddressRule(field).firstWord + index) & OctetMask;
}

Octets NetModel::octets(NetAddress field) const
{
    Octets shown{};
    for (int index = 0; index < OctetCount; ++index)
        shown[static_cast<std::size_t>(index)] = octet(field, index);
    return shown;
}

void NetModel::setOctet(NetAddress field, int index, int value)
{
    const NetAddressRule& rule = netAddressRule(field);
    setWord(rule.firstWord + index, fitToRange(value, octetRange(rule, index)).value);
}

int NetModel::port(NetPort field) const
{
    const int high = portRule(field).highWord;
    return portOfWords(word(high), word(high + 1));
}

void NetModel::setPort(NetPort field, int value)
{
    const int fitted = fitToRange(value, PortRange).value;
    const int high = portRule(field).highWord;
    setWord(high, fitted >> ByteBits);
    setWord(high + 1, fitted & LowByte);
}

int NetModel::timeToLive() const
{
    return word(TimeToLiveWord) & LowByte;
}

void NetModel::setTimeToLive(int value)
{
    setWord(TimeToLiveWord, fitToRange(value, TimeToLiveRange).value);
}

int NetModel::precedence() const
{
    return word(TosWord) & PrecedenceMask;
}

void NetModel::setPrecedence(int precedence)
{
    setWord(TosWord, withPrecedence(word(TosWord), precedence));
}

bool NetModel::tosFlag(TosFlag flag) const
{
    return (word(TosWord) & flagRule(flag).bit) != 0;
}

void NetModel::setTosFlag(TosFlag flag, bool ticked)
{
    setWord(TosWord, withTosFlag(word(TosWord), flagRule(flag), ticked));
}

bool NetModel::remoteShown() const
{
    return editionBit(typeWord_) != EditionZB;
}

std::uint16_t NetModel::word(int index) const
{
    std::uint16_t value = 0;
    std::memcpy(&value, copy_.data() + 2 * index, sizeof value);
    return value;
}

void NetModel::setWord(int index, int value)
{
    const auto stored = static_cast<std::uint16_t>(value);
    std::memcpy(copy_.data() + 2 * index, &stored, sizeof stored);
}

void NetModel::loadAddress(NetAddress field)
{
    const NetAddressRule& rule = netAddressRule(field);
    for (int index = 0; index < OctetCount; ++index)
        setOctet(field, index, loaded(octet(field, index), octetRange(rule, index)));
}

void NetModel::loadPort(NetPort field)
{
    setPort(field, loaded(port(field), PortRange));
}

int NetModel::loaded(int value, const NumberRange& range)
{
    const FittedNumber fitted = fitToRange(value, range);
    if (fitted.outside)
        corrections_.push_back(range);
    return fitted.value;
}
