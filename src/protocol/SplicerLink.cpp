#include "protocol/SplicerLink.h"

#include "ch341/PortMap.h"
#include "protocol/Frames.h"
#include "protocol/KnownAnswer.h"
#include "protocol/MessageBoxes.h"
#include "protocol/ResponseText.h"
#include "protocol/Waits.h"
#include "protocol/WriteSequence.h"
#include "serial/PortName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <string>

namespace {

// Posted to the link when a hand-off returns with requests that waited for it.
const QEvent::Type kRunPendingEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

SplicerLink::SplicerLink(TMessageBoxes& boxes, ch341::TConverterLibrary& converter,
                         ch341::TDevNotifyRoutine notifyRoutine, WaitFunction wait, QObject* parent)
    : FrameFeed(parent), boxes_(boxes), converter_(converter), notifyRoutine_(notifyRoutine),
      wait_(std::move(wait)) {
    comDataPacket1_.SetComPort(&comPort_);
    comDataPacket1_.OnPacket = std::bind_front(&SplicerLink::ComDataPacket1Packet, this);
}

void SplicerLink::writeFrame(const QByteArray& frame) {
    // The window has closed: nobody is left to tell, and nothing more may go out.
    if (closed_)
        return;
    // Only the port's open state counts, not a handshake: discovery sends its handshake on a
    // freshly opened port. The caller carries on either way.
    if (!comPort_.Connected()) {
        boxes_.ShowMessage(tr(kNotConnected));
        return;
    }
    // A write cut short by a time limit or a hang-up reports only what went out, so the trace
    // never shows a frame as sent that the splicer did not get whole.
    const int written = comPort_.WriteStr(frame);
    emit frameSent(frame.left(written));
}

void SplicerLink::SendFrame(uint8_t kind, const QByteArray& payload, int count) {
    writeFrame(frames::KindFirst(kind, payload, count));
}

void SplicerLink::SendCommand(uint8_t code, uint8_t argument) {
    const char payload[2] = {char(code), char(argument)};
    SendFrame(frames::KindCommand, QByteArray(payload, 2), 2);
}

void SplicerLink::SendParamBlock(const FusionParams& block, int count) {
    SendFrame(frames::KindParamBlock, block.Encode(), count);
}

void SplicerLink::SendControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w) {
    writeFrame(frames::ControlRecord(b0, b1, b2, w));
}

void SplicerLink::SendTestRecord(uint32_t value) {
    writeFrame(frames::TestRecord(value));
}

void SplicerLink::WaitPumping(int milliseconds) {
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

void SplicerLink::QueryVersion() {
    SendCommand(frames::CmdVersion, 0);
    Wait(waits::kQueryMs);
}

void SplicerLink::QueryBlockLength() {
    SendCommand(frames::CmdBlockLength, 0);
    Wait(waits::kQueryMs);
}

void SplicerLink::QueryParams() {
    SendCommand(frames::CmdReadParams, 0);
    Wait(waits::kQueryMs);
}

std::optional<uint16_t> SplicerLink::ask(void (SplicerLink::*query)(), const uint16_t& value,
                                         const unsigned& answers) {
    const unsigned before = answers;
    (this->*query)();
    if (answers == before)
        return std::nullopt;
    return value;
}

std::optional<uint16_t> SplicerLink::AskVersion() {
    state_.FirmwareVersion = 0;
    return ask(&SplicerLink::QueryVersion, state_.FirmwareVersion, versionAnswers_);
}

std::optional<uint16_t> SplicerLink::AskBlockLength() {
    return ask(&SplicerLink::QueryBlockLength, state_.BlockLength, lengthAnswers_);
}

void SplicerLink::ComDataPacket1Packet(serial::TComDataPacket&, const QByteArray& str) {
    receiving_ = true;
    const auto done = qScopeGuard([this] {
        receiving_ = false;
        if (pending_.Any())
            QCoreApplication::postEvent(this, new QEvent(kRunPendingEvent));
    });
    const auto reportDiscarded = [this] {
        if (const QByteArray bytes = scanner_.TakeDiscarded(); !bytes.isEmpty())
            emit bytesDiscarded(bytes);
    };
    // Events are processed after every step of the scan, whether or not it cut a frame.
    scanner_.Append(str);
    for (QByteArray frame; scanner_.Step(frame); QCoreApplication::processEvents()) {
        reportDiscarded();
        if (frame.isEmpty())
            continue;
        emit frameReceived(frame);
        DispatchResponse(frame);
    }
    reportDiscarded(); // what the bound dropped as the scan ended
}

void SplicerLink::DispatchResponse(const QByteArray& frame) {
    const std::optional<frames::KnownAnswer> answer = frames::ReadKnownAnswer(frame);
    if (!answer)
        return;
    const bool inSequence = state_.QuerySequenceActive;
    const bool taken = TakeAnswer(state_, *answer);
    const QByteArray& p = answer->payload;
    using frames::AnswerValue;
    switch (answer->value) {
    case AnswerValue::Block:
        emit paramsReceived(FusionParams::Decode(p.left(FusionParams::kSize)));
        break;
    case AnswerValue::Acceptance:
        if (taken)
            RunQuerySequence();
        break;
    case AnswerValue::Version:
        ++versionAnswers_;
        if (inSequence)
            emit versionReported(state_.FirmwareVersion);
        break;
    case AnswerValue::BlockLength:
        ++lengthAnswers_;
        break;
    case AnswerValue::FusionCount:
    case AnswerValue::CurrentGroup:
    case AnswerValue::DeviceId:
        if (taken)
            emit deviceInfoChanged();
        break;
    case AnswerValue::Environment:
        emit environmentReported(EnvironmentText(frames::Le16(p, 0), frames::Le16(p, 2),
                                                 frames::Le16(p, 4), frames::Le16(p, 6)));
        break;
    case AnswerValue::None:
        break;
    }
}

void SplicerLink::RunQuerySequence() {
    state_.QuerySequenceActive = true;
    const Ticket ticket = Begin();
    for (const uint8_t code : frames::kQuerySequence) {
        // Dropped meanwhile (disconnected, unplugged, or an answer handed over while a port
        // closed): the remaining queries would only show boxes.
        if (ticket.Dropped() || !comPort_.Connected())
            return;
        SendCommand(code, 0);
        Wait(waits::kQueryMs);
    }
}

bool SplicerLink::searchDeferred() {
    if (!receiving_ && !searching_)
        return false;
    pending_.search = true;
    return true;
}

bool SplicerLink::event(QEvent* e) {
    if (e->type() != kRunPendingEvent)
        return FrameFeed::event(e);
    runPending();
    return true;
}

void SplicerLink::runPending() {
    // Still inside a hand-off (this event came during another chunk's scan), which posts again,
    // or inside a search, which runs what was remembered when it ends. Outside a search only a
    // search is ever remembered.
    if (receiving_ || searching_)
        return;
    if (std::exchange(pending_, {}).search && !Connected())
        FindDevice();
}

void SplicerLink::FindDevice() {
    // After Shutdown a plug notification queued before it would open ports, ask for
    // notifications again and end in "未发现有设备连接！", as nothing more is sent.
    if (closed_ || searchDeferred())
        return;
    searching_ = true;
    const auto done = qScopeGuard([this] {
        searching_ = false;
        pending_ = {}; // empty unless the search ended in an error
    });
    runSearch();
    while (pending_.Any()) {
        const Requests next = std::exchange(pending_, {});
        if (next.disconnect)
            DisconnectDevice();
        // A plug notification while connected leaves the connection alone.
        if (next.search && !Connected())
            runSearch();
    }
}

void SplicerLink::runSearch() {
    // The user disconnected, or the program is ending, inside one of the waits: nothing is left
    // to search for.
    const Ticket ticket = Begin();
    for (int n = 1; !ticket.Dropped(); ++n) {
        if (n > ch341::kLastComPort) {
            boxes_.ShowMessage(tr(kNotFound));
            return;
        }
        const std::string number = std::to_string(n);
        if (!converter_.CH341PtNameIsCH341("\\\\.\\COM" + number))
            continue;
        comPort_.SetPort("COM" + number);
        const bool wasOpen = comPort_.Connected();
        if (!wasOpen) {
            if (notifyRoutine_)
                converter_.CH341PtSetDevNotify(nullptr, notifyRoutine_);
            comPort_.Open();
            state_.HandshakeSeen = false; // left by a port that closed by itself
        }
        if (handshake(n))
            return;
        if (!wasOpen)
            closeCandidate();
        // A port left open kept no answer (it would have been taken); one that closed by
        // itself may have left the flag.
        state_.HandshakeSeen = false;
    }
}

bool SplicerLink::handshake(int n) {
    SendCommand(frames::CmdHandshake, frames::kHandshakeArgument);
    Wait(waits::kHandshakeMs);
    // Only an answer on the port still open counts: an unplug or hang-up during the query
    // sequence may have closed it.
    if (!Connected())
        return false;
    state_.PortNumber = n;
    announced_ = true;
    emit deviceConnected(n);
    QueryParams();
    return true;
}

bool SplicerLink::ConnectPort(const std::string& port) {
    // A handshake flag left from another port would count as this port's answer. The flag is
    // cleared here too: a port that closed by itself leaves DisconnectDevice nothing to do.
    DisconnectDevice();
    state_.HandshakeSeen = false;
    comPort_.SetPort(port);
    comPort_.Open();
    if (handshake(serial::ComPortNumber(port)))
        return true;
    closeCandidate();
    return false;
}

int SplicerLink::WriteParams(const FusionParams& block) {
    // The window takes no late answers: what did not come within a wait is not awaited.
    class TLinkWrite : public TWriteChannel {
    public:
        explicit TLinkWrite(SplicerLink& link) : link_(link), ticket_(link.Begin()) {}
        std::optional<uint16_t> Query(uint8_t code, int) override {
            return code == frames::CmdVersion ? link_.AskVersion() : link_.AskBlockLength();
        }
        uint16_t LastBlockLength() const override { return link_.State().BlockLength; }
        void SendParamBlock(const FusionParams& b, int count) override {
            link_.SendParamBlock(b, count);
        }
        void Wait(int milliseconds) override { link_.Wait(milliseconds); }
        bool GoesOn() const override { return !ticket_.Dropped(); }

    private:
        SplicerLink& link_;
        const Ticket ticket_;
    } channel(*this);
    return WriteSequence(channel, {.block = [&block](uint16_t) { return block; }}).count;
}

void SplicerLink::DisconnectDevice() {
    // What was remembered was asked for before the disconnect, and the work running was begun
    // on the connection it drops.
    pending_ = {};
    ++cuts_;
    dropConnection();
}

void SplicerLink::dropConnection() {
    if (!comPort_.Connected())
        return;
    closeCandidate();
    // Only a connection that was told is told gone: a search's candidate, answered or not,
    // closes without a word.
    if (std::exchange(announced_, false))
        emit deviceDisconnected();
}

void SplicerLink::closeCandidate() {
    comPort_.Close();
    // An answer handed over while the port closed is no answer of the next port.
    state_.HandshakeSeen = false;
}

void SplicerLink::Reconnect() {
    // Inside a search the disconnect waits too: it would end that search, which then runs the
    // reconnect itself.
    if (searching_) {
        pending_ = {.disconnect = true, .search = true};
        return;
    }
    DisconnectDevice();
    FindDevice();
}

void SplicerLink::DeviceNotified(int32_t value) {
    if (value >= 0) {
        // Only a search from the disconnected state may take a port: a port that did not answer
        // the handshake must never count as the splicer's.
        if (Connected())
            return;
        FindDevice();
    } else if (value == -serial::ComPortNumber(comPort_.Port())) {
        // Not the user's disconnect: a running search goes on with the next number.
        dropConnection();
    }
}

void SplicerLink::Shutdown() {
    closed_ = true;
    pending_ = {};
    ++cuts_;
    dropConnection();
    converter_.CH341PtSetDevNotify(nullptr, nullptr);
}
