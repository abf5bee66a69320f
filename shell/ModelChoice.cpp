#include "shell/ModelChoice.h"

std::uint16_t withModelIndex(std::uint16_t typeWord, int index)
{
    return static_cast<std::uint16_t>((typeWord & 0x0FFF) | (((index + 1) & 0xF) << 12));
}

std::uint16_t withEditionIndex(std::uint16_t typeWord, int index)
{
    return static_cast<std::uint16_t>((typeWord & 0xFFFE) | (index & 1));
}
