#pragma once

#include <optional>

namespace serial {

// The modem lines as the device reports them.
struct TModemStatus {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool rlsd = false;

    bool operator==(const TModemStatus&) const = default;
};

// Line errors the driver counted: since the device opened, or between two looks.
struct TLineErrorCounts {
    int frame = 0;
    int parity = 0;
    int overrun = 0; // the UART's and the driver's buffer overruns
    int breaks = 0;

    bool Any() const { return frame || parity || overrun || breaks; }
    TLineErrorCounts& operator+=(const TLineErrorCounts& more) {
        frame += more.frame;
        parity += more.parity;
        overrun += more.overrun;
        breaks += more.breaks;
        return *this;
    }
    TLineErrorCounts Since(const TLineErrorCounts& before) const {
        return {frame - before.frame, parity - before.parity, overrun - before.overrun,
                breaks - before.breaks};
    }
};

// What one hand-off tells about the line besides received data, for a diagnostic display: the
// errors counted since the last report, and the modem lines after a change.
struct TLineReport {
    TLineErrorCounts errors{};
    std::optional<TModemStatus> modem{};
};

// The line-event requests of a terminal device, for the event threads. A device that has no
// such counters or lines (a pseudo-terminal) refuses them: nullopt, or Unsupported.
std::optional<TLineErrorCounts> LineErrorCounters(int fd);
std::optional<TModemStatus> ModemLines(int fd);
enum class ModemWait { Changed, Interrupted, Unsupported };
// Blocks until CTS, DSR, RI or DCD changes, or a signal interrupts the wait.
ModemWait WaitForModemChange(int fd);

} // namespace serial
