#pragma once

#include <cstdio>
#include <cstdlib>

// A property that does not hold is a finding: libFuzzer saves the input that broke it.
inline void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}
