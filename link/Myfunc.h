#pragma once

#include <cstdint>

// Swaps the two bytes of each 16-bit word over byteCount bytes (a trailing odd byte is neither
// read nor written). Source and destination may be the same buffer. Converts between the
// controller's word order and the host's.
void SwapWordBytes(const std::uint8_t* source, std::uint8_t* destination, int byteCount);
