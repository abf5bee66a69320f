#include "link/Myfunc.h"

void SwapWordBytes(const std::uint8_t* source, std::uint8_t* destination, int byteCount)
{
    for (int pair = 0; pair < byteCount / 2; ++pair) {
        const std::uint8_t first = source[2 * pair];
        const std::uint8_t second = source[2 * pair + 1];
        destination[2 * pair] = second;
        destination[2 * pair + 1] = first;
    }
}
