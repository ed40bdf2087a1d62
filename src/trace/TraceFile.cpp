#include "trace/TraceFile.h"

#include "trace/FollowFeed.h"

#include <stdexcept>

namespace trace {

TTraceFile::TTraceFile(const QString& path, FrameFeed& feed) : file_(path) {
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        throw std::runtime_error(
            QStringLiteral("无法写入记录文件 %1：%2").arg(path, file_.errorString()).toStdString());
    FollowFeed(feed, &context_, [this](const QString& line) {
        file_.write((line + '\n').toUtf8());
        file_.flush();
    });
}

} // namespace trace
