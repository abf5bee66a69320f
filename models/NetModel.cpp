#include "models/NetModel.h"

#include <cstring>
#include <utility>

#include "config/BoardBlock.h"

namespace {

constexpr int EditionZB = 1;
constexpr int LowByte = 0xFF;
constexpr int ByteBits = 8;
constexpr int PrecedenceMask = 0x0007;
constexpr std::uint16_t PrecedenceClearMask = 0x00F8;
constexpr int DefaultPort = 30010;
constexpr int DefaultTimeToLive = 128;
constexpr int TosWord = NetModel::TosWord;

// An address octet can be 0..255; the first octet of a host or gateway address at most 223, the
// last unicast class.
constexpr NumberRange HostFirstOctet{0, 223};
constexpr NumberRange AnyOctet{0, 255};

template <int A, int B, int C, int D, int ZbA = A, int ZbB = B, int ZbC = C, int ZbD = D>
int addressByEdition(const FieldContext& context)
{
    return context.edition == EditionZB ? addressOf({ZbA, ZbB, ZbC, ZbD}) : addressOf({A, B, C, D});
}

Field address(const char* key, const char* control, const QString& label, int firstWord,
              NumberRange firstOctet, int (*defaultOf)(const FieldContext&))
{
    // An octet rewrites its whole word.
    return {.key = key, .control = control, .label = label, .kind = FieldKind::Octets,
            .place = {firstWord, 0x00FF, 0xFFFF}, .range = firstOctet, .defaultOf = defaultOf};
}

Field port(const char* key, const char* control, int highWord)
{
    return {.key = key, .control = control, .label = QStringLiteral("Порт [1025..65535]"),
            .kind = FieldKind::Port, .place = {highWord, 0xFFFF}, .range = PortRange,
            .defaultValue = DefaultPort};
}

Field tosFlag(const char* key, const char* control, const QString& caption, std::uint16_t bit)
{
    return {.key = key, .control = control, .label = caption, .kind = FieldKind::Flag,
            .place = {TosWord, bit}};
}

QStringList precedenceList(const FieldContext&)
{
    return precedenceItems();
}

std::array<Field, 11> makeNetFields()
{
    return {{
        address("ip", "Ip", QStringLiteral("IP-адрес"), 8, HostFirstOctet,
                addressByEdition<192, 168, 1, 10, 192, 168, 1, 11>),
        address("gateway", "Gate", QStringLiteral("Основной шлюз"), 0, HostFirstOctet,
                addressByEdition<192, 168, 1, 1>),
        address("mask", "Mask", QStringLiteral("Маска подсети"), 4, AnyOctet,
                addressByEdition<255, 255, 255, 0>),
        address("remoteIp", "IpDst", QStringLiteral("IP-адрес"), 14, HostFirstOctet,
                addressByEdition<192, 168, 1, 11, 0, 0, 0, 0>),
        port("port", "Port", 12),
        port("remotePort", "PortDst", 18),
        // Choosing a precedence also clears bits 8-15.
        {.key = "precedence", .control = "Tos20", .label = QStringLiteral("Предпочтения [2..0]:"),
         .kind = FieldKind::Choice, .place = {TosWord, PrecedenceMask, 0xFF07},
         .items = precedenceList},
        tosFlag("lowDelay", "Tos3", QStringLiteral("Малая задержка [3]"), 0x0008),
        tosFlag("throughput", "Tos4", QStringLiteral("Высокая пропускная способность [4]"), 0x0010),
        tosFlag("reliability", "Tos5", QStringLiteral("Высокая надежность [5]"), 0x0020),
        {.key = "timeToLive", .control = "TTL",
         .label = QStringLiteral("Время существования датаграммы, TTL [0..255]"),
         .kind = FieldKind::Number, .place = {NetModel::TimeToLiveWord, 0x00FF, 0xFFFF},
         .range = TimeToLiveRange, .defaultValue = DefaultTimeToLive},
    }};
}

} // namespace

std::span<const Field> netFields()
{
    static const std::array<Field, 11> fields = makeNetFields();
    return fields;
}

const Field& netField(NetField field)
{
    return netFields()[static_cast<std::size_t>(field)];
}

const Field& netField(NetAddress address)
{
    return netFields()[static_cast<std::size_t>(address)];
}

const Field& netField(NetPort port)
{
    return netField(port == NetPort::Port ? NetField::Port : NetField::PortDst);
}

const Field& netField(TosFlag flag)
{
    return netFields()[static_cast<std::size_t>(NetField::LowDelay) + static_cast<std::size_t>(flag)];
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

std::uint16_t withPrecedence(std::uint16_t tos, int precedence)
{
    return static_cast<std::uint16_t>((tos & PrecedenceClearMask) | (precedence & PrecedenceMask));
}

std::uint16_t withTosFlag(std::uint16_t tos, const Field& flag, bool ticked)
{
    const std::uint16_t bit = flag.place.mask;
    return static_cast<std::uint16_t>(ticked ? tos | bit : tos & (LowByte & ~bit));
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
    : BlockModel(inputs.netBlock, typeWordOf(inputs.identityBlock))
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
    setWord(TosWord, 0);
    for (const Field& field : netFields())
        setValue(field, fieldDefault(field, context()));
}

std::vector<NumberRange> NetModel::takeCorrections()
{
    return std::exchange(corrections_, {});
}

int NetModel::octet(NetAddress field, int index) const
{
    return octets(field)[static_cast<std::size_t>(index)];
}

Octets NetModel::octets(NetAddress field) const
{
    return octetsOf(value(netField(field)));
}

void NetModel::setOctet(NetAddress field, int index, int value)
{
    const Field& address = netField(field);
    const auto octet = static_cast<std::size_t>(index);
    Octets shown = octets(field);
    shown[octet] = fitToRange(value, {0, octetLimits(address)[octet]}).value;
    setValue(address, addressOf(shown));
}

int NetModel::port(NetPort field) const
{
    return value(netField(field));
}

void NetModel::setPort(NetPort field, int value)
{
    setValue(netField(field), fitToRange(value, PortRange).value);
}

int NetModel::timeToLive() const
{
    return value(netField(NetField::TimeToLive));
}

void NetModel::setTimeToLive(int value)
{
    setValue(netField(NetField::TimeToLive), fitToRange(value, TimeToLiveRange).value);
}

int NetModel::precedence() const
{
    return value(netField(NetField::Precedence));
}

void NetModel::setPrecedence(int precedence)
{
    setValue(netField(NetField::Precedence), precedence);
}

bool NetModel::tosFlag(TosFlag flag) const
{
    return value(netField(flag)) != 0;
}

void NetModel::setTosFlag(TosFlag flag, bool ticked)
{
    setWord(TosWord, withTosFlag(word(TosWord), netField(flag), ticked));
}

bool NetModel::remoteShown() const
{
    return context().edition != EditionZB;
}

int NetModel::changeField(const Field& field, int value)
{
    const auto which = static_cast<NetField>(fieldIndex(netFields(), field));
    switch (field.kind) {
    case FieldKind::Octets:
        for (int index = 0; index < OctetCount; ++index)
            setOctet(static_cast<NetAddress>(which), index, octetsOf(value)[static_cast<std::size_t>(index)]);
        break;
    case FieldKind::Flag:
        setTosFlag(static_cast<TosFlag>(static_cast<int>(which) - static_cast<int>(NetField::LowDelay)), value != 0);
        break;
    default:
        setValue(field, fitToRange(value, fieldRange(field, context())).value);
        break;
    }
    return field.place.word;
}

bool NetModel::fieldShown(const Field& field) const
{
    const bool remote = &field == &netField(NetAddress::IpDst) || &field == &netField(NetPort::PortDst);
    return !remote || remoteShown();
}

// An octet or time to live is the low byte of its word.
void NetModel::loadAddress(NetAddress field)
{
    const Field& address = netField(field);
    const Octets limits = octetLimits(address);
    Octets shown = octets(field);
    for (std::size_t index = 0; index < shown.size(); ++index)
        shown[index] = loaded(shown[index], {0, limits[index]});
    setValue(address, addressOf(shown));
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
