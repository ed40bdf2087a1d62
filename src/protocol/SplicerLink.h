#pragma once

#include "ch341/ConverterLibrary.h"
#include "protocol/DeviceState.h"
#include "protocol/FrameFeed.h"
#include "protocol/FrameScanner.h"
#include "protocol/FusionParams.h"
#include "serial/ComDataPacket.h"
#include "serial/ComPort.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

class TMessageBoxes;

// The conversation with the splicer: the serial port and its packet detector, the frame scan,
// the per-connection DeviceState, the command frames and the timed waits, the dispatch of
// answers, and the search for the splicer among the converter ports. It shows no window; what
// it learns goes out through its signals, and the two boxes it needs (port not open, no splicer
// found) through the TMessageBoxes it is given.
//
// Re-entrancy. Every exchange waits with WaitPumping, a nested event loop, and so does the
// frame scan between its steps. Inside those waits everything else runs: received data, plug
// and unplug notifications, the user's commands, the window closing; any of them may send,
// wait, search or disconnect through this link again, so calls nest. What holds it together:
// - Received data never nests. The serial port's hand-off keeps the event thread blocked while
//   ComDataPacket1Packet runs, so the scanner is never entered twice, and a nested exchange
//   started meanwhile gets its answers only after the running chunk has been handled (a write
//   started inside the query sequence finds no version answer and sends 32 bytes).
// - A connect, disconnect or search asked for while a chunk is being handled (receiving_) is
//   remembered (pending_): a search inside the hand-off could never see an answer, and a
//   disconnect inside it would cut the query sequence short. When the hand-off returns it posts
//   an event, and the requests run from it inside whatever wait surrounded the hand-off; should
//   another hand-off be running when the event arrives, that one posts again when it ends. A
//   search carries out a pending disconnect before it takes the port it waited on, as the
//   hand-off that asked for it may have outlasted the wait.
// - Remembered requests combine: a disconnect replaces what was asked for before it, a search
//   after a disconnect makes it a reconnect, and a plug notification with a disconnect pending
//   searches (the converter was pulled and plugged in again inside one hand-off).
// - A search is never nested in a search (searching_, pending_). A plug notification or a
//   connect command that arrives inside a search's wait is remembered and run after that search
//   has returned: nested, the inner search would close and reopen the port under the outer one,
//   which would then take a port that never answered for the splicer's. A disconnect inside a
//   search's wait but outside a hand-off runs at once, and the search goes on with the next
//   ports. A search that ends in an error drops what was remembered.
// - A plug notification while connected, with no disconnect pending, searches nothing
//   (DeviceNotified): HandshakeSeen is still set from the current connection, and a search would
//   take the first converter port for the splicer's whether or not anything answered on it.
// - An unplug counts for the port that is open, the candidate of a running search included:
//   the search must not take a port whose converter is gone. A candidate that never answered
//   the handshake was never connected, so its port closes without a disconnection being told.
// - After Shutdown a search caught in one of its waits tries no further port and shows nothing
//   (closed_): the program is ending and must not open ports for nobody.
// - Every frame goes out in one write, so frames sent by nested handlers never interleave;
//   they fall between whole frames of the outer exchange, which is intended.
// Nested writes, loads and restores are not prevented here. The window disables the write and
// factory-restore buttons while those run; a load can nest in a load or a write.
//
// Every frame written to the port, and every answer frame cut from what it received, passes
// its FrameFeed signals.
class SplicerLink : public FrameFeed {
    Q_OBJECT
public:
    // Its boxes' texts, translated where they are shown (tr).
    static constexpr const char* kNotConnected = QT_TR_NOOP(" 未连接设备！ ");
    static constexpr const char* kNotFound = QT_TR_NOOP("未发现有设备连接！");
    // What every caller of WriteParams asks first.
    static constexpr const char* kConfirmWrite = QT_TR_NOOP("你确定要写入数据到设备？");

    // notifyRoutine is what the search registers for plug and unplug notifications; none
    // (nullptr) registers nothing.
    SplicerLink(TMessageBoxes& boxes, ch341::TConverterLibrary& converter,
                ch341::TDevNotifyRoutine notifyRoutine, QObject* parent = nullptr);

    // Command frames. With the port closed each shows kNotConnected and sends nothing.
    void SendFrame(uint8_t kind, const QByteArray& payload, int count);
    void SendCommand(uint8_t code, uint8_t argument);
    void SendParamBlock(const FusionParams& block, int count);
    void SendControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w);
    void SendTestRecord(uint32_t value);

    // Returns once the time has passed, handling events meanwhile; never earlier.
    static void WaitPumping(int milliseconds);
    void QueryVersion();
    void QueryBlockLength();
    void QueryParams();
    // A query and its wait: the value answered, or none when no answer came in time.
    // AskVersion clears FirmwareVersion first, so without an answer it reads 0.
    std::optional<uint16_t> AskVersion();
    std::optional<uint16_t> AskBlockLength();

    // The receive path: each chunk the packet detector delivers, and each frame cut from them.
    void ComDataPacket1Packet(serial::TComDataPacket& sender, const QByteArray& str);
    void DispatchResponse(const QByteArray& frame);
    void RunQuerySequence();

    // The write exchange: the firmware version, on firmware that takes the whole block its
    // length, the block in that length, then the wait for the splicer to take it. Returns the
    // number of block bytes sent.
    int WriteParams(const FusionParams& block);

    // Finding the splicer and letting it go.
    void FindDevice();
    // Drops any connection, opens port (a "COM"n name or a device path) and connects when the
    // splicer answers the handshake there, as the search does on each converter port. False,
    // with the port closed again, when nothing answered.
    bool ConnectPort(const std::string& port);
    void DisconnectDevice();
    // Drops the connection and searches again; inside a search or a hand-off, once that has
    // returned.
    void Reconnect();
    // A plug (value 0 or more) or unplug (-n for "COM"n) notification.
    void DeviceNotified(int32_t value);
    // The program ends: disconnects at once, stops notifications and any search still running,
    // and drops what was asked for meanwhile.
    void Shutdown();
    // The port is open and the splicer answered the handshake on it.
    bool Connected() const { return comPort_.Connected() && state_.HandshakeSeen; }

    const DeviceState& State() const { return state_; }
    // Writable, so a test can set up a state without replaying the exchange that leads to it.
    DeviceState& State() { return state_; }
    serial::TComPort& ComPort() { return comPort_; }
    const serial::TComPort& ComPort() const { return comPort_; }
    serial::TComDataPacket& ComDataPacket1() { return comDataPacket1_; }

signals:
    void deviceConnected(int portNumber);
    void deviceDisconnected();
    // A parameter answer, its block filled with zeros beyond the payload.
    void paramsReceived(const FusionParams& record);
    // A firmware version answered during the query sequence that follows a handshake.
    void versionReported(uint16_t version);
    // DeviceId, FusionCount or CurrentGroup changed.
    void deviceInfoChanged();
    // The environment answer as text ("RH=%d T=%.2f P=%d T=%.2f").
    void environmentReported(const QString& text);

protected:
    // Runs the requests that waited for a hand-off. An error they raise goes on to the
    // application's error display, as that of any other event handler does.
    bool event(QEvent* e) override;

private:
    // Connection requests that wait for the running hand-off or search; done in this order.
    struct Requests {
        bool disconnect = false;
        bool search = false;
        bool Any() const { return disconnect || search; }
    };

    void writeFrame(const QByteArray& frame);
    // Remembers the request when it must wait, and tells whether it must.
    bool deferred(Requests request);
    void runPending();
    void dropConnection();
    void runSearch();
    // The handshake on the open port and, when answered, the connection as "COM"n.
    bool handshake(int n);
    // Runs the query; an answer handled during its wait counts up answers and sets value.
    std::optional<uint16_t> ask(void (SplicerLink::*query)(), const uint16_t& value,
                                const unsigned& answers);

    TMessageBoxes& boxes_;
    ch341::TConverterLibrary& converter_;
    ch341::TDevNotifyRoutine notifyRoutine_;
    // The detector is declared after the port, so it detaches before the port goes.
    serial::TComPort comPort_;
    serial::TComDataPacket comDataPacket1_;
    FrameScanner scanner_;
    DeviceState state_;
    unsigned versionAnswers_ = 0;
    unsigned lengthAnswers_ = 0;
    bool receiving_ = false;
    bool searching_ = false;
    bool closed_ = false;
    Requests pending_;
};

namespace spliceon_testing {
// Divides every WaitPumping time by divisor (1 restores them), so that a test can run many
// connections in little time.
void DivideWaits(int divisor);
} // namespace spliceon_testing
