#pragma once

#include "protocol/CommandTable.h"

#include <QByteArray>

#include <cstdint>

// Command frames to the splicer. Kind-first: 5A kind n payload A5. Length-first: 5A 0A code,
// six payload bytes, A5. No checksum, no sequence number; multi-byte values little-endian.
namespace frames {

inline constexpr uint8_t kStart = 0x5A;
inline constexpr uint8_t kEnd = 0xA5;

enum Kind : uint8_t {
    KindCommand = 0x4A,
    KindParamBlock = 0x4B,
    KindCalibration = 0x3A,
};

enum RecordCode : uint8_t {
    RecordControl = 0x83,
    RecordArcTest = 0x81,
};

enum ControlCode : uint8_t {
    ControlSaveAsFactory = 0xC5,
    ControlRestoreFactory = 0xC6,
};

inline constexpr uint8_t kHandshakeArgument = 0x08;

// Length-first frames carry this in place of a kind.
inline constexpr uint8_t kLengthFirstMarker = 0x0A;
// A length-first frame's size: 5A 0A code, six payload bytes, A5.
inline constexpr int kLengthFirstSize = 10;

// Answers from the splicer: 55 length code payload AA, the length counting the whole frame.
inline constexpr uint8_t kAnswerStart = 0x55;
inline constexpr uint8_t kAnswerEnd = 0xAA;

// The handshake answer's payload byte that means "a splicer is here".
inline constexpr uint8_t kHandshakeAccepted = 0xC0;

// The count goes out as its low 8 bits; exactly count payload bytes follow.
QByteArray KindFirst(uint8_t kind, const QByteArray& payload, int count);
QByteArray LengthFirst(uint8_t code, const uint8_t (&payload)[6]);
QByteArray ControlRecord(uint8_t b0, uint8_t b1, uint8_t b2, uint16_t w);
QByteArray TestRecord(uint32_t value);

// The little-endian 16-bit value at a payload's offset; the caller checks the length.
uint16_t Le16(const QByteArray& payload, int at);

} // namespace frames
