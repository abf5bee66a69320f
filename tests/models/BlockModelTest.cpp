#include <array>
#include <vector>

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

QStringList threeItems(const FieldContext&)
{
    return {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
}

// A number, an address and a choice, with no rule of an editor's own.
const std::array<Field, 3> PlainFields{{
    {.key = "number", .control = "Number", .label = {}, .kind = FieldKind::Number,
     .place = {0}, .range = {10, 90}},
    {.key = "address", .control = "Addr", .label = {}, .kind = FieldKind::Octets,
     .place = {1, 0x00FF, 0xFFFF}, .range = {0, 223}},
    {.key = "choice", .control = "Choice", .label = {}, .kind = FieldKind::Choice,
     .place = {5}, .items = threeItems},
}};

class PlainModel final : public BlockModel<12> {
public:
    explicit PlainModel(std::uint8_t* block)
        : BlockModel(block, 0)
    {
    }
    void LoadBlock() override { copyIn(); }
    void setDefaults() override {}
    std::span<const Field> fields() const override { return PlainFields; }
};

int address(int first, int second, int third, int fourth)
{
    return addressOf({first, second, third, fourth});
}

} // namespace

TEST(BlockModel, AChangeOutsideAFieldsValuesStoresTheNearerOne)
{
    struct Case {
        std::size_t field;
        int given;
        int stored;
        std::array<std::uint16_t, 6> words;
    };
    const std::vector<Case> cases{
        {0, 50, 50, {50, 0, 0, 0, 0, 0}},
        {0, 5, 10, {10, 0, 0, 0, 0, 0}},
        {0, 200, 90, {90, 0, 0, 0, 0, 0}},
        {1, address(192, 168, 1, 10), address(192, 168, 1, 10), {0, 192, 168, 1, 10, 0}},
        // Each octet to its own limit: the first to 223, the others within 255.
        {1, address(255, 255, 255, 0), address(223, 255, 255, 0), {0, 223, 255, 255, 0, 0}},
        {2, 2, 2, {0, 0, 0, 0, 0, 2}},
        {2, 7, 2, {0, 0, 0, 0, 0, 2}},
        {2, -1, 0, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 12> block{};
        PlainModel model(block.data());
        model.LoadBlock();
        const Field& field = PlainFields[c.field];
        EXPECT_EQ(model.changeField(field, c.given), field.place.word) << field.key << c.given;
        EXPECT_EQ(model.fieldValue(field), c.stored) << field.key << c.given;
        EXPECT_EQ(model.words(), c.words) << field.key << c.given;
    }
}

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
