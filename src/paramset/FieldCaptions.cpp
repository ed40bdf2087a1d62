#include "paramset/FieldCaptions.h"

#include <QCoreApplication>

#include <cstring>

namespace params {
namespace {

struct Caption {
    const char* control;
    const char* caption;
    const char* unit;
};

constexpr Caption kCaptions[] = {
    {"edtHeat", QT_TRANSLATE_NOOP("FieldCaptions", "加热时间"), "s"},
    {"edtCurrent1", QT_TRANSLATE_NOOP("FieldCaptions", "第一组熔接电流"), ""},
    {"edtTime1", QT_TRANSLATE_NOOP("FieldCaptions", "第一组熔接时长"), "0.1s"},
    {"edtCurrent2", QT_TRANSLATE_NOOP("FieldCaptions", "第二组熔接电流"), ""},
    {"edtTime2", QT_TRANSLATE_NOOP("FieldCaptions", "第二组熔接时长"), "0.1s"},
    {"edtCurrent3", QT_TRANSLATE_NOOP("FieldCaptions", "第三组熔接电流"), ""},
    {"edtTime3", QT_TRANSLATE_NOOP("FieldCaptions", "第三组熔接时长"), "0.1s"},
    {"edtCurrent4", QT_TRANSLATE_NOOP("FieldCaptions", "第四组熔接电流"), ""},
    {"edtTime4", QT_TRANSLATE_NOOP("FieldCaptions", "第四组熔接时长"), "0.1s"},
    {"edtCurrent5", QT_TRANSLATE_NOOP("FieldCaptions", "第五组熔接电流"), ""},
    {"edtTime5", QT_TRANSLATE_NOOP("FieldCaptions", "第五组熔接时长"), "0.1s"},
    {"edtPushLeft", QT_TRANSLATE_NOOP("FieldCaptions", "右推进量"), ""},
    {"edtPushRight", QT_TRANSLATE_NOOP("FieldCaptions", "左推进量"), ""},
    {"edtAdjustLeft", QT_TRANSLATE_NOOP("FieldCaptions", "右芯复位量"), ""},
    {"edtAdjustRight", QT_TRANSLATE_NOOP("FieldCaptions", "左芯复位量"), ""},
    {"cbpullpush", QT_TRANSLATE_NOOP("FieldCaptions", "主动推进"), ""},
    {"cbClearDust", QT_TRANSLATE_NOOP("FieldCaptions", "除尘"), ""},
    {"cbAdjustReset", QT_TRANSLATE_NOOP("FieldCaptions", "调芯复位"), ""},
    {"edtDustCurrent", QT_TRANSLATE_NOOP("FieldCaptions", "除尘电流"), ""},
    {"edtDustTime", QT_TRANSLATE_NOOP("FieldCaptions", "除尘时长"), "0.01s"},
    {"edtFusePushLength", QT_TRANSLATE_NOOP("FieldCaptions", "熔接推进量"), ""},
    {"edtFusePushSpeed", QT_TRANSLATE_NOOP("FieldCaptions", "熔接推进速度"), ""},
};
static_assert(std::size(kCaptions) == kFields.size());

const Caption& captionOf(const Field& f) {
    for (const Caption& c : kCaptions)
        if (std::strcmp(c.control, f.control) == 0)
            return c;
    return kCaptions[0]; // every field has a row: the assertion above counts them
}

} // namespace

QString FieldCaption(const Field& f) {
    return QCoreApplication::translate("FieldCaptions", captionOf(f).caption);
}

QString FieldUnit(const Field& f) {
    return QString::fromLatin1(captionOf(f).unit);
}

} // namespace params
