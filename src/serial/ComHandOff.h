#pragma once

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace serial {

// The serial component's only thread boundary: a port's event thread, and the modem-line thread
// it runs beside itself (see TComThread), ask the GUI thread to run the port's event handling and
// block until it has run (a blocking queued call). Everything the handling touches is therefore
// touched on the GUI thread only, one hand-off at a time; what the two threads found waits in
// one pending set under a mutex of TComThread's until the handling takes it:
// - Request (either thread) posts an event to this object and blocks until the GUI thread has
//   served that request, or until Cancel. One handling serves every request made before it
//   began.
// - The GUI thread serves requests from its event loop (nested waits included). A request that
//   arrives while a hand-off is already running further up the GUI stack waits until that one
//   has returned, so received data never nests.
// - Close cancels a request whose hand-off is running up the stack (the event thread may end
//   then) and serves the ones still waiting while it joins the thread (WaitForThreadEnd).
// - An error raised by the handling ends that hand-off only: its text goes to standard error, and
//   the event thread keeps running, so the port stays able to receive. It is not shown to the
//   user.
// Owned through shared pointers: a handler may destroy the port, and with it the port's share.
class TComHandOff : public QObject, public std::enable_shared_from_this<TComHandOff> {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    explicit TComHandOff(Handler handler);

    // With direct delivery the requesting thread runs the handling itself (no GUI thread
    // involved), one thread at a time.
    void SetDirect(bool direct) { direct_ = direct; }

    // Event thread side.
    bool Request(); // false when cancelled
    void NotifyThreadEnded();

    // GUI thread side.
    void BeginThread(); // a new event thread is about to start
    void Cancel();
    void WaitForThreadEnd(); // serves pending requests meanwhile
    bool RequestPending() const;

protected:
    void customEvent(QEvent* e) override;

private:
    void servePending();
    static void reportError(std::exception_ptr error);

    Handler handler_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t requested_ = 0; // number of the last request
    uint64_t started_ = 0;   // number of the last request whose handling started
    uint64_t served_ = 0;    // number of the last request whose handling finished
    bool running_ = false;
    bool cancelled_ = false;
    bool threadEnded_ = true;
    bool direct_ = false;
    std::mutex directMutex_;
};

} // namespace serial
