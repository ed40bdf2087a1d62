#pragma once

#include <QSocketNotifier>
#include <QString>

#include <functional>

namespace cli {

// SIGHUP, SIGINT and SIGTERM while the command line or the window runs. The handler only writes the
// signal's number into a pipe. The event loop reads it, runs stop (which closes the port) and ends
// every event loop, the nested waits included, so that the command returns promptly to the command
// line, which says what was done and exits with 128 + the signal's number. Once stopped, every
// wait that follows returns at once. SIGHUP ignored when the program started (nohup) stays
// ignored. One at a time: the handler has one pipe.
class TStopSignals {
public:
    explicit TStopSignals(std::function<void()> stop);
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // The signal that stopped the run, 0 while none came. Also takes one that came while no
    // event loop ran.
    int Caught();

    // "SIGTERM" for SIGTERM.
    static QString Name(int signal);
    // Readable once a stop signal has come, for a wait outside the event loop (a read from a
    // pipe or a terminal) to end on; -1 while no TStopSignals exists.
    static int PendingFd();

private:
    void take();

    std::function<void()> stop_;
    int caught_ = 0;
    QSocketNotifier notifier_;
};

} // namespace cli
