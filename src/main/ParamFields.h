#pragma once

#include "FusionParams.h"

#include <array>
#include <cstdint>

// How the window's 22 parameter controls map onto FusionParams, in block order.
namespace params {

enum class Scale {
    Heat,    // seconds in the window, 0.01 s in the block
    Current, // 100 window units are 4096 block units
    Time,    // 0.1 s in the window, 0.01 s in the block
    AsIs,
    Flag, // a check box: 1 ticked, 0 not
};

struct Field {
    const char* control;
    Scale scale;
    uint16_t FusionParams::*word = nullptr; // 16-bit fields
    uint8_t FusionParams::*byte = nullptr;  // 8-bit fields

    uint32_t Get(const FusionParams& p) const { return word ? p.*word : p.*byte; }
    // Keeps the low bits that fit the field.
    void Set(FusionParams& p, int64_t value) const {
        if (word)
            p.*word = uint16_t(value);
        else
            p.*byte = uint8_t(value);
    }
};

inline const std::array<Field, 22> kFields = {{
    {"edtHeat", Scale::Heat, &FusionParams::Heat},
    {"edtCurrent1", Scale::Current, &FusionParams::Current1},
    {"edtTime1", Scale::Time, &FusionParams::Time1},
    {"edtCurrent2", Scale::Current, &FusionParams::Current2},
    {"edtTime2", Scale::Time, &FusionParams::Time2},
    {"edtCurrent3", Scale::Current, &FusionParams::Current3},
    {"edtTime3", Scale::Time, &FusionParams::Time3},
    {"edtCurrent4", Scale::Current, &FusionParams::Current4},
    {"edtTime4", Scale::Time, &FusionParams::Time4},
    {"edtCurrent5", Scale::Current, &FusionParams::Current5},
    {"edtTime5", Scale::Time, &FusionParams::Time5},
    {"edtPushLeft", Scale::AsIs, nullptr, &FusionParams::PushLeft},
    {"edtPushRight", Scale::AsIs, nullptr, &FusionParams::PushRight},
    {"edtAdjustLeft", Scale::AsIs, &FusionParams::AdjustLeft},
    {"edtAdjustRight", Scale::AsIs, &FusionParams::AdjustRight},
    {"cbpullpush", Scale::Flag, nullptr, &FusionParams::PullPush},
    {"cbClearDust", Scale::Flag, nullptr, &FusionParams::ClearDust},
    {"cbAdjustReset", Scale::Flag, nullptr, &FusionParams::AdjustReset},
    {"edtDustCurrent", Scale::Current, &FusionParams::DustCurrent},
    {"edtDustTime", Scale::AsIs, &FusionParams::DustTime},
    {"edtFusePushLength", Scale::AsIs, nullptr, &FusionParams::FusePushLength},
    {"edtFusePushSpeed", Scale::AsIs, nullptr, &FusionParams::FusePushSpeed},
}};

// Window value to block value (before it is cut to the field's width).
int64_t ToBlock(Scale scale, int32_t windowValue);
// Block value to window value.
int64_t ToWindow(Scale scale, uint32_t blockValue);

// The arc current word and the arc time word, as the arc test sends them.
uint16_t CurrentWord(int32_t windowCurrent);
uint16_t TimeWord(int32_t windowTime);

} // namespace params
