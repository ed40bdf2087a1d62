#pragma once

#include "protocol/FusionParams.h"
#include "protocol/ParamScale.h"

#include <array>
#include <cstdint>

// How the window's 22 parameter controls map onto FusionParams, in block order.
namespace params {

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

} // namespace params
