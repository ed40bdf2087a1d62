// Command frames, the timed wait, and the receive path: frame scan and dispatch.
#include "frmMain.h"

#include "Frames.h"
#include "MessageBoxes.h"
#include "ResponseText.h"
#include "ui_frmMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

uint16_t le16(const QByteArray& payload, int at) {
    return uint16_t(uint8_t(payload[at]) | (uint8_t(payload[at + 1]) << 8));
}

} // namespace

void TfrmMain::writeFrame(const QByteArray& frame) {
    // Only the port's open state counts, not a handshake: discovery sends its handshake on a
    // freshly opened port. The caller carries on either way.
    if (!ComPort.Connected()) {
        boxes_.ShowMessage(kNotConnected);
        return;
    }
    ComPort.WriteStr(frame);
    emit feed_.frameSent(frame);
}

void TfrmMain::SendFrame(uint8_t kind, const QByteArray& payload, int count) {
    writeFrame(frames::KindFirst(kind, payload, count));
}

void TfrmMain::SendCommand(uint8_t code, uint8_t argument) {
    const char payload[2] = {char(code), char(argument)};
    SendFrame(frames::KindCommand, QByteArray(payload, 2), 2);
}

void TfrmMain::SendParamBlock(const FusionParams& block, int count) {
    SendFrame(frames::KindParamBlock, block.Encode(), count);
}

void TfrmMain::SendControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w) {
    writeFrame(frames::ControlRecord(b0, b1, b2, w));
}

void TfrmMain::SendTestRecord(uint32_t value) {
    writeFrame(frames::TestRecord(value));
}

void TfrmMain::WaitPumping(int milliseconds) {
    // Events keep being handled until the time is up: an answer does not end the wait early,
    // and a handler that runs long inside it holds it. The clock is monotonic.
    if (milliseconds <= 0)
        return;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = milliseconds; left > 0; left = milliseconds - clock.elapsed()) {
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(left), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        // The application is quitting: its loops no longer run, so nothing is left to wait for.
        if (loop.exec() < 0)
            return;
    }
}

void TfrmMain::QueryVersion() {
    SendCommand(frames::CmdVersion, 0);
    WaitPumping(100);
}

void TfrmMain::QueryBlockLength() {
    SendCommand(frames::CmdBlockLength, 0);
    WaitPumping(100);
}

void TfrmMain::QueryParams() {
    SendCommand(frames::CmdReadParams, 0);
    WaitPumping(100);
}

void TfrmMain::ComDataPacket1Packet(serial::TComDataPacket&, const QByteArray& str) {
    scanner_.Scan(
        str,
        [this](const QByteArray& frame) {
            emit feed_.frameReceived(frame);
            DispatchResponse(frame);
        },
        [] { QCoreApplication::processEvents(); });
}

void TfrmMain::DispatchResponse(const QByteArray& frame) {
    if (frame.size() < FrameScanner::kMinFrame || uint8_t(frame[0]) != 0x55)
        return;
    const QByteArray payload = frame.mid(3, frame.size() - 4);
    const auto needs = [&](int bytes) { return payload.size() >= bytes; };
    // A payload shorter than the bytes its code uses is ignored (the parameter block excepted,
    // which is filled with zeros): it cannot be told apart from a damaged frame.
    switch (uint8_t(frame[2])) {
    case 0x40:
        ShowParamAnswer(FusionParams::Decode(payload.left(FusionParams::kSize)));
        break;
    case 0x44:
        if (needs(1) && State.QuerySequenceActive) {
            State.CurrentGroup = uint8_t(payload[0]);
            showDeviceInfo();
        }
        break;
    case 0x45:
        if (needs(1) && uint8_t(payload[0]) == 0xC0) {
            State.HandshakeSeen = true;
            RunQuerySequence();
        }
        break;
    case 0x48:
        if (needs(10) && State.QuerySequenceActive) {
            State.QuerySequenceActive = false;
            State.DeviceId = payload.left(10) + '\0';
            showDeviceInfo();
        }
        break;
    case 0x49:
        if (needs(2) && State.QuerySequenceActive) {
            State.FusionCount = le16(payload, 0);
            showDeviceInfo();
        }
        break;
    case 0x4E:
        if (needs(8)) {
            environment_ = EnvironmentText(le16(payload, 0), le16(payload, 2), le16(payload, 4),
                                           le16(payload, 6));
            SetStatusText(2, environment_);
        }
        break;
    case 0xC1:
        if (!needs(2))
            break;
        State.FirmwareVersion = le16(payload, 0);
        if (State.QuerySequenceActive) {
            SetStatusText(1, VersionText(State.FirmwareVersion));
            ui->btnGetDefault->setVisible(State.FirmwareVersion >= 134);
            ui->cboxSaveDefault->setVisible(false);
            ui->cboxSaveDefault->setChecked(false);
        }
        break;
    case 0xC7:
        if (needs(2))
            State.BlockLength = le16(payload, 0);
        break;
    default:
        break;
    }
}

void TfrmMain::RunQuerySequence() {
    State.QuerySequenceActive = true;
    for (const uint8_t code : {frames::CmdVersion, frames::CmdFusionCount, frames::CmdCurrentGroup,
                               frames::CmdDeviceId}) {
        SendCommand(code, 0);
        WaitPumping(100);
    }
}

void TfrmMain::showDeviceInfo() {
    // Where a technician looks for the device: the tip of the version panel.
    const QByteArray id = State.DeviceId.left(State.DeviceId.indexOf('\0'));
    ui->StatusPanel1->setToolTip(QStringLiteral("ID: %1\n熔接次数: %2\n当前组别: %3")
                                     .arg(QString::fromLatin1(id))
                                     .arg(State.FusionCount)
                                     .arg(State.CurrentGroup));
}
