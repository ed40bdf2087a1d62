// The parameter block and its fields: collecting, showing with change marks, read and write.
#include "main/frmMain.h"

#include "main/ButtonBusy.h"
#include "main/SpinEdit.h"
#include "protocol/Frames.h"
#include "protocol/IntText.h"
#include "protocol/MessageBoxes.h"
#include "ui_frmMain.h"

#include <QCheckBox>

namespace {

const QColor kUnchanged(0, 128, 0);
const QColor kChanged(255, 0, 0);

void setFontColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

} // namespace

void TfrmMain::CollectParams() {
    Params = params::BlockFromSet(*this);
}

void TfrmMain::ShowParamAnswer(const FusionParams& record) {
    for (const params::Field& f : params::kFields) {
        const QString text = f.WindowText(record);
        QWidget* w = control(f.control);
        MarkField(w, text);
        if (f.IsFlag())
            static_cast<QCheckBox*>(w)->setChecked(f.Get(record) != 0);
        else
            static_cast<TSpinEdit*>(w)->setText(text);
    }
}

void TfrmMain::MarkField(QWidget* w, const QString& newText) {
    bool same;
    if (auto* box = qobject_cast<QCheckBox*>(w))
        same = (box->isChecked() ? 1 : 0) == uint8_t(StrToInt(newText));
    else
        same = static_cast<TSpinEdit*>(w)->text() == newText;
    setFontColour(w, same ? kUnchanged : kChanged);
}

void TfrmMain::ResetParamColours() {
    for (const params::Field& f : params::kFields)
        setFontColour(control(f.control), Qt::black);
}

void TfrmMain::btnReadClick() {
    SendCommand(frames::CmdReadParams, 0);
}

void TfrmMain::btnWriteClick() {
    if (!boxes_.Confirm(SplicerLink::tr(SplicerLink::kConfirmWrite)))
        return;
    const ButtonBusy busy(ui->btnWrite);
    ResetParamColours();
    CollectParams();
    const SplicerLink::Ticket ticket = link_.Begin();
    const record::TSending sending(recorder_);
    try {
        link_.WriteParams(Params);
        // Disconnected meanwhile: the write ends there, quietly.
        if (!ticket.Dropped() && ui->cboxSaveDefault->isChecked()) {
            SendControlRecord(frames::ControlSaveAsFactory, 0, 0, 0);
            WaitPumping(400);
        }
    } catch (const std::exception& e) {
        recorder_.RecordWrite(sending, QString::fromUtf8(e.what()));
        throw;
    }
    recorder_.RecordWrite(sending);
}
