#pragma once

#include "protocol/FrameFeed.h"

#include <QObject>
#include <QString>

#include <functional>

namespace trace {

// Hands the trace line of every frame passing the feed to line, until context is destroyed.
void FollowFeed(FrameFeed& feed, QObject* context, std::function<void(const QString&)> line);

} // namespace trace
