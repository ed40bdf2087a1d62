#include "protocol/Frames.h"

namespace frames {

QByteArray KindFirst(uint8_t kind, const QByteArray& payload, int count) {
    QByteArray f;
    f.reserve(4 + count);
    f.append(char(kStart)).append(char(kind)).append(char(uint8_t(count)));
    f.append(payload.left(count));
    f.append(char(kEnd));
    return f;
}

QByteArray LengthFirst(uint8_t code, const uint8_t (&payload)[6]) {
    QByteArray f;
    f.append(char(kStart)).append(char(kLengthFirstMarker)).append(char(code));
    f.append(reinterpret_cast<const char*>(payload), 6);
    f.append(char(kEnd));
    return f;
}

QByteArray ControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w) {
    const uint8_t payload[6] = {b0, b1, b2, uint8_t(w), uint8_t(w >> 8), 0};
    return LengthFirst(RecordControl, payload);
}

QByteArray TestRecord(uint32_t value) {
    const uint8_t payload[6] = {
        uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24), 0, 0};
    return LengthFirst(RecordArcTest, payload);
}

uint16_t Le16(const QByteArray& payload, int at) {
    return uint16_t(uint8_t(payload[at]) | (uint8_t(payload[at + 1]) << 8));
}

} // namespace frames
