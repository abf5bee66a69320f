#pragma once

#include <array>
#include <cstdint>

// Blocks as the record stores them, for building and reading test cases: every 16-bit word most
// significant byte first. Words may be given signed; they are stored as their 16 bits.
template <typename Block, typename Words>
Block blockFromWords(const Words& words)
{
    Block block{};
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto word = static_cast<std::uint16_t>(words[i]);
        block[2 * i] = static_cast<std::uint8_t>(word >> 8);
        block[2 * i + 1] = static_cast<std::uint8_t>(word & 0xFF);
    }
    return block;
}

template <typename Words, typename Block>
Words wordsFromBlock(const Block& block)
{
    Words words{};
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<typename Words::value_type>(
            static_cast<std::uint16_t>(block[2 * i] << 8 | block[2 * i + 1]));
    return words;
}

// An identity block holding only its type word, least significant byte first.
inline std::array<std::uint8_t, 12> identityOf(std::uint16_t typeWord)
{
    std::array<std::uint8_t, 12> identity{};
    identity[0] = static_cast<std::uint8_t>(typeWord & 0xFF);
    identity[1] = static_cast<std::uint8_t>(typeWord >> 8);
    return identity;
}
