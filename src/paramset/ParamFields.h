#pragma once

#include "protocol/FusionParams.h"
#include "protocol/ParamScale.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The window's parameter controls, one row each, in block order: where each shows its value,
// under which key the saved set keeps it, and which field of FusionParams it fills.
namespace params {

struct Field {
    const char* control;
    const char* key; // in section "Param" of config.ini
    int saved;       // position of the key in the saved set, from 1
    Scale scale;
    // What the window's spin field takes, in its units (a check box: 0 or 1); in the connected
    // firmware's scale for the values kept in either.
    int minimum;
    int maximum;
    uint16_t FusionParams::*word = nullptr; // 16-bit fields
    uint8_t FusionParams::*byte = nullptr;  // 8-bit fields
    // Stored in either firmware scale: loading brings it into the connected firmware's, where
    // a value of at most this is coarse (0: not converted).
    int32_t coarseLimit = 0;

    bool IsFlag() const { return scale == Scale::Flag; }
    uint32_t Get(const FusionParams& p) const { return word ? p.*word : p.*byte; }
    // The value as the field shows it after a parameter answer, in decimal (a check box's byte
    // as it came, so 2 tells itself from 1).
    QString WindowText(const FusionParams& p) const {
        return QString::number(ToWindow(scale, Get(p)));
    }
    // The field lies within the first bytes of the block.
    bool HeldIn(int bytes) const;
    // Keeps the low bits that fit the field.
    void Set(FusionParams& p, int64_t value) const {
        if (word)
            p.*word = uint16_t(value);
        else
            p.*byte = uint8_t(value);
    }
};

using Block = FusionParams;
inline const auto kFields = std::to_array<Field>({
    {"edtHeat", "Heat", 1, Scale::Heat, 10, 180, &Block::Heat},
    {"edtCurrent1", "Current1", 2, Scale::Current, 1, 99, &Block::Current1},
    {"edtTime1", "Time1", 7, Scale::Time, 10, 150, &Block::Time1},
    {"edtCurrent2", "Current2", 3, Scale::Current, 1, 99, &Block::Current2},
    {"edtTime2", "Time2", 8, Scale::Time, 10, 150, &Block::Time2},
    {"edtCurrent3", "Current3", 4, Scale::Current, 1, 99, &Block::Current3},
    {"edtTime3", "Time3", 9, Scale::Time, 10, 150, &Block::Time3},
    {"edtCurrent4", "Current4", 5, Scale::Current, 1, 99, &Block::Current4},
    {"edtTime4", "Time4", 10, Scale::Time, 10, 150, &Block::Time4},
    {"edtCurrent5", "Current5", 6, Scale::Current, 1, 99, &Block::Current5},
    {"edtTime5", "Time5", 11, Scale::Time, 10, 150, &Block::Time5},
    {"edtPushLeft", "PushLeft", 12, Scale::AsIs, 0, 250, nullptr, &Block::PushLeft},
    {"edtPushRight", "PushRight", 13, Scale::AsIs, 0, 250, nullptr, &Block::PushRight},
    {"edtAdjustLeft", "AdjustLeft", 14, Scale::AsIs, 0, 2000, &Block::AdjustLeft, nullptr, 250},
    {"edtAdjustRight", "AdjustRight", 15, Scale::AsIs, 0, 2000, &Block::AdjustRight, nullptr, 250},
    {"cbpullpush", "cbpullpush", 16, Scale::Flag, 0, 1, nullptr, &Block::PullPush},
    {"cbClearDust", "cbClearDust", 17, Scale::Flag, 0, 1, nullptr, &Block::ClearDust},
    {"cbAdjustReset", "cbAdjustReset", 18, Scale::Flag, 0, 1, nullptr, &Block::AdjustReset},
    {"edtDustCurrent", "edtDustCurrent", 19, Scale::Current, 0, 60, &Block::DustCurrent},
    {"edtDustTime", "edtDustTime", 20, Scale::AsIs, 0, 30, &Block::DustTime},
    {"edtFusePushLength", "edtFusePushLength", 21, Scale::AsIs, 0, 100, nullptr,
     &Block::FusePushLength, 16},
    {"edtFusePushSpeed", "edtFusePushSpeed", 22, Scale::AsIs, 2, 30, nullptr,
     &Block::FusePushSpeed},
});

// The rows in the order of the saved set.
std::vector<const Field*> InSavedOrder();

} // namespace params
