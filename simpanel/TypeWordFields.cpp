#include "simpanel/TypeWordFields.h"

namespace simpanel {

namespace {
struct Field {
    int TypeWordFields::*value;
    int shift;
    int mask;
};

constexpr Field Fields[] = {
    {&TypeWordFields::model, 12, 0xF},
    {&TypeWordFields::softwareMajor, 10, 0x3},
    {&TypeWordFields::softwareMinor, 8, 0x3},
    {&TypeWordFields::boardMajor, 6, 0x3},
    {&TypeWordFields::boardMinor, 4, 0x3},
    {&TypeWordFields::edition, 0, 0x1},
};
}

TypeWordFields fieldsOf(std::uint16_t typeWord)
{
    TypeWordFields fields;
    for (const Field& field : Fields)
        fields.*field.value = (typeWord >> field.shift) & field.mask;
    return fields;
}

std::uint16_t withFields(std::uint16_t typeWord, const TypeWordFields& fields)
{
    unsigned word = typeWord;
    for (const Field& field : Fields) {
        word &= ~(static_cast<unsigned>(field.mask) << field.shift);
        word |= (static_cast<unsigned>(fields.*field.value) & field.mask) << field.shift;
    }
    return static_cast<std::uint16_t>(word);
}

} // namespace simpanel
