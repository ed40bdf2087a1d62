#pragma once

#include "protocol/CommandTable.h"
#include "protocol/DeviceState.h"
#include "protocol/FrameFeed.h"
#include "protocol/FrameScanner.h"
#include "protocol/WriteSequence.h"
#include "serial/ComPort.h"

#include <QByteArray>
#include <QDeadlineTimer>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace ch341 {
class TConverterLibrary;
}

namespace cli {

class TStopSignals;

// The command line's conversation with the splicer: one port, driven on its own descriptor.
// Every exchange is a command sent and the answers taken until a deadline; nothing nests but
// what the window nests too. The frames and the waits are the window's: the search tries the
// converter ports in order, the handshake waits 200 ms, an accepted handshake runs the query
// sequence at once, 100 ms a query, with nothing read meanwhile (as in the window, where the
// chunk that held the answer is still being handled), and the connection ends with a parameter
// read and its wait. Every frame sent and cut passes the FrameFeed signals.
//
// A stop signal ends any wait at once with EStopped; the port closes as the stack unwinds (its
// terminal settings given back). A line that hangs up closes the port; what is sent after that
// raises the window's " 未连接设备！ " as an error.
class TSplicerExchange : public FrameFeed, public TWriteChannel {
public:
    TSplicerExchange(ch341::TConverterLibrary& converter, TStopSignals& stop);
    ~TSplicerExchange() override;

    // The search: every converter port from COM1 to COM21 in order, the first whose splicer
    // answers the handshake is kept. False, with the port closed, when none answered. A port
    // that does not open ends it with the serial component's error.
    bool Find();
    // The handshake on one port ("COM"n or a device path), as the search does on each.
    bool Connect(const std::string& port);
    void Close();
    bool IsOpen() const { return port_.Connected(); }
    const std::string& Port() const { return port_.Port(); }

    void SendCommand(uint8_t code, uint8_t argument = 0);
    // Takes what arrives until the time has passed; never returns earlier.
    void Wait(int milliseconds) override;
    // Takes what arrives until an answer of this kind has been taken; false at the deadline.
    bool Await(frames::AnswerValue kind, const QDeadlineTimer& deadline);

    // The bytes of the parameter block answered last and not taken yet; when none has come, one
    // awaited for up to patienceMs. None when none came.
    std::optional<QByteArray> TakeBlock(int patienceMs);
    // A parameter read of its own: an answer taken before it does not count.
    std::optional<QByteArray> ReadBlock(int patienceMs);

    const DeviceState& State() const { return state_; }
    // The version the query sequence of the last connection was answered; none without one.
    std::optional<uint16_t> ConnectedVersion() const { return connectedVersion_; }

    // The write sequence's side.
    std::optional<uint16_t> Query(uint8_t code, int patienceMs) override;
    uint16_t LastBlockLength() const override { return state_.BlockLength; }
    void SendParamBlock(const FusionParams& block, int count) override;
    bool GoesOn() const override { return true; }

private:
    // What was heard of one kind of answer.
    struct Heard {
        unsigned count = 0;
        uint16_t word = 0; // a version's or a block length's value
    };

    void send(const QByteArray& frame);
    // Takes what arrives until the deadline, or until done holds. With read false the port is
    // not read: only a stop signal ends the wait early.
    template <class Done> void pump(const QDeadlineTimer& deadline, bool read, Done done);
    void receive(short events);
    void take(const QByteArray& frame);
    void runQuerySequence();
    Heard& heard(frames::AnswerValue kind) { return heard_[size_t(kind)]; }

    ch341::TConverterLibrary& converter_;
    TStopSignals& stop_;
    serial::TComPort port_;
    FrameScanner scanner_;
    DeviceState state_;
    std::array<Heard, size_t(frames::AnswerValue::Environment) + 1> heard_{};
    std::optional<QByteArray> block_;
    std::optional<uint16_t> connectedVersion_;
};

} // namespace cli
