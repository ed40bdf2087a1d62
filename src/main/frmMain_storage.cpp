// The parameter set kept in section "Param" of config.ini.
#include "main/frmMain.h"

#include "config/Config.h"
#include "main/SpinEdit.h"
#include "protocol/IntText.h"
#include "protocol/MessageBoxes.h"
#include "ui_frmMain.h"

#include <QCheckBox>

namespace {

const QString kSection = QStringLiteral("Param");

struct StoredKey {
    const char* key;
    const char* control;
};

// In the order the save writes them; keys 16 to 18 are the check boxes.
constexpr StoredKey kKeys[22] = {
    {"Heat", "edtHeat"},
    {"Current1", "edtCurrent1"},
    {"Current2", "edtCurrent2"},
    {"Current3", "edtCurrent3"},
    {"Current4", "edtCurrent4"},
    {"Current5", "edtCurrent5"},
    {"Time1", "edtTime1"},
    {"Time2", "edtTime2"},
    {"Time3", "edtTime3"},
    {"Time4", "edtTime4"},
    {"Time5", "edtTime5"},
    {"PushLeft", "edtPushLeft"},
    {"PushRight", "edtPushRight"},
    {"AdjustLeft", "edtAdjustLeft"},
    {"AdjustRight", "edtAdjustRight"},
    {"cbpullpush", "cbpullpush"},
    {"cbClearDust", "cbClearDust"},
    {"cbAdjustReset", "cbAdjustReset"},
    {"edtDustCurrent", "edtDustCurrent"},
    {"edtDustTime", "edtDustTime"},
    {"edtFusePushLength", "edtFusePushLength"},
    {"edtFusePushSpeed", "edtFusePushSpeed"},
};
constexpr int kFirstCheckBox = 15;
constexpr int kAfterCheckBoxes = 18;

// Firmware 138 and later counts core reset amounts and the push length eight times finer.
constexpr uint16_t kFineScaleVersion = 138;

int32_t toFirmwareScale(int32_t value, int32_t coarseLimit, bool fine) {
    if (fine)
        return value <= coarseLimit ? int32_t(int64_t(value) * 8) : value;
    return value > coarseLimit ? int32_t(RoundHalfEven(value / 8.0)) : value;
}

} // namespace

void TfrmMain::btnSaveClick() {
    if (!boxes_.Confirm(QStringLiteral("你需要保存当前参数到文件吗？")))
        return;
    for (int i = 0; i < 22; ++i) {
        const QString key = QLatin1String(kKeys[i].key);
        if (i >= kFirstCheckBox && i < kAfterCheckBoxes)
            config::WriteConfigBool(kSection, key, checkBox(kKeys[i].control)->isChecked());
        else
            config::WriteConfigString(kSection, key, fieldText(kKeys[i].control));
    }
}

void TfrmMain::btnOpenClick() {
    ResetParamColours();
    const auto loadTexts = [&](int from, int to) {
        for (int i = from; i < to; ++i)
            setFieldText(kKeys[i].control,
                         config::ReadConfigString(kSection, QLatin1String(kKeys[i].key)));
    };
    loadTexts(0, kFirstCheckBox);
    int32_t left = StrToInt(config::ReadConfigString(kSection, QStringLiteral("AdjustLeft")));
    int32_t right = StrToInt(config::ReadConfigString(kSection, QStringLiteral("AdjustRight")));
    for (int i = kFirstCheckBox; i < kAfterCheckBoxes; ++i)
        checkBox(kKeys[i].control)
            ->setChecked(config::ReadConfigBool(kSection, QLatin1String(kKeys[i].key)));
    loadTexts(kAfterCheckBoxes, 22);
    int32_t push =
        StrToInt(config::ReadConfigString(kSection, QStringLiteral("edtFusePushLength")));

    const std::optional<uint16_t> version = link_.AskVersion();
    const bool fine = version >= kFineScaleVersion;
    left = toFirmwareScale(left, 250, fine);
    right = toFirmwareScale(right, 250, fine);
    push = toFirmwareScale(push, 16, fine);
    setFieldText("edtAdjustLeft", QString::number(left));
    setFieldText("edtAdjustRight", QString::number(right));
    setFieldText("edtFusePushLength", QString::number(push));
    if (version > 0)
        boxes_.Acknowledge(QStringLiteral("参数加载完毕！"));
}
