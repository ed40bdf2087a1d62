#include "FrameScanner.h"

#include <algorithm>

void FrameScanner::Scan(const QByteArray& chunk, const Dispatch& dispatch, const Step& afterStep) {
    buffer_.append(chunk);
    // Positions (0-based) are those of the scan's steps; p restarts at the first undecided one.
    qsizetype p = undecided_;
    qsizetype firstIncomplete = -1;
    while (p + 1 < buffer_.size()) {
        bool cut = false;
        if (uint8_t(buffer_[p]) == 0x55) {
            const int length = uint8_t(buffer_[p + 1]);
            const qsizetype end = p + length - 1;
            if (length < kMinFrame) {
                // Too short to be a frame: rejected for good.
            } else if (end >= buffer_.size()) {
                if (firstIncomplete < 0)
                    firstIncomplete = p;
            } else if (uint8_t(buffer_[end]) == 0xAA) {
                const QByteArray frame = buffer_.mid(p, length);
                buffer_.remove(0, end + 1);
                p = 0;
                firstIncomplete = -1;
                cut = true;
                dispatch(frame);
            }
        }
        if (!cut)
            ++p;
        afterStep();
    }
    undecided_ = firstIncomplete >= 0 ? firstIncomplete : std::min(p, buffer_.size());
    if (undecided_ > kDeadLimit) {
        buffer_.remove(0, undecided_);
        undecided_ = 0;
    }
}
