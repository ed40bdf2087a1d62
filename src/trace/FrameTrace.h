#pragma once

#include "serial/LineEvents.h"

#include <QByteArray>
#include <QString>
#include <QTime>

#include <optional>

// One line per frame that went to or came from the splicer, for the traffic monitor and for
// --trace FILE. A line reads
//
//     14:03:27.512     1234 TX 5A 4A 02 C1 00 A5 | 版本查询
//     14:03:27.559     1281 RX 55 06 C1 86 00 AA | 版本 V1.34
//     14:03:27.601     1323 RX 丢弃 2 字节 00 FF
//
// that is: the time of day to the millisecond, for service records; milliseconds since the
// program started, right-aligned in eight columns; "TX" for a frame sent, "RX" for a frame
// received; the frame's bytes in upper-case hex separated by single blanks; " | "; a short
// meaning in the reader's language. The hex never holds "|", so everything after the first " | "
// is the meaning. Received bytes the frame scan dropped, belonging to no frame, make one line of
// their own ("丢弃 N 字节" and the bytes), so line noise shows.
namespace trace {

enum class Direction { Sent, Received };

// What passed, kept raw with its times: formatting waits until someone looks.
struct FrameRecord {
    qint64 ms = 0; // since the program started
    QTime timeOfDay;
    Direction direction = Direction::Received;
    QByteArray bytes;
    bool discarded = false; // received bytes that belonged to no frame
    std::optional<serial::TLineReport> line{}; // no bytes: what the line reported
};

// A record of bytes passing now.
FrameRecord RecordNow(Direction direction, const QByteArray& bytes, bool discarded = false);

// What a whole frame means: the command for a frame sent, the answer and its value for a frame
// received; "未知" for bytes that are no frame of that direction.
QString FrameMeaning(Direction direction, const QByteArray& frame);

QString TraceLine(const FrameRecord& record);

// Milliseconds since the program started, on a monotonic clock.
qint64 MsSinceStart();

} // namespace trace
