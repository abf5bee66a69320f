#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include <QString>
#include <QStringList>

#include "config/ConfigRecord.h"
#include "models/BlockModel.h"
#include "models/Field.h"

// The vocoder block's six settings, one drop-down list each, in block order: each list's index is
// the number of the block word it sets.
enum class VocoderList : int {
    BitsMode = 0,
    CtrlMode,
    RunMode,
    BitsTime,
    JBufMode,
    JBufTime,
};
inline constexpr int VocoderListCount = 6;

// The vocoder block's fields, one list each, in block order.
std::span<const Field> vocoderFields();
const Field& vocoderField(VocoderList list);
// The lists that the R-410 does not let be changed, and the position each holds there: the
// R-410 sets only the bit rate.
std::optional<int> r410Position(VocoderList list);

// The bit rate codes 2..8 and the rate in bit/s each stands for.
inline constexpr int LowestRateCode = 2;
inline constexpr int HighestRateCode = 8;
int bitRateOf(int rateCode);
// The audio packet durations for a bit rate: 0 ms up to the longest packet, in steps of 20 ms,
// that holds at most 4000 bits.
int durationCount(int rateCode);
// A list's items: the bit rates by model (the R-410 has rates of its own for its last two codes),
// the packet durations by bit rate code, the other lists' fixed texts.
QStringList vocoderItems(VocoderList list, int model, int rateCode);
// The jitter buffer's size is a maximum when the buffer adapts (position 1 of "Режим работы ").
QString bufferSizeLabel(int bufferMode);

// What the vocoder editor is opened with: references into the main window's record.
struct VocoderInputs {
    const std::uint8_t* identityBlock;
    std::uint8_t* vocoderBlock;
};

// The vocoder editor's rules. The block is six signed 16-bit words, one per list, each holding its
// list's position (the bit rate offset by 2); the working copy holds them in host order.
class VocoderModel final : public BlockModel<Blocks::Vocoder.size> {
public:
    explicit VocoderModel(const VocoderInputs& inputs);

    void LoadBlock() override;
    void setDefaults() override;
    std::span<const Field> fields() const override { return vocoderFields(); }
    int changeField(const Field& field, int value) override;
    bool fieldEnabled(const Field& field) const override;

    // A list's items as they stand now: the bit rates by model, the durations by bit rate.
    QStringList items(VocoderList list) const;
    int itemCount(VocoderList list) const;
    // The position the list shows: after opening always one of its items.
    int position(VocoderList list) const;
    // Only the bit rate can be set on the R-410.
    bool enabled(VocoderList list) const;

    // The operator chose an item: stores it, a position outside the list taken as its nearer end.
    // A new bit rate keeps the packet duration unless the rate's list ends before it. Returns the
    // list.
    VocoderList choose(VocoderList list, int position);

private:
    bool isR410() const;
    void store(VocoderList list, int position);
    void keepDurationInList();

    std::uint16_t typeWord_;
};
