#pragma once

#include <QByteArray>
#include <QString>

// One line per frame that went to or came from the splicer, for the traffic monitor and for
// --trace FILE. A line reads
//
//     1234 TX 5A 4A 02 C1 00 A5 | 版本查询
//     1281 RX 55 06 C1 86 00 AA | 版本 V1.34
//
// that is: milliseconds since the program started, right-aligned in eight columns; "TX" for a
// frame sent, "RX" for a frame received; the frame's bytes in upper-case hex separated by
// single blanks; " | "; a short meaning in Chinese. The hex never holds "|", so everything after
// the first " | " is the meaning. Received bytes that belong to no frame are not traced.
namespace trace {

enum class Direction { Sent, Received };

// What a whole frame means: the command for a frame sent, the answer and its value for a frame
// received; "未知" for bytes that are no frame of that direction.
QString FrameMeaning(Direction direction, const QByteArray& frame);

QString TraceLine(qint64 ms, Direction direction, const QByteArray& frame);

// Milliseconds since the program started, on a monotonic clock.
qint64 MsSinceStart();

} // namespace trace
