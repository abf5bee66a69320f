#include <array>

#include <gtest/gtest.h>

#include "models/BlockModel.h"

namespace {

using Block = std::array<std::uint8_t, 4>;

// The smallest editor of a block of 16-bit values: two words, whole block pushed.
class WordsModel final : public BlockModel<4> {
public:
    explicit WordsModel(std::uint8_t* block)
        : BlockModel(block, WordOrder::Host)
    {
    }
    void LoadBlock() override { copyIn(); }
    void setDefaults() override { copy_ = {0x34, 0x12, 0x78, 0x56}; }
};

} // namespace

TEST(BlockModel, ValueBlocksAreEditedInHostOrderAndHandedOverInRecordOrder)
{
    Block stored{0x12, 0x34, 0x56, 0x78};
    WordsModel model(stored.data());
    model.LoadBlock();
    EXPECT_EQ(model.workingCopy(), (Block{0x34, 0x12, 0x78, 0x56}));

    std::array<std::uint8_t, 4> payload{};
    EXPECT_EQ(model.payloadSize(), 4);
    model.writePayload(payload.data());
    EXPECT_EQ(payload, stored);

    model.setDefaults();
    stored.fill(0);
    model.save();
    EXPECT_EQ(stored, (Block{0x12, 0x34, 0x56, 0x78}));
}
