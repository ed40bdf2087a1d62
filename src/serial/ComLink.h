#pragma once

#include <cstdint>
#include <functional>

namespace serial {

class TCustomComPort;

// What another component attaches to a port to be told of its activity. Only the handlers that
// are set are called.
struct TComLink {
    using TSignal = std::function<void(bool on)>;
    using TBuffer = std::function<void(TCustomComPort& port, const uint8_t* buffer, int count)>;
    using TNotify = std::function<void()>;

    TSignal OnConn;
    TBuffer OnRxBuf;
    TBuffer OnTxBuf;
    TNotify OnTxEmpty;
    TNotify OnRxFlag;
    TSignal OnCTSChange;
    TSignal OnDSRChange;
    TSignal OnRLSDChange;
    TNotify OnRing;
    TSignal OnTxStatus;
    TSignal OnRxStatus;
};

} // namespace serial
