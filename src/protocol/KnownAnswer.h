#pragma once

#include "protocol/CommandTable.h"
#include "protocol/DeviceState.h"
#include "protocol/Frames.h"

#include <QByteArray>

#include <optional>

namespace frames {

// An answer the program acts on, read by the command table: what it tells and its payload,
// exactly the bytes its code carries (a parameter block: every byte that came).
struct KnownAnswer {
    AnswerValue value = AnswerValue::None;
    QByteArray payload;

    // The 16-bit value of a version, block length or fusion count answer.
    uint16_t Word() const { return Le16(payload, 0); }
};

// None for a frame that is no answer, an answer to no command the program knows or acts on,
// and an answer shorter than its code carries: that cannot be told from a damaged frame.
std::optional<KnownAnswer> ReadKnownAnswer(const QByteArray& frame);

} // namespace frames

// Takes what an answer tells into the per-connection fields. What the splicer says about
// itself (identity, fusion count, current group) counts only while the query sequence after a
// handshake runs, which its identity ends; versions and block lengths count whenever they come;
// an accepted handshake sets HandshakeSeen. True when the answer was taken.
bool TakeAnswer(DeviceState& state, const frames::KnownAnswer& answer);
