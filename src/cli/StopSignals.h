#pragma once

#include <QString>

#include <stdexcept>

namespace cli {

// SIGHUP, SIGINT and SIGTERM while the command line runs. The handler only writes the signal's
// number into a pipe; every wait of the command line watches the pipe's end (Fd) beside what
// it waits for, and raises EStopped once a signal came, so that the command returns promptly
// to the command line, which closes the port, says what was done and exits with 128 + the
// signal's number. SIGHUP ignored when the program started (nohup) stays ignored. One at a
// time: the handler has one pipe.
class TStopSignals {
public:
    TStopSignals();
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // The signal that stopped the run, 0 while none came.
    int Caught();
    // Readable once a signal came.
    int Fd() const;

    // "SIGTERM" for SIGTERM.
    static QString Name(int signal);

private:
    int caught_ = 0;
};

// Raised by a wait that a stop signal ended: the work under way ends there.
class EStopped : public std::runtime_error {
public:
    explicit EStopped(int signal) : std::runtime_error(TStopSignals::Name(signal).toStdString()) {}
};

} // namespace cli
