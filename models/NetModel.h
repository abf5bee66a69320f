#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include <QString>
#include <QStringList>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"
#include "models/Field.h"
#include "models/NumberRange.h"

// The four-octet addresses of the network block, in the window's order.
enum class NetAddress {
    Ip,    // the controller's own address
    Gate,  // the default gateway
    Mask,  // the subnet mask
    IpDst, // the remote controller's address
};
inline constexpr int NetAddressCount = 4;
inline constexpr int OctetCount = 4;

// The two ports, each kept as a high-byte word and a low-byte word.
enum class NetPort {
    Port,    // the controller's own port
    PortDst, // the remote controller's port
};
inline constexpr NumberRange PortRange{1025, 65535};
inline constexpr NumberRange TimeToLiveRange{0, 255};

// The type-of-service bits of word 20: the precedence in bits 0-2 and three flag boxes.
enum class TosFlag {
    LowDelay,    // bit 3
    Throughput,  // bit 4
    Reliability, // bit 5
};

// The network block's fields: the addresses in the window's order, the ports, the precedence,
// the ToS flags and the time to live. An address's range is that of its first octet; the others
// go to 255.
enum class NetField {
    Ip,
    Gate,
    Mask,
    IpDst,
    Port,
    PortDst,
    Precedence,
    LowDelay,
    Throughput,
    Reliability,
    TimeToLive,
};
std::span<const Field> netFields();
const Field& netField(NetAddress address);
const Field& netField(NetPort port);
const Field& netField(TosFlag flag);
const Field& netField(NetField field);
// "обычный [000]" to "управление сетью [111]", the item index being the precedence.
const QStringList& precedenceItems();

// The ToS word with another precedence: (word AND 0x00F8) OR precedence, so choosing one also
// clears bits 8-15.
std::uint16_t withPrecedence(std::uint16_t tos, int precedence);
// The ToS word with a flag box ticked (OR its bit) or unticked (AND the low byte without its bit,
// which also clears bits 8-15).
std::uint16_t withTosFlag(std::uint16_t tos, const Field& flag, bool ticked);

// The group captions: "Контроллер " + model name + the controller's own edition, and
// "Удаленный контроллер " + model name + "ZB", the remote controller of a ZA being a ZB.
QString localGroupCaption(std::uint16_t typeWord);
QString remoteGroupCaption(std::uint16_t typeWord);

// What the network editor is opened with: references into the main window's record.
struct NetInputs {
    const std::uint8_t* identityBlock;
    std::uint8_t* netBlock;
    const std::uint8_t* boardBlock;
};

// The network editor's rules. The block is 22 16-bit words: the gateway, mask and own address
// (one octet per word), the own port (high and low byte), the remote address and port, the ToS
// word and the time to live; the working copy holds them in host order.
class NetModel final : public BlockModel<Blocks::Net.size> {
public:
    static constexpr int TosWord = 20;
    static constexpr int TimeToLiveWord = 21;

    explicit NetModel(const NetInputs& inputs);

    // Makes the working copy and puts every field in its range, as the fields then show it: an
    // octet or time to live is the low byte of its word, a value above its limit and a port
    // outside its range become the nearer bound. The ToS word stays as stored.
    void LoadBlock() override;
    void setDefaults() override;
    std::span<const Field> fields() const override { return netFields(); }
    int changeField(const Field& field, int value) override;
    bool fieldShown(const Field& field) const override;

    // The ranges of the fields that LoadBlock found outside them, in the window's order, one per
    // correction; each is reported once, the list being empty after it has been taken.
    std::vector<NumberRange> takeCorrections();

    int octet(NetAddress field, int index) const;
    Octets octets(NetAddress field) const;
    // A number outside an octet's, port's or time to live's range is stored as the nearer bound.
    void setOctet(NetAddress field, int index, int value);
    int port(NetPort field) const;
    void setPort(NetPort field, int value);
    int timeToLive() const;
    void setTimeToLive(int value);
    int precedence() const;
    void setPrecedence(int precedence);
    bool tosFlag(TosFlag flag) const;
    void setTosFlag(TosFlag flag, bool ticked);

    // The remote controller's group is shown for edition ZA only; its words are kept either way.
    bool remoteShown() const;
    QString localCaption() const { return localGroupCaption(typeWord()); }
    QString remoteCaption() const { return remoteGroupCaption(typeWord()); }
    // The board's hardware address, as 00-1A-2B-3C-4D-5E.
    const QString& hardwareAddress() const { return hardwareAddress_; }

private:
    void loadAddress(NetAddress field);
    void loadPort(NetPort field);
    // What a field shows of a loaded number: the nearer bound, noted, when outside the range.
    int loaded(int value, const NumberRange& range);

    QString hardwareAddress_;
    std::vector<NumberRange> corrections_;
};
