#include "trace/Pcapng.h"

#include <QtEndian>

namespace trace {
namespace {

constexpr uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr uint32_t kInterfaceDescription = 1;
constexpr uint32_t kEnhancedPacket = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint16_t kOptComment = 1;
constexpr uint16_t kEpbFlags = 2;
// The direction bits of epb_flags.
constexpr uint32_t kInbound = 1;
constexpr uint32_t kOutbound = 2;

template <typename T> void put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

// Blocks and options keep to 32-bit boundaries.
void padded(QByteArray& out, const QByteArray& data) {
    out += data;
    out.append((4 - data.size() % 4) % 4, '\0');
}

void option(QByteArray& out, uint16_t code, const QByteArray& value) {
    put(out, code);
    put(out, uint16_t(value.size()));
    padded(out, value);
}

// The block with its type and its length before and after the body; options end with
// opt_endofopt.
QByteArray block(uint32_t type, QByteArray body, bool hasOptions) {
    if (hasOptions)
        put(body, uint32_t(0));
    const auto length = uint32_t(body.size() + 12);
    QByteArray out;
    put(out, type);
    put(out, length);
    out += body;
    put(out, length);
    return out;
}

} // namespace

QByteArray PcapngSection(const QString& comment) {
    QByteArray header;
    put(header, kByteOrderMagic);
    put(header, uint16_t(1)); // version 1.0
    put(header, uint16_t(0));
    put(header, int64_t(-1)); // the section's length is not known while it is written
    option(header, kOptComment, comment.toUtf8());
    QByteArray interface;
    put(interface, kLinkTypeUser0);
    put(interface, uint16_t(0));
    put(interface, uint32_t(0)); // no snapshot length: frames are whole
    // Without if_tsresol the timestamps are in microseconds.
    return block(kSectionHeader, header, true) + block(kInterfaceDescription, interface, false);
}

QByteArray PcapngPacket(int64_t microsecondsSinceEpoch, Direction direction,
                        const QByteArray& frame) {
    QByteArray packet;
    put(packet, uint32_t(0)); // the section's one interface
    put(packet, uint32_t(uint64_t(microsecondsSinceEpoch) >> 32));
    put(packet, uint32_t(uint64_t(microsecondsSinceEpoch)));
    put(packet, uint32_t(frame.size()));
    put(packet, uint32_t(frame.size()));
    padded(packet, frame);
    QByteArray flags;
    put(flags, direction == Direction::Received ? kInbound : kOutbound);
    option(packet, kEpbFlags, flags);
    return block(kEnhancedPacket, packet, true);
}

} // namespace trace
