#pragma once

#include <QString>

#include <chrono>

class SplicerLink;

namespace ch341 {
class TConverterLibrary;
}

namespace cli {

class TConsoleBoxes;
class TStopSignals;

// --wait: the search as --read and --write run it, run again each time the converter layer
// reports a converter plugged in (a ch341-uart tty, or a mapped path that appeared), until the
// splicer answers or the time is up. Nothing is polled: a splicer switched on behind a
// converter already plugged in is not noticed. The searches that find nothing say nothing;
// once the time is up "未发现有设备连接！" is shown once. note is said when the wait begins
// (empty: nothing). True when connected; false when the time is up or after a stop signal.
bool WaitForSplicer(SplicerLink& link, TConsoleBoxes& boxes, ch341::TConverterLibrary& converter,
                    std::chrono::seconds within, TStopSignals& stop, const QString& note);

} // namespace cli
