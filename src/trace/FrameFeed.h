#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace trace {

// Every frame the program writes to the splicer and every frame it cuts from what the splicer
// sent, whole and in the order they passed. The side that talks to the splicer emits; the
// traffic monitor and the trace file listen. Nobody listening costs one check per frame:
// nothing is formatted or kept.
class TFrameFeed : public QObject {
    Q_OBJECT
signals:
    void frameSent(const QByteArray& frame);
    void frameReceived(const QByteArray& frame);
};

// Hands the trace line of every frame passing the feed to line, until context is destroyed.
void FollowFeed(TFrameFeed& feed, QObject* context, std::function<void(const QString&)> line);

} // namespace trace
