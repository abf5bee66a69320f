#pragma once

#include <cstdint>

// The TypeWord after a pick in the model selection dialog: list index 0 is R-410 (model code 1),
// 1 is R-420; index 0 of the edition list is ZA (bit 0 clear), 1 is ZB.
std::uint16_t withModelIndex(std::uint16_t typeWord, int index);
std::uint16_t withEditionIndex(std::uint16_t typeWord, int index);
