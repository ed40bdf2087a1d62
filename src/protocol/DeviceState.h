#pragma once

#include <QByteArray>

#include <cstdint>

// The per-connection fields of the link to the splicer. They live as long as the link; only
// the handshake flag is cleared on disconnect. The receive buffer belongs to the link's
// FrameScanner.
struct DeviceState {
    bool HandshakeSeen = false;
    int PortNumber = 0;           // n of "COM"n of the connected splicer
    uint16_t FirmwareVersion = 0; // hundredths: 134 is 1.34
    uint16_t BlockLength = 0;
    bool QuerySequenceActive = false;
    QByteArray DeviceId; // 10 bytes and a terminating zero
    uint16_t FusionCount = 0;
    uint8_t CurrentGroup = 0;

    bool operator==(const DeviceState&) const = default;
};
