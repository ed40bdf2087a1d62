#pragma once

#include <QByteArray>

#include <functional>

// Cuts the splicer's response frames (55 L code payload AA, L counting every byte) out of the
// received byte stream.
//
// Each chunk is appended to RxBuffer and the buffer is scanned from its start: a 0x55 whose
// length and end byte fit is a frame; it is cut together with every byte before it and
// dispatched, and the scan begins again at the (new) start. A 0x55 whose frame is not complete
// yet is passed over and looked at again with the next chunk. After every step the caller's
// step hook runs (the window processes its events there).
//
// Two things keep the cost linear in the bytes received: positions that have been rejected for
// good (not 0x55, a length below 4, a wrong end byte inside the buffer) are not scanned again
// by later chunks, and once more than kDeadLimit such bytes lie before the first position that
// can still start a frame, they are dropped. RxBuffer thus holds at most kDeadLimit + 254 bytes
// plus one chunk, and a valid frame after any amount of garbage is still found.
class FrameScanner {
public:
    static constexpr qsizetype kDeadLimit = 4096;
    static constexpr int kMinFrame = 4;

    using Dispatch = std::function<void(const QByteArray& frame)>;
    using Step = std::function<void()>;

    void Scan(const QByteArray& chunk, const Dispatch& dispatch, const Step& afterStep);

    const QByteArray& RxBuffer() const { return buffer_; }

private:
    QByteArray buffer_;
    qsizetype undecided_ = 0; // first position that may still start a frame
};
