#include <array>

#include <gtest/gtest.h>

#include "models/BlockModel.h"

namespace {

using Block = std::array<std::uint8_t, 4>;

// The smallest editor of a block of 16-bit values: two words, whole block pushed.
class WordsModel final : public BlockModel<4> {
public:
    explicit WordsModel(std::uint8_t* block)
        : BlockModel(block, 0)
    {
    }
    void LoadBlock() override { copyIn(); }
    void setDefaults() override
    {
        setWord(0, 0x1234);
        setWord(1, 0x5678);
    }
    std::span<const Field> fields() const override { return {}; }
};

} // namespace

TEST(BlockModel, ValueBlocksAreEditedInHostOrderAndHandedOverInRecordOrder)
{
    Block stored{0x12, 0x34, 0x56, 0x78};
    WordsModel model(stored.data());
    model.LoadBlock();
    EXPECT_EQ(model.words(), (std::array<std::uint16_t, 2>{0x1234, 0x5678}));

    std::array<std::uint8_t, 4> payload{};
    EXPECT_EQ(model.payloadSize(), 4);
    model.writePayload(payload.data());
    EXPECT_EQ(payload, stored);

    model.setDefaults();
    stored.fill(0);
    model.save();
    EXPECT_EQ(stored, (Block{0x12, 0x34, 0x56, 0x78}));
}
