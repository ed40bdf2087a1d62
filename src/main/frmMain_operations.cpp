// Factory restore, arc test, core-alignment reset, service queries and the calibration table.
#include "main/frmMain.h"

#include "main/ButtonBusy.h"
#include "protocol/Frames.h"
#include "protocol/IntText.h"
#include "protocol/MessageBoxes.h"
#include "protocol/ParamScale.h"
#include "ui_frmMain.h"

void TfrmMain::btnGetDefaultClick() {
    if (!boxes_.Confirm(tr("你确定要恢复出厂设置数据到设备？")))
        return;
    const ButtonBusy busy(ui->btnGetDefault);
    const SplicerLink::Ticket ticket = link_.Begin();
    recorder_.Sending(record::Kind::Restore, [&] {
        SendControlRecord(frames::ControlRestoreFactory, 0, 0, 0);
        WaitPumping(500); // the splicer restores its set meanwhile
        if (!ticket.Dropped())
            SendCommand(frames::CmdReadParams, 0);
    });
}

void TfrmMain::btnFireTestClick() {
    const int32_t current = StrToInt(ui->edtCurrent3->text());
    const int32_t time = StrToInt(ui->edtTime3->text());
    const uint16_t currentWord = params::CurrentWord(current);
    const uint16_t timeWord = params::TimeWord(time);
    recorder_.Sending(
        record::Kind::ArcTest, [&] { SendTestRecord(uint32_t(timeWord) << 16 | currentWord); },
        {{QStringLiteral("current"), current},
         {QStringLiteral("time"), time},
         {QStringLiteral("currentWord"), currentWord},
         {QStringLiteral("timeWord"), timeWord}});
}

void TfrmMain::btnUDRestClick() {
    recorder_.Sending(record::Kind::CoreReset, [this] { SendCommand(frames::CmdCoreReset, 0); });
}

void TfrmMain::btnUDSetRSTClick() {
    if (boxes_.Confirm(tr("对准光纤后，按切换键，再次对准光纤。确定都对准了吗？")))
        recorder_.Sending(record::Kind::SetOrigin,
                          [this] { SendCommand(frames::CmdCoreResetOrigin, 0); });
}

void TfrmMain::btnSendClick() {
    if (!link_.State().HandshakeSeen) {
        boxes_.ShowMessage(tr("设备未连接！"));
        return;
    }
    // Each item carries its command code; with no item chosen there is none.
    const QVariant code = ui->cbCommand->currentData();
    if (!code.isValid())
        return;
    const record::TSending sending(recorder_);
    SendCommand(uint8_t(code.toUInt()), 0);
    recorder_.RecordQuery(uint8_t(code.toUInt()), sending);
}

void TfrmMain::btnCaliWriteClick() {
    const QLineEdit* entries[] = {ui->edtCali0020, ui->edtCali2050, ui->edtCali5080,
                                  ui->edtCali8000};
    for (size_t i = 0; i < CalibrationTable.size(); ++i)
        CalibrationTable[i] = int8_t(uint8_t(StrToInt(entries[i]->text())));
    SendFrame(frames::KindCalibration,
              QByteArray(reinterpret_cast<const char*>(CalibrationTable.data()), 4), 4);
}

void TfrmMain::btnCaliReadClick() {
    SendCommand(frames::CmdReadCalibration, 0);
}
