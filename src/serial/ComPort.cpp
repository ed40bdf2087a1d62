#include "serial/ComPort.h"

#include "serial/ComError.h"
#include "serial/ComHandOff.h"
#include "serial/ComThread.h"
#include "serial/PortName.h"

#include <QScopeGuard>

#include <algorithm>

namespace serial {
namespace {

bool anyModemEvent(TComEvents events) {
    return events.Contains(TComEvent::evCTS) || events.Contains(TComEvent::evDSR) ||
           events.Contains(TComEvent::evRing) || events.Contains(TComEvent::evRLSD);
}

} // namespace

TCustomComPort::TCustomComPort()
    : handOff_(std::make_shared<TComHandOff>([this] { handleEvents(); })) {
    parity_.SetOnChanged([this] { settingChanged(&TCustomComPort::applyLineSettings); });
    flowControl_.SetOnChanged([this] { settingChanged(&TCustomComPort::applyLineSettings); });
    timeouts_.SetOnChanged([this] { settingChanged(&TCustomComPort::applyTimeouts); });
    buffer_.SetOnChanged([this] { settingChanged(&TCustomComPort::applyBuffer); });
}

TCustomComPort::~TCustomComPort() {
    Close();
    // Destroyed by a handler that its own close ran: that close returns without touching the
    // port again, so its event thread ends here. The device is released with device_.
    stopThread();
    // Copy: a notified component detaches itself, which edits the list.
    const auto notifications = freeNotifications_;
    for (const auto& [key, notify] : notifications)
        notify();
    *alive_ = false;
}

void TCustomComPort::settingChanged(void (TCustomComPort::*apply)()) {
    if (connected_)
        (this->*apply)();
}

template <class T> void TCustomComPort::setLineSetting(T& field, T value) {
    if (field == value)
        return;
    field = value;
    settingChanged(&TCustomComPort::applyLineSettings);
}

void TCustomComPort::SetPort(const std::string& port) {
    if (port == port_)
        return;
    port_ = port;
    if (connected_) {
        Close();
        Open();
    }
}

void TCustomComPort::SetBaudRate(TBaudRate rate) {
    setLineSetting(baudRate_, rate);
}

void TCustomComPort::SetCustomBaudRate(int rate) {
    setLineSetting(customBaudRate_, rate);
}

void TCustomComPort::SetDataBits(TDataBits bits) {
    setLineSetting(dataBits_, bits);
}

void TCustomComPort::SetStopBits(TStopBits bits) {
    setLineSetting(stopBits_, bits);
}

void TCustomComPort::SetDiscardNull(bool discard) {
    setLineSetting(discardNull_, discard);
}

void TCustomComPort::SetEventChar(uint8_t c) {
    setLineSetting(eventChar_, c);
}

void TCustomComPort::SetSyncMethod(TSyncMethod method) {
    if (method == syncMethod_)
        return;
    if (connected_)
        throw EComPort(CError_ConnChangeProp);
    syncMethod_ = method;
}

void TCustomComPort::SetConnected(bool connected) {
    if (connected)
        Open();
    else
        Close();
}

// The driver's queues have a fixed size on Linux, and so have the XON/XOFF limits derived from
// them; the sizes are only stored, and applying them cannot fail.
void TCustomComPort::applyBuffer() {}

void TCustomComPort::applyLineSettings() {
    // DiscardNull and EventChar have no counterpart in the tty layer and do not reach it.
    TLineSettings settings;
    settings.baudRate = BaudRateValue(baudRate_, customBaudRate_);
    settings.dataBits = dataBits_;
    settings.stopBits = stopBits_;
    settings.parity = &parity_;
    settings.flowControl = &flowControl_;
    device_.ApplyLineSettings(settings);
    device_.SetModemLines(flowControl_.ControlDTR(), flowControl_.ControlRTS());
}

// Reads never wait (O_NONBLOCK) and writes take their limit from Timeouts at each call.
void TCustomComPort::applyTimeouts() {}

void TCustomComPort::Open() {
    if (connected_ || !notify(OnBeforeOpen))
        return;
    device_.Open(PortPath());
    connected_ = true;
    try {
        applyBuffer();
        applyLineSettings();
        applyTimeouts();
        if (!events_.Empty()) {
            // smWindowSync needs no hidden window here: like smThreadSync it hands over through
            // the GUI thread's event queue. smNone runs the handling on the event thread itself.
            handOff_->SetDirect(syncMethod_ == TSyncMethod::smNone);
            thread_ = std::make_shared<TComThread>(device_.Handle(), events_,
                                                   buffer_.InputSize() * 8 / 10, handOff_);
        }
    } catch (...) {
        device_.Close();
        connected_ = false;
        throw;
    }
    if (!tellLinks(&TComLink::OnConn, true) || !notify(OnAfterOpen))
        return;
    const TModemStatus status = device_.ModemStatus();
    if (reportSignal(&TComLink::OnCTSChange, OnCTSChange, status.cts) &&
        reportSignal(&TComLink::OnDSRChange, OnDSRChange, status.dsr))
        reportSignal(&TComLink::OnRLSDChange, OnRLSDChange, status.rlsd);
}

void TCustomComPort::Close() {
    // A handler served while this close joins the event thread may ask to close again.
    if (!connected_ || closing_)
        return;
    closing_ = true;
    const auto done = qScopeGuard([this, alive = alive_] {
        if (*alive)
            closing_ = false;
    });
    if (!reportSignal(&TComLink::OnCTSChange, OnCTSChange, false) ||
        !reportSignal(&TComLink::OnDSRChange, OnDSRChange, false) ||
        !reportSignal(&TComLink::OnRLSDChange, OnRLSDChange, false) || !notify(OnBeforeClose) ||
        !stopThread())
        return;
    device_.Close();
    connected_ = false;
    if (tellLinks(&TComLink::OnConn, false))
        notify(OnAfterClose);
}

bool TCustomComPort::stopThread() {
    if (!thread_)
        return true;
    // A copy: a handler served while joining may destroy the port, and thread_ with it.
    const std::shared_ptr<TComThread> thread = thread_;
    thread->Stop();
    if (!callOut([&] { thread->Join(); }))
        return false;
    thread_.reset();
    device_.DiscardQueues();
    return true;
}

int TCustomComPort::Write(const void* buffer, int count) {
    if (!device_.IsOpen())
        RaiseOsError(CError_WriteFailed, EBADF);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const std::vector<uint8_t> copy(bytes, bytes + std::max(count, 0));
    if (!tellLinks(&TComLink::OnTxStatus, true))
        return 0;
    const int written = device_.Write(copy.data(), count, timeouts_.WriteTimeoutMs(count));
    forEachLink([&](TComLink& l) {
        if (l.OnTxBuf)
            l.OnTxBuf(*this, copy.data(), written);
    });
    return written;
}

int TCustomComPort::WriteStr(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return 0;
    return Write(bytes.constData(), static_cast<int>(bytes.size()));
}

int TCustomComPort::Read(void* buffer, int count) {
    bool gone = false;
    const int got = device_.Read(static_cast<uint8_t*>(buffer), count, gone);
    if (gone && thread_)
        thread_->Feedback().deviceGone = true;
    return got;
}

void TCustomComPort::AttachLink(TComLink* link) {
    if (!link || std::find(links_.begin(), links_.end(), link) != links_.end())
        throw EComPort(CError_RegFailed);
    links_.push_back(link);
    recomputeLinksTakeBytes();
}

void TCustomComPort::DetachLink(TComLink* link) {
    const auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end())
        throw EComPort(CError_RegFailed);
    links_.erase(it);
    recomputeLinksTakeBytes();
}

void TCustomComPort::recomputeLinksTakeBytes() {
    linksTakeBytes_ = std::any_of(links_.begin(), links_.end(),
                                  [](const TComLink* l) { return bool(l->OnRxBuf); });
}

void TCustomComPort::AddFreeNotification(const void* key, std::function<void()> notify) {
    RemoveFreeNotification(key);
    freeNotifications_.emplace_back(key, std::move(notify));
}

void TCustomComPort::RemoveFreeNotification(const void* key) {
    std::erase_if(freeNotifications_, [key](const auto& entry) { return entry.first == key; });
}

bool TCustomComPort::HandOffPending() const {
    return handOff_->RequestPending();
}

template <class F> bool TCustomComPort::callOut(F f) {
    const std::shared_ptr<const bool> alive = alive_;
    f();
    return *alive;
}

bool TCustomComPort::notify(const TNotifyEvent& event) {
    return callOut([&] {
        if (event)
            event();
    });
}

template <class F> bool TCustomComPort::forEachLink(F f) {
    // Copy: a handler may attach or detach links. One detached meanwhile, perhaps destroyed by
    // another link's handler, is not called any more.
    const auto links = links_;
    for (TComLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end())
            continue;
        if (!callOut([&] { f(*link); }))
            return false;
    }
    return true;
}

bool TCustomComPort::tellLinks(TComLink::TSignal TComLink::*handler, bool on) {
    return forEachLink([&](TComLink& l) {
        if (l.*handler)
            (l.*handler)(on);
    });
}

bool TCustomComPort::reportSignal(TComLink::TSignal TComLink::*handler,
                                  const TComSignalEvent& event, bool on) {
    return tellLinks(handler, on) && callOut([&] {
               if (event)
                   event(on);
           });
}

TComErrors TCustomComPort::errorsOf(const TLineErrorCounts& counts) const {
    TComErrors errors;
    if (counts.frame)
        errors.Include(TComError::ceFrame);
    if (counts.parity && parity_.Check())
        errors.Include(TComError::ceRxParity);
    if (counts.overrun)
        errors.Include(TComError::ceOverrun);
    if (counts.breaks)
        errors.Include(TComError::ceBreak);
    return errors;
}

void TCustomComPort::handleEvents() {
    if (!connected_ || !thread_)
        return;
    const TComPending pending = thread_->TakePending();
    const TComEvents events = pending.events;
    // Each step may run a handler that closes or destroys the port.
    const std::shared_ptr<const bool> alive = alive_;
    const auto open = [&] { return *alive && connected_ && thread_; };
    TLineReport report;
    if (events.Contains(TComEvent::evError)) {
        report.errors = pending.errors;
        if (const TComErrors errors = errorsOf(pending.errors); !errors.Empty()) {
            callOut([&] {
                if (OnError)
                    OnError(errors);
            });
            if (!open())
                return;
        }
    }
    if (events.Contains(TComEvent::evRxChar)) {
        receiveData();
        if (!open())
            return;
    }
    if (events.Contains(TComEvent::evBreak) && !(notify(OnBreak) && open()))
        return;
    if (events.Contains(TComEvent::evRing) && !(forEachLink([](TComLink& l) {
                                                    if (l.OnRing)
                                                        l.OnRing();
                                                }) &&
                                                notify(OnRing) && open()))
        return;
    if (anyModemEvent(events)) {
        const TModemStatus status = device_.ModemStatus();
        report.modem = status;
        if ((events.Contains(TComEvent::evCTS) &&
             !(reportSignal(&TComLink::OnCTSChange, OnCTSChange, status.cts) && open())) ||
            (events.Contains(TComEvent::evDSR) &&
             !(reportSignal(&TComLink::OnDSRChange, OnDSRChange, status.dsr) && open())) ||
            (events.Contains(TComEvent::evRLSD) &&
             !(reportSignal(&TComLink::OnRLSDChange, OnRLSDChange, status.rlsd) && open())))
            return;
    }
    if (events.Contains(TComEvent::evRx80Full) && !(notify(OnRx80Full) && open()))
        return;
    if (open() && (report.errors.Any() || report.modem) && OnLineReport)
        OnLineReport(report);
}

void TCustomComPort::receiveData() {
    thread_->Feedback().unread = 0;
    int count = device_.InputCount();
    // Another reader, or a handler of an earlier hand-off, may have taken the bytes the event
    // thread saw: then there is nothing to deliver and nobody to call.
    if (count == 0 || !tellLinks(&TComLink::OnRxStatus, true))
        return;
    if (!linksTakeBytes_ && triggersOnRxChar_) {
        // Nobody takes the bytes: they stay in the driver for OnRxChar's handler to read. What
        // it leaves there is announced again only once more bytes arrive.
        if (!callOut([&] {
                if (OnRxChar)
                    OnRxChar(count);
            }))
            return;
        if (connected_ && thread_)
            thread_->Feedback().unread = device_.InputCount();
        return;
    }
    // One freshly reserved block per hand-off, released once the links have seen it.
    std::vector<uint8_t> block(static_cast<size_t>(count));
    count = Read(block.data(), count);
    if (count == 0) {
        // The links were told reception is active; they hear that it stopped.
        tellLinks(&TComLink::OnRxStatus, false);
        return;
    }
    if (device_.InputCount() == 0 && !tellLinks(&TComLink::OnRxStatus, false))
        return;
    if (!callOut([&] {
            if (OnRxBuf)
                OnRxBuf(block.data(), count);
        }))
        return;
    forEachLink([&](TComLink& l) {
        if (l.OnRxBuf)
            l.OnRxBuf(*this, block.data(), count);
    });
}

} // namespace serial
