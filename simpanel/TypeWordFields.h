#pragma once

#include <cstdint>

namespace simpanel {

// The fields of a controller's type word: model code (bits 15-12), the two software version
// fields (bits 11-10 and 9-8), the two board version fields (bits 7-6 and 5-4) and the edition
// (bit 0). Bits 3-1 are kept as they were.
struct TypeWordFields {
    int model = 2;
    int softwareMajor = 0;
    int softwareMinor = 0;
    int boardMajor = 0;
    int boardMinor = 0;
    int edition = 0;
};

TypeWordFields fieldsOf(std::uint16_t typeWord);
std::uint16_t withFields(std::uint16_t typeWord, const TypeWordFields& fields);

} // namespace simpanel
