// Command frames, the timed wait and the receive path belong to the link; the window shows what
// the link reports.
#include "main/frmMain.h"

#include "protocol/Firmware.h"
#include "protocol/PrintableText.h"
#include "protocol/ResponseText.h"
#include "ui_frmMain.h"

void TfrmMain::SendFrame(uint8_t kind, const QByteArray& payload, int count) {
    link_.SendFrame(kind, payload, count);
}

void TfrmMain::SendCommand(uint8_t code, uint8_t argument) {
    link_.SendCommand(code, argument);
}

void TfrmMain::SendControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w) {
    link_.SendControlRecord(b0, b1, b2, w);
}

void TfrmMain::SendTestRecord(uint32_t value) {
    link_.SendTestRecord(value);
}

void TfrmMain::WaitPumping(int milliseconds) {
    link_.Wait(milliseconds);
}

void TfrmMain::ComDataPacket1Packet(serial::TComDataPacket& sender, const QByteArray& str) {
    link_.ComDataPacket1Packet(sender, str);
}

void TfrmMain::showVersion(uint16_t version) {
    SetStatusText(1, VersionText(version));
    ui->btnGetDefault->setVisible(firmware::TakesFullBlock(version));
    ui->cboxSaveDefault->setVisible(false);
    ui->cboxSaveDefault->setChecked(false);
}

void TfrmMain::showDeviceInfo() {
    // Where a technician looks for the device: the tip of the version panel.
    const DeviceState& state = link_.State();
    ui->StatusPanel1->setToolTip(tr("ID: %1\n熔接次数: %2\n当前组别: %3")
                                     .arg(DeviceIdText(state.DeviceId),
                                          QString::number(state.FusionCount),
                                          QString::number(state.CurrentGroup)));
    showNote();
}
