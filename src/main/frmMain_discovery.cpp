// Finding the splicer among the converter ports, connecting and disconnecting: the link searches,
// the window shows the connection.
#include "main/frmMain.h"

#include "protocol/ResponseText.h"
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
    showConnectionNote();
}

void TfrmMain::showDisconnected() {
    ui->actDevConnect->setChecked(false);
    SetStatusText(0, tr("已断开设备"));
    SetStatusNote(QString());
}

void TfrmMain::showConnectionNote() {
    const std::string port = link_.ComPort().Port();
    SetStatusNote(tr("已连接：%1（%2），设备ID %3")
                      .arg(QString::fromStdString(port),
                           QString::fromStdString(link_.ComPort().PortPath()),
                           DeviceIdText(link_.State().DeviceId)));
}

void TfrmMain::showSearchFailed() {
    SetStatusNote(tr("没有熔接机：见 工具 → 连接帮助"));
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
