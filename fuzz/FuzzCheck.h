#pragma once

#include <cstdio>

// A property every input must keep. A violation names itself on standard error and traps, so that
// libFuzzer keeps the input as a finding, just as it does for a crash.
inline void require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property violated: %s\n", property);
    __builtin_trap();
}
