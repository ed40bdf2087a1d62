// The parameter set kept in section "Param" of config.ini.
#include "main/frmMain.h"

#include "config/Config.h"
#include "main/ParamFields.h"
#include "main/SpinEdit.h"
#include "protocol/IntText.h"
#include "protocol/MessageBoxes.h"
#include "ui_frmMain.h"

#include <QCheckBox>

namespace {

const QString kSection = QStringLiteral("Param");

// Firmware 138 and later counts core reset amounts and the push length eight times finer.
constexpr uint16_t kFineScaleVersion = 138;

int32_t toFirmwareScale(int32_t value, int32_t coarseLimit, bool fine) {
    if (fine)
        return value <= coarseLimit ? int32_t(int64_t(value) * 8) : value;
    return value > coarseLimit ? int32_t(RoundHalfEven(value / 8.0)) : value;
}

QString key(const params::Field& f) {
    return QLatin1String(f.key);
}

} // namespace

void TfrmMain::btnSaveClick() {
    if (!boxes_.Confirm(QStringLiteral("你需要保存当前参数到文件吗？")))
        return;
    for (const params::Field* f : params::InSavedOrder()) {
        if (f->IsFlag())
            config::WriteConfigBool(kSection, key(*f), checkBox(f->control)->isChecked());
        else
            config::WriteConfigString(kSection, key(*f), fieldText(f->control));
    }
}

void TfrmMain::btnOpenClick() {
    ResetParamColours();
    // The values kept in either firmware scale are read again as integers once the fields
    // before the next check box (or the last fields) are loaded: a text that is not an integer
    // stops the load there.
    std::vector<const params::Field*> unread;
    std::vector<std::pair<const params::Field*, int32_t>> scaled;
    const auto readUnread = [&] {
        for (const params::Field* f : unread)
            scaled.emplace_back(f, StrToInt(config::ReadConfigString(kSection, key(*f))));
        unread.clear();
    };
    for (const params::Field* f : params::InSavedOrder()) {
        if (f->IsFlag()) {
            readUnread();
            checkBox(f->control)->setChecked(config::ReadConfigBool(kSection, key(*f)));
            continue;
        }
        setFieldText(f->control, config::ReadConfigString(kSection, key(*f)));
        if (f->coarseLimit != 0)
            unread.push_back(f);
    }
    readUnread();

    const std::optional<uint16_t> version = link_.AskVersion();
    const bool fine = version >= kFineScaleVersion;
    for (const auto& [f, value] : scaled)
        setFieldText(f->control, QString::number(toFirmwareScale(value, f->coarseLimit, fine)));
    if (version > 0)
        boxes_.Acknowledge(QStringLiteral("参数加载完毕！"));
}
