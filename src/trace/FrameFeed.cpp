#include "trace/FrameFeed.h"

#include "trace/FrameTrace.h"

namespace trace {

void FollowFeed(TFrameFeed& feed, QObject* context, std::function<void(const QString&)> line) {
    QObject::connect(&feed, &TFrameFeed::frameSent, context, [line](const QByteArray& frame) {
        line(TraceLine(MsSinceStart(), Direction::Sent, frame));
    });
    QObject::connect(&feed, &TFrameFeed::frameReceived, context, [line](const QByteArray& frame) {
        line(TraceLine(MsSinceStart(), Direction::Received, frame));
    });
}

} // namespace trace
