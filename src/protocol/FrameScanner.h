#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// Cuts the splicer's response frames (55 L code payload AA, L counting every byte) out of the
// received byte stream.
//
// What it finds is what a scan of RxBuffer from its start after every chunk finds: the first
// position holding 0x55 whose length byte and end byte fit starts a frame; the frame is cut
// together with every byte before it and dispatched, and the scan begins again. A 0x55 whose
// frame is not complete yet is passed over and looked at again once its end byte has arrived.
// The caller drives the scan one step at a time, so it can act between steps (the link
// dispatches each frame and processes pending events there).
//
// It stays linear in the bytes received: a position is examined once when it arrives and, if
// its frame was incomplete then, once more when its end byte arrives; positions rejected for
// good are never scanned again. A length byte below 4 never starts a frame. Once more than
// kDeadLimit bytes lie before the first position that can still start a frame they are
// dropped, so RxBuffer holds at most kDeadLimit + 255 bytes plus one chunk, and a valid frame
// after any amount of garbage is still found.
class FrameScanner {
public:
    static constexpr qsizetype kDeadLimit = 4096;
    static constexpr int kMinFrame = 4;

    // Adds a received chunk; Step then scans the buffer.
    void Append(const QByteArray& chunk);
    // Examines the next position. False once nothing is left to examine (the bytes left wait
    // for the next chunk); otherwise frame is the frame cut at this step, or empty.
    bool Step(QByteArray& frame);

    // The bytes dropped by the scan since the last Append or TakeDiscarded, in order: those
    // cut off before a frame and those the bound dropped. Line noise shows here.
    QByteArray TakeDiscarded() { return std::exchange(discarded_, {}); }

    const QByteArray& RxBuffer() const { return buffer_; }

private:
    // Positions are offsets in the whole received stream; buffer_ starts at base_.
    enum class Verdict { Rejected, Incomplete, Frame };
    struct Candidate {
        int64_t start;
        int64_t end;
    };

    Verdict examine(int64_t position, int64_t& end);
    uint8_t at(int64_t position) const { return uint8_t(buffer_[qsizetype(position - base_)]); }
    int64_t limit() const { return base_ + buffer_.size(); }
    void collectDue();
    void dropDeadPrefix();

    QByteArray buffer_;
    QByteArray discarded_;
    int64_t base_ = 0;
    int64_t next_ = 0; // first position not examined yet
    // Incomplete candidates by where their end byte must be: an end lies less than 255 bytes
    // beyond the data, so each of the 256 slots holds candidates of a single end at a time.
    std::array<std::vector<int64_t>, 256> waiting_;
    int64_t collectedTo_ = 0;    // the slots of ends below this have been collected
    std::vector<Candidate> due_; // candidates whose end byte has arrived, by position
    size_t nextDue_ = 0;         // the first of them not examined yet
};
