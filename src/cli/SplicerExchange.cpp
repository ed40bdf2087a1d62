#include "cli/SplicerExchange.h"

#include "ch341/ConverterLibrary.h"
#include "ch341/PortMap.h"
#include "cli/StopSignals.h"
#include "protocol/Frames.h"
#include "protocol/KnownAnswer.h"
#include "protocol/SplicerLink.h"
#include "protocol/Waits.h"
#include "serial/PortName.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include <poll.h>

namespace cli {

TSplicerExchange::TSplicerExchange(ch341::TConverterLibrary& converter, TStopSignals& stop)
    : converter_(converter), stop_(stop) {
    // No event thread: the exchange reads the descriptor itself, when it waits.
    port_.SetEvents({});
}

TSplicerExchange::~TSplicerExchange() {
    Close();
}

bool TSplicerExchange::Find() {
    for (int n = 1; n <= ch341::kLastComPort; ++n) {
        const std::string number = std::to_string(n);
        if (converter_.CH341PtNameIsCH341("\\\\.\\COM" + number) && Connect("COM" + number))
            return true;
    }
    return false;
}

bool TSplicerExchange::Connect(const std::string& port) {
    Close();
    block_.reset();
    connectedVersion_.reset();
    port_.SetPort(port);
    port_.Open();
    SendCommand(frames::CmdHandshake, frames::kHandshakeArgument);
    Wait(waits::kHandshakeMs);
    if (!port_.Connected() || !state_.HandshakeSeen) {
        Close();
        return false;
    }
    state_.PortNumber = serial::ComPortNumber(port);
    SendCommand(frames::CmdReadParams);
    Wait(waits::kQueryMs);
    return true;
}

void TSplicerExchange::Close() {
    port_.Close();
    state_.HandshakeSeen = false;
}

void TSplicerExchange::send(const QByteArray& frame) {
    if (!port_.Connected())
        throw std::runtime_error(
            SplicerLink::tr(SplicerLink::kNotConnected).trimmed().toStdString());
    // What a time limit or a hang-up cut short went out only in part; the trace says so.
    const int written = port_.WriteStr(frame);
    emit frameSent(frame.left(written));
}

void TSplicerExchange::SendCommand(uint8_t code, uint8_t argument) {
    const char payload[2] = {char(code), char(argument)};
    send(frames::KindFirst(frames::KindCommand, QByteArray(payload, 2), 2));
}

void TSplicerExchange::SendParamBlock(const FusionParams& block, int count) {
    send(frames::KindFirst(frames::KindParamBlock, block.Encode(), count));
}

void TSplicerExchange::Wait(int milliseconds) {
    pump(QDeadlineTimer(milliseconds, Qt::PreciseTimer), true, [] { return false; });
}

bool TSplicerExchange::Await(frames::AnswerValue kind, const QDeadlineTimer& deadline) {
    const unsigned before = heard(kind).count;
    const auto came = [&] { return heard(kind).count != before; };
    pump(deadline, true, came);
    return came();
}

std::optional<uint16_t> TSplicerExchange::Query(uint8_t code, int patienceMs) {
    const frames::AnswerValue kind = frames::FindCommand(code)->value;
    const unsigned before = heard(kind).count;
    SendCommand(code);
    Wait(waits::kQueryMs);
    if (heard(kind).count == before && !Await(kind, QDeadlineTimer(patienceMs, Qt::PreciseTimer)))
        return std::nullopt;
    return heard(kind).word;
}

std::optional<QByteArray> TSplicerExchange::TakeBlock(int patienceMs) {
    if (!block_)
        Await(frames::AnswerValue::Block, QDeadlineTimer(patienceMs, Qt::PreciseTimer));
    return std::exchange(block_, std::nullopt);
}

std::optional<QByteArray> TSplicerExchange::ReadBlock(int patienceMs) {
    block_.reset();
    SendCommand(frames::CmdReadParams);
    Wait(waits::kQueryMs);
    return TakeBlock(patienceMs);
}

template <class Done>
void TSplicerExchange::pump(const QDeadlineTimer& deadline, bool read, Done done) {
    for (;;) {
        if (const int signal = stop_.Caught())
            throw EStopped(signal);
        if (done())
            return;
        const qint64 leftNs = deadline.remainingTimeNSecs();
        if (leftNs <= 0)
            return;
        // Rounded up: a wait never ends before its time.
        const int leftMs = int((leftNs + 999'999) / 1'000'000);
        pollfd fds[2] = {{stop_.Fd(), POLLIN, 0},
                         {read && port_.Connected() ? port_.Handle() : -1, POLLIN, 0}};
        if (::poll(fds, 2, leftMs) < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (fds[1].revents)
            receive(fds[1].revents);
    }
}

void TSplicerExchange::receive(short events) {
    char chunk[512];
    const int n = port_.Read(chunk, sizeof chunk);
    // Nothing to read while the line reports a hang-up or an error: the converter is gone.
    if (n <= 0) {
        if (events & (POLLHUP | POLLERR | POLLNVAL))
            Close();
        return;
    }
    const auto reportDiscarded = [this] {
        if (const QByteArray bytes = scanner_.TakeDiscarded(); !bytes.isEmpty())
            emit bytesDiscarded(bytes);
    };
    scanner_.Append(QByteArray(chunk, n));
    for (QByteArray frame; scanner_.Step(frame);) {
        reportDiscarded();
        if (frame.isEmpty())
            continue;
        emit frameReceived(frame);
        take(frame);
    }
    reportDiscarded(); // what the bound dropped as the scan ended
}

void TSplicerExchange::take(const QByteArray& frame) {
    const std::optional<frames::KnownAnswer> answer = frames::ReadKnownAnswer(frame);
    if (!answer)
        return;
    const bool inSequence = state_.QuerySequenceActive;
    const bool taken = TakeAnswer(state_, *answer);
    Heard& h = heard(answer->value);
    ++h.count;
    using frames::AnswerValue;
    if (answer->value == AnswerValue::Version || answer->value == AnswerValue::BlockLength)
        h.word = answer->Word();
    if (answer->value == AnswerValue::Version && inSequence)
        connectedVersion_ = h.word;
    if (answer->value == AnswerValue::Block)
        block_ = answer->payload.left(FusionParams::kSize);
    if (answer->value == AnswerValue::Acceptance && taken)
        runQuerySequence();
}

void TSplicerExchange::runQuerySequence() {
    state_.QuerySequenceActive = true;
    for (const uint8_t code : frames::kQuerySequence) {
        if (!port_.Connected())
            return;
        SendCommand(code);
        pump(QDeadlineTimer(waits::kQueryMs, Qt::PreciseTimer), false, [] { return false; });
    }
}

} // namespace cli
