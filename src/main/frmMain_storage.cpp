// The parameter set kept in section "Param" of config.ini.
#include "main/frmMain.h"

#include "config/Config.h"
#include "protocol/MessageBoxes.h"

#include <QCheckBox>

void TfrmMain::btnSaveClick() {
    if (!boxes_.Confirm(tr("你需要保存当前参数到文件吗？")))
        return;
    params::SaveParamSet(*this);
    recorder_.RecordSet(record::Kind::Save, windowSet());
}

void TfrmMain::btnOpenClick() {
    ResetParamColours();
    const SplicerLink::Ticket ticket = link_.Begin();
    const std::optional<uint16_t> version =
        params::LoadParamSet(config::ReadIniDocument(config::ConfigPath()), *this,
                             [this] { return link_.AskVersion(); });
    recorder_.RecordSet(record::Kind::Load, windowSet());
    // Closed or disconnected in the version's wait: the load ends quietly.
    if (version > 0 && !ticket.Dropped())
        boxes_.Acknowledge(tr("参数加载完毕！"));
}

QString TfrmMain::Text(const params::Field& f) const {
    if (f.IsFlag())
        return params::FlagText(checkBox(f.control)->isChecked());
    return fieldText(f.control);
}

void TfrmMain::SetText(const params::Field& f, const QString& text) {
    if (f.IsFlag())
        checkBox(f.control)->setChecked(text == params::FlagText(true));
    else
        setFieldText(f.control, text);
}
