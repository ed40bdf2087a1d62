#include "protocol/FrameScanner.h"

#include "protocol/Frames.h"

#include <algorithm>

FrameScanner::Verdict FrameScanner::examine(int64_t position, int64_t& end) {
    if (at(position) != frames::kAnswerStart)
        return Verdict::Rejected;
    const int length = at(position + 1);
    if (length < kMinFrame)
        return Verdict::Rejected;
    end = position + length - 1;
    if (end >= limit())
        return Verdict::Incomplete;
    return at(end) == frames::kAnswerEnd ? Verdict::Frame : Verdict::Rejected;
}

void FrameScanner::collectDue() {
    due_.clear();
    for (; collectedTo_ < limit(); ++collectedTo_) {
        std::vector<int64_t>& slot = waiting_[size_t(collectedTo_ & 255)];
        for (const int64_t start : slot)
            due_.push_back({start, collectedTo_});
        slot.clear();
    }
    std::sort(due_.begin(), due_.end(),
              [](const Candidate& a, const Candidate& b) { return a.start < b.start; });
}

void FrameScanner::Append(const QByteArray& chunk) {
    buffer_.append(chunk);
    discarded_.clear();
    collectDue();
    nextDue_ = 0;
}

bool FrameScanner::Step(QByteArray& frame) {
    frame.clear();
    // Walk the due candidates and the fresh positions together, in the order of position.
    while (nextDue_ < due_.size() && due_[nextDue_].start < base_)
        ++nextDue_;                             // went with a frame cut before it
    const bool freshLeft = next_ + 1 < limit(); // a byte and the one after it
    const bool dueLeft = nextDue_ < due_.size();
    if (!freshLeft && !dueLeft) {
        dropDeadPrefix();
        return false;
    }
    const bool isFresh = freshLeft && (!dueLeft || next_ < due_[nextDue_].start);
    const int64_t position = isFresh ? next_ : due_[nextDue_].start;
    int64_t end = 0;
    const Verdict verdict = examine(position, end);
    if (isFresh)
        ++next_;
    else
        ++nextDue_;
    if (verdict == Verdict::Incomplete) {
        waiting_[size_t(end & 255)].push_back(position);
    } else if (verdict == Verdict::Frame) {
        discarded_ += buffer_.left(qsizetype(position - base_));
        frame = buffer_.mid(qsizetype(position - base_), qsizetype(end - position + 1));
        buffer_.remove(0, qsizetype(end + 1 - base_));
        base_ = end + 1;
        next_ = std::max(next_, base_);
    }
    return true;
}

void FrameScanner::dropDeadPrefix() {
    // An incomplete candidate's end byte is still to come and lies at most 254 bytes after it.
    const int64_t firstAlive = std::max(base_, std::min(next_, limit() - 255));
    if (firstAlive - base_ <= kDeadLimit)
        return;
    discarded_ += buffer_.left(qsizetype(firstAlive - base_));
    buffer_.remove(0, qsizetype(firstAlive - base_));
    base_ = firstAlive;
}
