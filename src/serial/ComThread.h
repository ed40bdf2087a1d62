#pragma once

#include "serial/ComTypes.h"

#include <atomic>
#include <memory>
#include <thread>

namespace serial {

class TComHandOff;

// What the GUI side of a hand-off tells the event thread about the device.
struct TComThreadFeedback {
    std::atomic<bool> deviceGone{false}; // a read showed the device has disappeared
    std::atomic<int> unread{0};          // bytes a handler left waiting in the driver
};

// Waits for line events on an open device and hands each set over to the GUI thread. It blocks
// in poll() on the device and a stop signal: no busy loop, and no periodic wake-up except while
// bytes that an OnRxChar handler left unread wait in the driver.
//
// Linux reports, without an extra thread per port or a busy loop: received data (evRxChar) and
// the device's disappearance (hang-up or error, after which the thread only waits for its stop
// signal). Not reported: evTxEmpty (POLLOUT is ready almost always, so waiting for it spins),
// evCTS, evDSR, evRLSD and evRing (only TIOCMIWAIT waits for them, blocking a thread of its
// own), evBreak and evError line errors (they arrive in-band only with PARMRK), evRxFlag and
// evRx80Full (the tty layer has no event character and no fill mark).
//
// The thread object shares the hand-off with its port, so a handler that destroys the port
// while the port waits for this thread leaves both whole until that wait has returned.
class TComThread {
public:
    // Raises EComPort code 1 when the system has no file descriptor or thread left for it.
    TComThread(int deviceFd, TComEvents events, std::shared_ptr<TComHandOff> handOff);
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;
    ~TComThread();

    // Sets the stop signal; the thread ends once any hand-off it waits for is served or
    // cancelled.
    void Stop();
    // Serves the hand-offs still waiting until the thread has ended.
    void Join();

    // The events of the hand-off being served; written before the request, read during it.
    TComEvents PendingEvents() const { return TComEvents::FromBits(pending_.load()); }
    TComThreadFeedback& Feedback() { return feedback_; }

private:
    void execute();

    int deviceFd_;
    TComEvents events_;
    std::shared_ptr<TComHandOff> handOff_;
    TComThreadFeedback feedback_;
    int stopFd_;
    std::atomic<uint32_t> pending_{0};
    std::thread thread_;
};

} // namespace serial
