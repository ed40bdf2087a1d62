#pragma once

#include <QString>

#include <chrono>

namespace ch341 {
class TConverterLibrary;
}

namespace cli {

class TSplicerExchange;
class TStopSignals;

// --wait: the search as --read and --write run it, run again each time the converter layer
// reports a converter plugged in (a ch341-uart tty, or a mapped path that appeared), until the
// splicer answers or the time is up. Nothing is polled: a splicer switched on behind a
// converter already plugged in is not noticed. note is said when the wait begins (empty:
// nothing). True when connected; false when the time is up. A stop signal ends it with
// EStopped.
bool WaitForSplicer(TSplicerExchange& exchange, ch341::TConverterLibrary& converter,
                    std::chrono::seconds within, TStopSignals& stop, const QString& note);

} // namespace cli
