#include "paramset/FieldCaptions.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace params {
namespace {

struct FieldCaption {
    const char* control;
    const char* stage;   // "第一组：" for the five arc stages, else empty
    const char* caption; // as the window's label
    const char* unit;    // empty without a unit label
};

constexpr const char* kStage1 = QT_TRANSLATE_NOOP("TfrmMain", "第一组：");
constexpr const char* kStage2 = QT_TRANSLATE_NOOP("TfrmMain", "第二组：");
constexpr const char* kStage3 = QT_TRANSLATE_NOOP("TfrmMain", "第三组：");
constexpr const char* kStage4 = QT_TRANSLATE_NOOP("TfrmMain", "第四组：");
constexpr const char* kStage5 = QT_TRANSLATE_NOOP("TfrmMain", "第五组：");
constexpr const char* kCurrent = QT_TRANSLATE_NOOP("TfrmMain", "熔接电流");
constexpr const char* kTime = QT_TRANSLATE_NOOP("TfrmMain", "熔接时长");

constexpr FieldCaption kCaptions[] = {
    {"edtHeat", "", QT_TRANSLATE_NOOP("TfrmMain", "加热时间："), "s"},
    {"edtCurrent1", kStage1, kCurrent, ""},
    {"edtTime1", kStage1, kTime, "0.1s"},
    {"edtCurrent2", kStage2, kCurrent, ""},
    {"edtTime2", kStage2, kTime, "0.1s"},
    {"edtCurrent3", kStage3, kCurrent, ""},
    {"edtTime3", kStage3, kTime, "0.1s"},
    {"edtCurrent4", kStage4, kCurrent, ""},
    {"edtTime4", kStage4, kTime, "0.1s"},
    {"edtCurrent5", kStage5, kCurrent, ""},
    {"edtTime5", kStage5, kTime, "0.1s"},
    {"edtPushLeft", "", QT_TRANSLATE_NOOP("TfrmMain", "右推进量"), ""},
    {"edtPushRight", "", QT_TRANSLATE_NOOP("TfrmMain", "左推进量"), ""},
    {"edtAdjustLeft", "", QT_TRANSLATE_NOOP("TfrmMain", "右芯复位量"), ""},
    {"edtAdjustRight", "", QT_TRANSLATE_NOOP("TfrmMain", "左芯复位量"), ""},
    {"cbpullpush", "", QT_TRANSLATE_NOOP("TfrmMain", "主动推进"), ""},
    {"cbClearDust", "", QT_TRANSLATE_NOOP("TfrmMain", "除尘"), ""},
    {"cbAdjustReset", "", QT_TRANSLATE_NOOP("TfrmMain", "调芯复位"), ""},
    {"edtDustCurrent", "", QT_TRANSLATE_NOOP("TfrmMain", "除尘电流"), ""},
    {"edtDustTime", "", QT_TRANSLATE_NOOP("TfrmMain", "除尘时长"), "0.01s"},
    {"edtFusePushLength", "", QT_TRANSLATE_NOOP("TfrmMain", "熔接推进量"), ""},
    {"edtFusePushSpeed", "", QT_TRANSLATE_NOOP("TfrmMain", "熔接推进速度"), ""},
};

const FieldCaption& captionOf(const Field& f) {
    const auto row = std::ranges::find_if(
        kCaptions, [&](const FieldCaption& c) { return std::strcmp(c.control, f.control) == 0; });
    // Every row of kFields has its caption: a field without one is a fault of this table.
    Q_ASSERT(row != std::end(kCaptions));
    return *row;
}

// A label as the window shows it, without the colon that leads to its field.
QString label(const char* text) {
    QString shown = QCoreApplication::translate("TfrmMain", text);
    for (const QString& colon : {QStringLiteral("："), QStringLiteral(":")})
        if (shown.endsWith(colon))
            shown.chop(colon.size());
    return shown;
}

} // namespace

QString CaptionText(const Field& f) {
    const FieldCaption& c = captionOf(f);
    return *c.stage ? label(c.stage) + ' ' + label(c.caption) : label(c.caption);
}

QString UnitText(const Field& f) {
    return QString::fromLatin1(captionOf(f).unit);
}

} // namespace params
