#include "trace/FrameHistory.h"

#include "trace/FollowFeed.h"

namespace trace {

TFrameHistory::TFrameHistory(FrameFeed& feed, QObject* parent) : QObject(parent) {
    FollowRecords(feed, this, [this](const FrameRecord& record) {
        if (records_.size() == kSize)
            records_.pop_front();
        records_.push_back(record);
        emit recorded(record);
    });
}

} // namespace trace
