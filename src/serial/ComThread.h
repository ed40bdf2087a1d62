#pragma once

#include "serial/ComTypes.h"
#include "serial/LineEvents.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace serial {

class TComHandOff;

// What the GUI side of a hand-off tells the event thread about the device.
struct TComThreadFeedback {
    std::atomic<bool> deviceGone{false}; // a read showed the device has disappeared
    std::atomic<int> unread{0};          // bytes a handler left waiting in the driver
};

// What a hand-off carries: the events, and what the line events found.
struct TComPending {
    TComEvents events{};
    TLineErrorCounts errors{}; // evError: counted since the last hand-off that carried them
};

// Waits for line events on an open device and hands each set over to the GUI thread. Its own
// thread blocks in poll() on the device and a stop signal: no busy loop, and no periodic wake-up
// except while bytes that an OnRxChar handler left unread wait in the driver. A second thread,
// started and ended by the first, blocks in TIOCMIWAIT for the modem lines.
//
// Linux reports, without a busy loop:
// - received data (evRxChar), and the device's disappearance (hang-up or error, after which the
//   thread only waits for its stop signal);
// - line errors (evError) and break (evBreak), from the driver's TIOCGICOUNT counters, read
//   whenever bytes arrive: a byte that arrives with a frame or parity error, or a break, is
//   received as NUL, so each wakes the thread;
// - the receive queue past 80 % of the component's input size (evRx80Full), looked at then too;
// - CTS, DSR, RI and DCD (evCTS, evDSR, evRing on RI rising, evRLSD) from the modem thread.
// A device that refuses TIOCGICOUNT or TIOCMIWAIT (a pseudo-terminal) reports none of these:
// the counters are not looked at again and the modem thread ends at once.
// Not reported: evTxEmpty (POLLOUT is ready almost always, so waiting for it spins) and evRxFlag
// (the tty layer has no event character).
//
// Both threads hand over through the one TComHandOff; what they found waits in one pending set
// until the GUI thread takes it. The modem thread's TIOCMIWAIT has no time limit and no
// descriptor to poll: the event thread interrupts it with a signal of its own when it stops,
// again until the modem thread has ended.
//
// The thread object shares the hand-off with its port, so a handler that destroys the port
// while the port waits for this thread leaves both whole until that wait has returned.
class TComThread {
public:
    // Raises EComPort code 1 when the system has no file descriptor or thread left for it.
    // rx80Full: the receive-queue byte count that is 80 % of the input size.
    TComThread(int deviceFd, TComEvents events, int rx80Full, std::shared_ptr<TComHandOff> handOff);
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;
    ~TComThread();

    // Sets the stop signal; the thread ends once any hand-off it waits for is served or
    // cancelled.
    void Stop();
    // Serves the hand-offs still waiting until the thread has ended.
    void Join();

    // What the hand-offs since the last call carry; read by the GUI thread during a hand-off.
    TComPending TakePending();
    TComThreadFeedback& Feedback() { return feedback_; }

private:
    void execute();
    void watchModemLines();
    void stopModemWatch();
    // Adds to the pending set and hands it over; false when cancelled.
    bool handOver(const TComPending& found);
    // The error events since the last look, their counts in found.
    TComEvents lineErrors(TLineErrorCounts& found);

    int deviceFd_;
    TComEvents events_;
    int rx80Full_;
    std::shared_ptr<TComHandOff> handOff_;
    TComThreadFeedback feedback_;
    int stopFd_;
    // What the device said when the port opened: the error counters (then the last look at
    // them, on the event thread) and the modem lines (for the modem thread); nullopt where it
    // refuses them.
    std::optional<TLineErrorCounts> counted_;
    std::optional<TModemStatus> modemAtOpen_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> modemWatchEnded_{false};
    std::mutex pendingMutex_;
    TComPending pending_;
    std::thread thread_;
    std::thread modemWatch_;
};

} // namespace serial
