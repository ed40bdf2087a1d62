// Finding the splicer among the converter ports, connecting and disconnecting: the link searches,
// the window shows the connection.
#include "main/frmMain.h"

#include "protocol/ResponseText.h"
#include "ui_frmMain.h"

#include <QStringList>

void TfrmMain::FindDevice() {
    link_.FindDevice();
}

void TfrmMain::DisconnectDevice() {
    link_.DisconnectDevice();
}

void TfrmMain::showConnected() {
    ui->actDevConnect->setChecked(true);
    SetStatusText(0, tr("已连接设备"));
    searchFailed_ = false;
    showNote();
}

void TfrmMain::showDisconnected() {
    ui->actDevConnect->setChecked(false);
    SetStatusText(0, tr("已断开设备"));
    showNote();
}

// The note panel: the last operation recorded and, while connected, where and to what; after a
// search that found nothing, where to look for the reason.
void TfrmMain::showNote() {
    QStringList parts;
    if (!lastRecorded_.isEmpty())
        parts << lastRecorded_;
    if (link_.Connected())
        parts << tr("已连接：%1（%2），设备ID %3")
                     .arg(QString::fromStdString(link_.ComPort().Port()),
                          QString::fromStdString(link_.ComPort().PortPath()),
                          DeviceIdText(link_.State().DeviceId));
    else if (searchFailed_)
        parts << tr("没有熔接机：见 工具 → 连接帮助");
    SetStatusNote(parts.join(QStringLiteral("  |  ")));
}

void TfrmMain::showSearchFailed() {
    searchFailed_ = true;
    showNote();
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
