#pragma once

#include "protocol/Frames.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace frames {

// A frame's code and payload, cut from the frame's bytes here and nowhere else.
// An answer, 55 L code payload AA: code is the code of the command it answers. A kind-first
// command, 5A kind n payload A5: code is the kind. A length-first record, 5A 0A code, six
// bytes, A5: code is the record's code. Kinds and record codes never coincide.
struct FrameView {
    uint8_t code = 0;
    QByteArray payload;

    // An answer whose length byte counts every byte and whose end byte is in place; none for
    // anything else.
    static std::optional<FrameView> Answer(const QByteArray& frame) {
        if (frame.size() < 4 || uint8_t(frame[0]) != kAnswerStart ||
            uint8_t(frame[1]) != frame.size() || uint8_t(frame.back()) != kAnswerEnd)
            return std::nullopt;
        return FrameView{uint8_t(frame[2]), frame.mid(3, frame.size() - 4)};
    }

    // A command frame of either layout, whole; none when its length or its ends do not fit.
    static std::optional<FrameView> Command(const QByteArray& frame) {
        if (frame.size() < 4 || uint8_t(frame[0]) != kStart || uint8_t(frame.back()) != kEnd)
            return std::nullopt;
        if (uint8_t(frame[1]) == kLengthFirstMarker)
            return frame.size() == kLengthFirstSize
                       ? std::optional(FrameView{uint8_t(frame[2]), frame.mid(3, 6)})
                       : std::nullopt;
        if (frame.size() != 4 + uint8_t(frame[2]))
            return std::nullopt;
        return FrameView{uint8_t(frame[1]), frame.mid(3, uint8_t(frame[2]))};
    }
};

} // namespace frames
