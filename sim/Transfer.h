#pragma once

#include <cstdint>
#include <vector>

namespace sim {

// One bulk transfer as the terminal made it: what it sent, or what it asked for and got.
struct Transfer {
    enum class Direction { Out, In };
    Direction direction = Direction::Out;
    int endpoint = 0;
    std::vector<std::uint8_t> bytes; // sent (Out) or returned (In)
    int lengthAsked = 0;             // bytes offered (Out) or buffer size (In)
    int timeout = 0;
    int result = 0;
    // In: reply bytes that did not fit the buffer. The controller sent them all the same, and the
    // kernel ended the transfer with EOVERFLOW (a babble).
    int overflow = 0;
};

// What the terminal sent, in order: the OUT transfers of a traffic record.
inline std::vector<Transfer> sentTransfers(const std::vector<Transfer>& traffic)
{
    std::vector<Transfer> sent;
    for (const Transfer& transfer : traffic)
        if (transfer.direction == Transfer::Direction::Out)
            sent.push_back(transfer);
    return sent;
}

} // namespace sim
