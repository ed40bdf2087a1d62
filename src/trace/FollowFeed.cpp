#include "trace/FollowFeed.h"

namespace trace {

void FollowRecords(FrameFeed& feed, QObject* context,
                   std::function<void(const FrameRecord&)> record) {
    const auto recordAs = [record](Direction direction, bool discarded) {
        return [record, direction, discarded](const QByteArray& bytes) {
            record(RecordNow(direction, bytes, discarded));
        };
    };
    QObject::connect(&feed, &FrameFeed::frameSent, context, recordAs(Direction::Sent, false));
    QObject::connect(&feed, &FrameFeed::frameReceived, context,
                     recordAs(Direction::Received, false));
    QObject::connect(&feed, &FrameFeed::bytesDiscarded, context,
                     recordAs(Direction::Received, true));
    QObject::connect(&feed, &FrameFeed::lineReported, context,
                     [record](const serial::TLineReport& report) {
                         FrameRecord r = RecordNow(Direction::Received, {});
                         r.line = report;
                         record(r);
                     });
}

void FollowFeed(FrameFeed& feed, QObject* context, std::function<void(const QString&)> line) {
    FollowRecords(feed, context, [line](const FrameRecord& r) { line(TraceLine(r)); });
}

} // namespace trace
