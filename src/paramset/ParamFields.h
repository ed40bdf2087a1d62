#pragma once

#include "protocol/FusionParams.h"
#include "protocol/ParamScale.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <vector>

// The window's parameter controls, one row each, in block order: where each shows its value,
// under which key the saved set keeps it, and which field of FusionParams it fills.
namespace params {

struct Field {
    const char* control;
    const char* key;     // in section "Param" of config.ini
    const char* caption; // the field's label as the window's rows read, translated where shown
    const char* unit;    // the unit beside the field, "" for none
    int saved;           // position of the key in the saved set, from 1
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
    {"edtHeat", "Heat", QT_TRANSLATE_NOOP("ParamFields", "加热时间"), "s", 1, Scale::Heat, 10, 180,
     &Block::Heat},
    {"edtCurrent1", "Current1", QT_TRANSLATE_NOOP("ParamFields", "第一组熔接电流"), "", 2,
     Scale::Current, 1, 99, &Block::Current1},
    {"edtTime1", "Time1", QT_TRANSLATE_NOOP("ParamFields", "第一组熔接时长"), "0.1s", 7,
     Scale::Time, 10, 150, &Block::Time1},
    {"edtCurrent2", "Current2", QT_TRANSLATE_NOOP("ParamFields", "第二组熔接电流"), "", 3,
     Scale::Current, 1, 99, &Block::Current2},
    {"edtTime2", "Time2", QT_TRANSLATE_NOOP("ParamFields", "第二组熔接时长"), "0.1s", 8,
     Scale::Time, 10, 150, &Block::Time2},
    {"edtCurrent3", "Current3", QT_TRANSLATE_NOOP("ParamFields", "第三组熔接电流"), "", 4,
     Scale::Current, 1, 99, &Block::Current3},
    {"edtTime3", "Time3", QT_TRANSLATE_NOOP("ParamFields", "第三组熔接时长"), "0.1s", 9,
     Scale::Time, 10, 150, &Block::Time3},
    {"edtCurrent4", "Current4", QT_TRANSLATE_NOOP("ParamFields", "第四组熔接电流"), "", 5,
     Scale::Current, 1, 99, &Block::Current4},
    {"edtTime4", "Time4", QT_TRANSLATE_NOOP("ParamFields", "第四组熔接时长"), "0.1s", 10,
     Scale::Time, 10, 150, &Block::Time4},
    {"edtCurrent5", "Current5", QT_TRANSLATE_NOOP("ParamFields", "第五组熔接电流"), "", 6,
     Scale::Current, 1, 99, &Block::Current5},
    {"edtTime5", "Time5", QT_TRANSLATE_NOOP("ParamFields", "第五组熔接时长"), "0.1s", 11,
     Scale::Time, 10, 150, &Block::Time5},
    {"edtPushLeft", "PushLeft", QT_TRANSLATE_NOOP("ParamFields", "右推进量"), "", 12, Scale::AsIs,
     0, 250, nullptr, &Block::PushLeft},
    {"edtPushRight", "PushRight", QT_TRANSLATE_NOOP("ParamFields", "左推进量"), "", 13, Scale::AsIs,
     0, 250, nullptr, &Block::PushRight},
    {"edtAdjustLeft", "AdjustLeft", QT_TRANSLATE_NOOP("ParamFields", "右芯复位量"), "", 14,
     Scale::AsIs, 0, 2000, &Block::AdjustLeft, nullptr, 250},
    {"edtAdjustRight", "AdjustRight", QT_TRANSLATE_NOOP("ParamFields", "左芯复位量"), "", 15,
     Scale::AsIs, 0, 2000, &Block::AdjustRight, nullptr, 250},
    {"cbpullpush", "cbpullpush", QT_TRANSLATE_NOOP("ParamFields", "主动推进"), "", 16, Scale::Flag,
     0, 1, nullptr, &Block::PullPush},
    {"cbClearDust", "cbClearDust", QT_TRANSLATE_NOOP("ParamFields", "除尘"), "", 17, Scale::Flag, 0,
     1, nullptr, &Block::ClearDust},
    {"cbAdjustReset", "cbAdjustReset", QT_TRANSLATE_NOOP("ParamFields", "调芯复位"), "", 18,
     Scale::Flag, 0, 1, nullptr, &Block::AdjustReset},
    {"edtDustCurrent", "edtDustCurrent", QT_TRANSLATE_NOOP("ParamFields", "除尘电流"), "", 19,
     Scale::Current, 0, 60, &Block::DustCurrent},
    {"edtDustTime", "edtDustTime", QT_TRANSLATE_NOOP("ParamFields", "除尘时长"), "0.01s", 20,
     Scale::AsIs, 0, 30, &Block::DustTime},
    {"edtFusePushLength", "edtFusePushLength", QT_TRANSLATE_NOOP("ParamFields", "熔接推进量"), "",
     21, Scale::AsIs, 0, 100, nullptr, &Block::FusePushLength, 16},
    {"edtFusePushSpeed", "edtFusePushSpeed", QT_TRANSLATE_NOOP("ParamFields", "熔接推进速度"), "",
     22, Scale::AsIs, 2, 30, nullptr, &Block::FusePushSpeed},
});

// The row's place in kFields.
inline size_t IndexOf(const Field& f) {
    return size_t(&f - kFields.data());
}

// The rows in the order of the saved set.
std::vector<const Field*> InSavedOrder();

} // namespace params
