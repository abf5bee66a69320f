#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "config/ConfigRecord.h" // controllerText

// The texts a progress window builds from the controller's identity block (six words, TypeWord
// first, then the four Die ID words, then the Chip ID).
using IdentityWords = std::array<std::uint16_t, 6>;

// Reads the 12-byte identity block as the worker hands it over.
IdentityWords identityWords(const std::uint8_t* block);

// Upper-case hexadecimal with at least two digits, never padded further: 0x05 -> "05",
// 0x0C00 -> "C00".
QString hexDigits(std::uint16_t value);
QString chipIdText(const IdentityWords& words);
QString dieIdText(const IdentityWords& words);
