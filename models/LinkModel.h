#pragma once

#include <array>
#include <cstdint>
#include <span>

#include <QString>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"
#include "models/Field.h"
#include "models/NumberRange.h"

// The numeric fields of the link block, in block order: one word each.
enum class LinkNumber {
    N1, // maximum packet size in bytes
    N2, // attempts to deliver a data packet
    N3, // attempts to restore link activity
    N4, // size of the buffer window
    T0, // period of link establishment requests
    T1, // retransmission period of unacknowledged packets
    T2, // delay of the acknowledgement of a received packet
    T3, // period of the link activity check
};
inline constexpr int LinkNumberCount = 8;

// The flag bits of word 8, each shown by a check box.
enum class LinkFlag {
    Ack,   // request acknowledgement of packet receipt
    Tmode, // adaptive timer setting
};

// The link block's fields: the numbers N1 to T3 in block order, then the flags Ack and Tmode.
// A label's two lines are joined by a line break.
std::span<const Field> linkFields();
const Field& linkField(LinkNumber field);
const Field& linkField(LinkFlag flag);

// The two lines of a field's label; the second is empty for a one-line label.
struct LinkLabel {
    QString first;
    QString second;

    bool operator==(const LinkLabel&) const = default;
};
LinkLabel labelLines(const QString& label);

// Milliseconds to ticks: the product with 0.032, rounded to single precision and truncated.
int ticksOfMilliseconds(int milliseconds);
// Ticks to milliseconds: (ticks AND 0x3FF) x 31.25, truncated.
int millisecondsOfTicks(int ticks);
// The estimated time to detect the loss of the link: T3 x (N3 + 1).
int linkLossTime(int t3Milliseconds, int n3);

// The T1 label by timer mode; the label of the read-only T4.
QString t1Label(bool adaptive);
QString lossTimeLabel();

// What the link editor is opened with: references into the main window's record.
struct LinkInputs {
    AccessLevel level;
    const std::uint8_t* identityBlock;
    std::uint8_t* linkBlock;
};

// The link editor's rules. The block is nine 16-bit words: N1 to N4, T0 to T3 and the flags; the
// working copy holds them in host order.
class LinkModel final : public BlockModel<Blocks::Link.size> {
public:
    static constexpr int FlagsWord = 8;

    explicit LinkModel(const LinkInputs& inputs);

    void LoadBlock() override;
    void setDefaults() override;
    std::span<const Field> fields() const override { return linkFields(); }
    int fieldValue(const Field& field) const override;
    int changeField(const Field& field, int value) override;
    bool fieldEnabled(const Field& field) const override;
    NumberRange fieldLimits(const Field& field) const override;

    // What a field shows. A number stored rounded (an N1 off its 16-byte step, milliseconds
    // between ticks) is shown as it was entered.
    using BlockModel::value;
    int value(LinkNumber field) const;
    NumberRange range(LinkNumber field) const;
    bool enabled(LinkNumber field) const;
    // Stores a field's number; one outside the field's range is stored as the nearer bound.
    void setNumber(LinkNumber field, int value);
    bool flag(LinkFlag flag) const;
    void setFlag(LinkFlag flag, bool on);
    int lossTime() const;

private:
    int loadedValue(LinkNumber field) const;

    AccessLevel level_;
    std::array<int, LinkNumberCount> shown_{};
};
