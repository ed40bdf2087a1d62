#pragma once

#include <QByteArray>
#include <QStringList>

#include <cstdint>

// The frame scan in its plainest form, kept as the yardstick for FrameScanner: after every chunk
// the whole buffer is scanned again from its start.
struct RescanFromStart {
    QByteArray buffer;
    QStringList frames; // hex, in the order they were cut

    void scan(const QByteArray& chunk) {
        buffer += chunk;
        qsizetype p = 0;
        while (p + 1 < buffer.size()) {
            const int length = uint8_t(buffer[p + 1]);
            const qsizetype end = p + length - 1;
            if (uint8_t(buffer[p]) == 0x55 && length >= 4 && end < buffer.size() &&
                uint8_t(buffer[end]) == 0xAA) {
                frames << buffer.mid(p, length).toHex();
                buffer.remove(0, end + 1);
                p = 0;
            } else {
                ++p;
            }
        }
    }
};
