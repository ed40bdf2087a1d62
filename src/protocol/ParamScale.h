#pragma once

#include <cstdint>

// The units of the parameter block against the units the window shows.
namespace params {

enum class Scale {
    Heat,    // seconds in the window, 0.01 s in the block
    Current, // 100 window units are 4096 block units
    Time,    // 0.1 s in the window, 0.01 s in the block
    AsIs,
    Flag, // a check box: 1 ticked, 0 not
};

// Window value to block value (before it is cut to the field's width).
int64_t ToBlock(Scale scale, int32_t windowValue);
// Block value to window value.
int64_t ToWindow(Scale scale, uint32_t blockValue);

// The arc current word and the arc time word, as the arc test sends them.
uint16_t CurrentWord(int32_t windowCurrent);
uint16_t TimeWord(int32_t windowTime);

} // namespace params
