// Finding the splicer among the converter ports, connecting and disconnecting.
#include "main/frmMain.h"

#include "ch341/ConverterLibrary.h"
#include "main/MessageBoxes.h"
#include "protocol/Frames.h"
#include "ui_frmMain.h"

#include <QScopeGuard>

#include <string>

namespace {

constexpr int kLastPort = 21;

} // namespace

void TfrmMain::FindDevice() {
    // A search asked for while one runs (from inside one of its waits) is not nested in it: it
    // runs once the running search has returned.
    if (searching_) {
        if (pendingSearch_ == PendingSearch::None)
            pendingSearch_ = PendingSearch::Search;
        return;
    }
    searching_ = true;
    const auto done = qScopeGuard([this] { searching_ = false; });
    runSearch();
    while (pendingSearch_ != PendingSearch::None) {
        const PendingSearch pending = pendingSearch_;
        pendingSearch_ = PendingSearch::None;
        const bool connected = ComPort.Connected() && State.HandshakeSeen;
        if (pending == PendingSearch::Reconnect)
            DisconnectDevice();
        else if (connected)
            continue; // a plug notification while connected leaves the connection alone
        runSearch();
    }
}

void TfrmMain::runSearch() {
    for (int n = 1; n <= kLastPort; ++n) {
        // The window was closed inside one of the waits: nothing is left to search for.
        if (closed_)
            return;
        const std::string number = std::to_string(n);
        if (!converter_.CH341PtNameIsCH341("\\\\.\\COM" + number))
            continue;
        ComPort.SetPort("COM" + number);
        const bool wasOpen = ComPort.Connected();
        if (!wasOpen) {
            converter_.CH341PtSetDevNotify(nullptr, &TfrmMain::DeviceNotifyCallback);
            ComPort.Open();
        }
        SendCommand(frames::CmdHandshake, frames::kHandshakeArgument);
        WaitPumping(200);
        if (State.HandshakeSeen) {
            State.PortNumber = n;
            ui->actDevConnect->setChecked(true);
            SetStatusText(0, QStringLiteral("已连接设备"));
            QueryParams();
            return;
        }
        if (!wasOpen)
            ComPort.Close();
    }
    boxes_.ShowMessage(QStringLiteral("未发现有设备连接！"));
}

void TfrmMain::DisconnectDevice() {
    if (!ComPort.Connected())
        return;
    ComPort.Close();
    State.HandshakeSeen = false;
    ui->actDevConnect->setChecked(false);
    SetStatusText(0, QStringLiteral("已断开设备"));
}

void TfrmMain::FormShow() {
    FindDevice();
}

void TfrmMain::actDevConnectExecute() {
    if (searching_) {
        pendingSearch_ = PendingSearch::Reconnect;
        return;
    }
    DisconnectDevice();
    FindDevice();
}

void TfrmMain::actDevDisConnectExecute() {
    DisconnectDevice();
}

void TfrmMain::MSG_CH341(int32_t value) {
    if (value >= 0) {
        // Only a search from the disconnected state may take a port: a port that did not answer
        // the handshake must never count as the splicer's.
        if (ComPort.Connected() && State.HandshakeSeen)
            return;
        FindDevice();
    } else if (value == -State.PortNumber) {
        DisconnectDevice();
    }
}
