#pragma once

#include "protocol/FusionParams.h"

#include <cstdint>
#include <functional>
#include <optional>

// What the write of a parameter block needs of the side that talks to the splicer: the
// window's link, or the command line's exchange.
class TWriteChannel {
public:
    virtual ~TWriteChannel() = default;
    // Sends the query with this code, waits the query wait and, when no answer came, up to
    // patienceMs more for a late one; the 16-bit value answered, or none.
    virtual std::optional<uint16_t> Query(uint8_t code, int patienceMs) = 0;
    // The block length answered last on this connection, 0 when none came.
    virtual uint16_t LastBlockLength() const = 0;
    virtual void SendParamBlock(const FusionParams& block, int count) = 0;
    virtual void Wait(int milliseconds) = 0;
    // False once the work must stop without sending anything more.
    virtual bool GoesOn() const = 0;
};

// What a caller decides along the write. Either may raise an error, which ends the write there.
struct TWriteSteps {
    // The block to send, once the version is known (0 when none was answered).
    std::function<FusionParams(uint16_t version)> block;
    // Whether the block goes out in count bytes; none: it does.
    std::function<bool(int count)> mayWrite{};
    // How much longer than the query wait an answer may come and still count.
    int patienceMs = 0;
};

struct TWriteOutcome {
    uint16_t version = 0; // answered, or 0
    int count = 0;        // the block bytes meant for this firmware
    FusionParams block{};
    bool sent = false; // the block went out, followed by its wait
};

// The write as the splicer takes it: the version query and its wait; on firmware that takes the
// whole block the block-length query and its wait; the block, cut to the length answered (the
// last one when none came, 32 bytes on older firmware); the wait while the splicer takes it.
TWriteOutcome WriteSequence(TWriteChannel& channel, const TWriteSteps& steps);
