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
#include <functional>
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
// - A search asked for while a chunk is being handled (receiving_) is remembered (pending_): a
//   search inside the hand-off could never see an answer. When the hand-off returns it posts an
//   event, and the search runs from it inside whatever wait surrounded the hand-off; should
//   another hand-off be running when the event arrives, that one posts again when it ends.
// - A disconnect never waits: the serial port closes safely inside its own hand-off. It drops
//   what was remembered, and the work it interrupted (the query sequence, a write, a search, a
//   window operation holding a Ticket) ends quietly at its next step: nothing more goes to the
//   splicer and no box says the port is closed. A disconnect with the port already closed has
//   nothing to close and cuts nothing: the work waiting goes on and shows its boxes; what was
//   remembered it drops all the same.
// - The connect command's own disconnect cuts no work: a write, restore or load caught in a wait
//   goes on to the splicer its search finds, or, when none answered, shows that the port is
//   closed. A connect command inside a hand-off disconnects at once and remembers its search.
// - A search is never nested in a search (searching_, pending_). A plug notification or a
//   connect command that arrives inside a search's wait is remembered and run after that search
//   has returned: nested, the inner search would close and reopen the port under the outer one,
//   which would then take a port that never answered for the splicer's. A connect command
//   inside a search waits for it whole (disconnect and search). A search that ends in an error
//   drops what was remembered.
// - A plug notification while connected searches nothing (DeviceNotified): HandshakeSeen is
//   still set from the current connection, and a search would take the first converter port
//   for the splicer's whether or not anything answered on it.
// - An unplug counts for the port that is open, the candidate of a running search included:
//   the search must not take a port whose converter is gone. It is no user's disconnect: the
//   query sequence stops quietly, other work goes on and its box says the port is closed. A
//   search's candidate was never told connected, answered or not, so its port closes without a
//   disconnection being told: while scanning, the status shows nothing.
// - HandshakeSeen counts only while the port is open, and every close of a candidate clears it:
//   an answer handed over while the port closes belongs to no port the search tries next.
// - After Shutdown nothing more is sent or shown (closed_): no search starts, one caught in its
//   waits tries no further port, and work caught in a wait sends nothing and shows no box.
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

    // Every timed wait of the link: returns once the milliseconds have passed, handling events
    // meanwhile.
    using WaitFunction = std::function<void(int milliseconds)>;

    // notifyRoutine is what the search registers for plug and unplug notifications; none
    // (nullptr) registers nothing.
    SplicerLink(TMessageBoxes& boxes, ch341::TConverterLibrary& converter,
                ch341::TDevNotifyRoutine notifyRoutine,
                WaitFunction wait = &SplicerLink::WaitPumping, QObject* parent = nullptr);

    // Taken when work that spans waits begins; Dropped tells that the user's disconnect closed
    // the port (or the program ended) since, so the work must stop without sending or showing
    // anything more.
    class Ticket {
    public:
        bool Dropped() const { return link_.cuts_ != cuts_; }

    private:
        friend class SplicerLink;
        explicit Ticket(const SplicerLink& link) : link_(link), cuts_(link.cuts_) {}
        const SplicerLink& link_;
        unsigned cuts_;
    };
    Ticket Begin() const { return Ticket(*this); }

    // Command frames. With the port closed each shows kNotConnected and sends nothing.
    void SendFrame(uint8_t kind, const QByteArray& payload, int count);
    void SendCommand(uint8_t code, uint8_t argument);
    void SendParamBlock(const FusionParams& block, int count);
    void SendControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w);
    void SendTestRecord(uint32_t value);

    // Returns once the time has passed, handling events meanwhile; never earlier. The wait a
    // link is given unless told otherwise.
    static void WaitPumping(int milliseconds);
    // The wait this link was given; the window's own waits between frames use it too.
    void Wait(int milliseconds) { wait_(milliseconds); }
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
    // number of block bytes meant; the block stays unsent when the user disconnected before.
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
    // A search ended without a splicer: none answered, or a candidate port did not open.
    void searchFailed();
    // The environment answer as text ("RH=%d T=%.2f P=%d T=%.2f").
    void environmentReported(const QString& text);

protected:
    // Runs the requests that waited for a hand-off. An error they raise goes on to the
    // application's error display, as that of any other event handler does.
    bool event(QEvent* e) override;

private:
    // Connection requests that wait for the running hand-off or search; done in this order. A
    // disconnect waits only as part of a connect command inside a search.
    struct Requests {
        bool disconnect = false;
        bool search = false;
        bool Any() const { return disconnect || search; }
    };

    void writeFrame(const QByteArray& frame);
    // Remembers a search when it must wait, and tells whether it must.
    bool searchDeferred();
    void runPending();
    // Closes the port as the user's commands do, telling the disconnection.
    void releasePort();
    void dropConnection();
    void closeCandidate();
    void runSearch();
    // The handshake on the open port and, when answered, the connection as "COM"n.
    bool handshake(int n);
    // Runs the query; an answer handled during its wait counts up answers and sets value.
    std::optional<uint16_t> ask(void (SplicerLink::*query)(), const uint16_t& value,
                                const unsigned& answers);

    TMessageBoxes& boxes_;
    ch341::TConverterLibrary& converter_;
    ch341::TDevNotifyRoutine notifyRoutine_;
    WaitFunction wait_;
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
    bool announced_ = false; // deviceConnected told, deviceDisconnected not yet
    unsigned cuts_ = 0; // user disconnects and the shutdown, for Ticket
    Requests pending_;
};
