#pragma once

#include "protocol/FrameFeed.h"
#include "trace/FrameTrace.h"

#include <QObject>
#include <QString>

#include <functional>

namespace trace {

// Hands the record of everything passing the feed (frames, and bytes the scan dropped) to
// record, until context is destroyed.
void FollowRecords(FrameFeed& feed, QObject* context,
                   std::function<void(const FrameRecord&)> record);
// The same as trace lines.
void FollowFeed(FrameFeed& feed, QObject* context, std::function<void(const QString&)> line);

} // namespace trace
