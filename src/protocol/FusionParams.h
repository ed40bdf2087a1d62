#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>

// The splicer's fusion (arc) parameters as they travel on the line: 38 bytes, packed,
// multi-byte fields little-endian. Encoded and decoded field by field, never by memory layout.
struct FusionParams {
    static constexpr int kSize = 38;
    // Firmware that does not take the whole block takes the first 32 bytes (up to AdjustReset).
    static constexpr int kShortSize = 32;

    uint16_t Heat = 0;     // 0.01 s
    uint8_t FixedOne = 0;  // always 1 on the way out
    uint16_t Current1 = 0; // 4096 per 100 window units
    uint16_t Time1 = 0;    // 0.01 s
    uint16_t Current2 = 0;
    uint16_t Time2 = 0;
    uint16_t Current3 = 0;
    uint16_t Time3 = 0;
    uint16_t Current4 = 0;
    uint16_t Time4 = 0;
    uint16_t Current5 = 0;
    uint16_t Time5 = 0;
    uint8_t PushLeft = 0;
    uint8_t PushRight = 0;
    uint16_t AdjustLeft = 0;
    uint16_t AdjustRight = 0;
    uint8_t PullPush = 0;
    uint8_t ClearDust = 0;
    uint8_t AdjustReset = 0;
    uint16_t DustCurrent = 0;
    uint16_t DustTime = 0; // 0.01 s
    uint8_t FusePushLength = 0;
    uint8_t FusePushSpeed = 0;

    QByteArray Encode() const;
    // Bytes beyond what is given count as zero; bytes beyond 38 are not used.
    static FusionParams Decode(const QByteArray& bytes);
    // The bytes a write sends to this firmware, given the block length it answered last.
    static int WriteCount(uint16_t version, uint16_t blockLength);

    bool operator==(const FusionParams&) const = default;
};
