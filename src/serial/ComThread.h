#pragma once

#include "ComTypes.h"

#include <atomic>
#include <thread>

namespace serial {

class TComHandOff;

// Waits for line events on an open device and hands each set over to the GUI thread. It blocks
// in poll() on the device and a stop signal: no busy loop, no periodic wake-up.
//
// Linux reports, without an extra thread per port or a busy loop: received data (evRxChar) and
// the device's disappearance (hang-up or error, after which the thread only waits for its stop
// signal). Not reported: evTxEmpty (POLLOUT is ready almost always, so waiting for it spins),
// evCTS, evDSR, evRLSD and evRing (only TIOCMIWAIT waits for them, blocking a thread of its
// own), evBreak and evError line errors (they arrive in-band only with PARMRK), evRxFlag and
// evRx80Full (the tty layer has no event character and no fill mark).
class TComThread {
public:
    TComThread(int deviceFd, TComEvents events, TComHandOff& handOff,
               const std::atomic<bool>& deviceGone);
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;
    ~TComThread();

    // Sets the stop signal; the thread ends once any hand-off it waits for is served or
    // cancelled.
    void Stop();
    void Join();

    // The events of the hand-off being served; written before the request, read during it.
    TComEvents PendingEvents() const { return TComEvents::FromBits(pending_.load()); }

private:
    void execute();

    int deviceFd_;
    TComEvents events_;
    TComHandOff& handOff_;
    const std::atomic<bool>& deviceGone_;
    int stopFd_;
    std::atomic<uint32_t> pending_{0};
    std::thread thread_;
};

} // namespace serial
