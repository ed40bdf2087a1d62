#include "trace/FollowFeed.h"

#include "trace/FrameTrace.h"

namespace trace {

void FollowFeed(FrameFeed& feed, QObject* context, std::function<void(const QString&)> line) {
    QObject::connect(&feed, &FrameFeed::frameSent, context, [line](const QByteArray& frame) {
        line(TraceLine(MsSinceStart(), Direction::Sent, frame));
    });
    QObject::connect(&feed, &FrameFeed::frameReceived, context, [line](const QByteArray& frame) {
        line(TraceLine(MsSinceStart(), Direction::Received, frame));
    });
}

} // namespace trace
