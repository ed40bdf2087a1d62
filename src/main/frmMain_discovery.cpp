// Finding the splicer among the converter ports, connecting and disconnecting: the link searches,
// the window shows the connection.
#include "main/frmMain.h"

#include "ui_frmMain.h"

void TfrmMain::FindDevice() {
    link_.FindDevice();
}

void TfrmMain::DisconnectDevice() {
    link_.DisconnectDevice();
}

void TfrmMain::showConnected() {
    ui->actDevConnect->setChecked(true);
    SetStatusText(0, tr("已连接设备"));
    showRecordNote();
}

void TfrmMain::showDisconnected() {
    ui->actDevConnect->setChecked(false);
    SetStatusText(0, tr("已断开设备"));
    showRecordNote();
}

void TfrmMain::FormShow() {
    FindDevice();
}

void TfrmMain::actDevConnectExecute() {
    link_.Reconnect();
}

void TfrmMain::actDevDisConnectExecute() {
    DisconnectDevice();
}

void TfrmMain::MSG_CH341(int32_t value) {
    link_.DeviceNotified(value);
}
