#pragma once

#include "serial/ComDevice.h"
#include "serial/ComLink.h"
#include "serial/ComThread.h"
#include "serial/ComTypes.h"
#include "serial/PortName.h"

#include <QByteArray>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace serial {

class TComHandOff;

// A serial port: its settings, open and close, synchronous writes, and the received-data path
// that the event thread starts on the GUI thread. All operations are for the GUI thread.
// Any handler may destroy the port; the operation that called it then returns without touching
// the port again, and a close that was under way is finished by the destructor.
class TCustomComPort {
public:
    using TNotifyEvent = std::function<void()>;
    using TRxCharEvent = std::function<void(int count)>;
    using TRxBufEvent = std::function<void(const uint8_t* buffer, int count)>;
    using TComSignalEvent = std::function<void(bool on)>;
    using TComErrorEvent = std::function<void(TComErrors errors)>;

    TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;
    virtual ~TCustomComPort();

    // Settings. A changed value re-applies its group while the port is open.
    const std::string& Port() const { return port_; }
    void SetPort(const std::string& port);
    // How Port becomes the device path that Open opens; DefaultPortPath unless its owner says.
    void SetPathResolver(PortPathResolver resolver) { resolver_ = std::move(resolver); }
    std::string PortPath() const { return resolver_(port_); }
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate rate);
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int rate);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits bits);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits bits);
    TComParity& Parity() { return parity_; }
    TComFlowControl& FlowControl() { return flowControl_; }
    TComTimeouts& Timeouts() { return timeouts_; }
    TComBuffer& Buffer() { return buffer_; }
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool discard);
    uint8_t EventChar() const { return eventChar_; }
    void SetEventChar(uint8_t c);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents events) { events_ = events; }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod method);
    // Whether received bytes that no link takes are announced through OnRxChar.
    bool TriggersOnRxChar() const { return triggersOnRxChar_; }
    void SetTriggersOnRxChar(bool on) { triggersOnRxChar_ = on; }

    bool Connected() const { return connected_; }
    void SetConnected(bool connected);
    void Open();
    void Close();

    int Write(const void* buffer, int count);
    int WriteStr(const QByteArray& bytes);
    int Read(void* buffer, int count);

    void AttachLink(TComLink* link);
    void DetachLink(TComLink* link);

    // Told once, while the port is still whole, that it is being destroyed.
    void AddFreeNotification(const void* key, std::function<void()> notify);
    void RemoveFreeNotification(const void* key);

    int Handle() const { return device_.Handle(); }
    bool HandOffPending() const;

    TNotifyEvent OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    TComSignalEvent OnCTSChange, OnDSRChange, OnRLSDChange;
    TComErrorEvent OnError;
    // After the handlers of a hand-off that carried line errors or a modem-line change: the
    // error counts and the lines, for a diagnostic display.
    std::function<void(const TLineReport& report)> OnLineReport;

private:
    void applyBuffer();
    void applyLineSettings();
    void applyTimeouts();
    void settingChanged(void (TCustomComPort::*apply)());
    template <class T> void setLineSetting(T& field, T value);
    bool stopThread();
    void handleEvents();
    TComErrors errorsOf(const TLineErrorCounts& counts) const;
    void receiveData();
    // These run handlers and tell whether the port is still there afterwards.
    template <class F> bool callOut(F f);
    bool notify(const TNotifyEvent& event);
    bool tellLinks(TComLink::TSignal TComLink::*handler, bool on);
    bool reportSignal(TComLink::TSignal TComLink::*handler, const TComSignalEvent& event, bool on);
    template <class F> bool forEachLink(F f);
    void recomputeLinksTakeBytes();

    std::string port_ = "COM1";
    PortPathResolver resolver_ = DefaultPortPath;
    TBaudRate baudRate_ = TBaudRate::br9600;
    int customBaudRate_ = 9600;
    TDataBits dataBits_ = TDataBits::dbEight;
    TStopBits stopBits_ = TStopBits::sbOneStopBit;
    TComParity parity_;
    TComFlowControl flowControl_;
    TComTimeouts timeouts_;
    TComBuffer buffer_;
    bool discardNull_ = false;
    uint8_t eventChar_ = 0;
    TComEvents events_ = AllComEvents;
    TSyncMethod syncMethod_ = TSyncMethod::smThreadSync;
    bool triggersOnRxChar_ = true;

    bool connected_ = false;
    bool closing_ = false;
    TComDevice device_;
    // Shared with the frames that wait for the thread, which a handler may outlive the port in.
    std::shared_ptr<TComHandOff> handOff_;
    std::shared_ptr<TComThread> thread_;
    std::vector<TComLink*> links_;
    bool linksTakeBytes_ = false;
    std::vector<std::pair<const void*, std::function<void()>>> freeNotifications_;
    // False once the port is destroyed; read through copies by the frames that called a handler.
    const std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class TComPort : public TCustomComPort {};

} // namespace serial
