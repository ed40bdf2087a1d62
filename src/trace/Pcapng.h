#pragma once

#include "trace/FrameTrace.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// --trace-format pcapng: the frames as a capture that Wireshark and tshark read. Each run
// appends a section of its own (a section header with the run's header line as its comment,
// and one interface of link type USER0), then one enhanced packet per frame with its direction
// in the packet's flags and a timestamp in microseconds since 1970. Little-endian blocks.
namespace trace {

inline constexpr uint16_t kLinkTypeUser0 = 147;

// The section header and the interface description that start a run's capture.
QByteArray PcapngSection(const QString& comment);

// One frame: inbound for a frame received, outbound for one sent.
QByteArray PcapngPacket(int64_t microsecondsSinceEpoch, Direction direction,
                        const QByteArray& frame);

} // namespace trace
