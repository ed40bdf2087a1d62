#pragma once

#include "trace/FrameTrace.h"

#include <QObject>

#include <deque>

class FrameFeed;

namespace trace {

// The last kSize records of a feed, raw and unformatted, so that a traffic monitor opened
// after connecting still shows what just happened.
class TFrameHistory : public QObject {
    Q_OBJECT
public:
    static constexpr size_t kSize = 1000;

    explicit TFrameHistory(FrameFeed& feed, QObject* parent = nullptr);

    const std::deque<FrameRecord>& Records() const { return records_; }

signals:
    // Each record as it is kept.
    void recorded(const trace::FrameRecord& record);

private:
    std::deque<FrameRecord> records_;
};

} // namespace trace
