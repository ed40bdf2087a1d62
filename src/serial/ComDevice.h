#pragma once

#include "serial/ComTypes.h"
#include "serial/LineEvents.h"

#include <cstdint>
#include <string>
#include <termios.h>

namespace serial {

// Line settings as the port holds them, handed to the back end in one piece.
struct TLineSettings {
    int baudRate = 9600;
    TDataBits dataBits = TDataBits::dbEight;
    TStopBits stopBits = TStopBits::sbOneStopBit;
    const TComParity* parity = nullptr;
    const TComFlowControl* flowControl = nullptr;
};

// The POSIX terminal back end of the serial port: everything that touches the file descriptor.
// Errors leave here as EComPort with errno as the OS code (RaiseOsError).
class TComDevice {
public:
    TComDevice() = default;
    TComDevice(const TComDevice&) = delete;
    TComDevice& operator=(const TComDevice&) = delete;
    ~TComDevice();

    // Opens a terminal device; anything else is refused with code 1 and the reason's errno.
    void Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Handle() const { return fd_; }

    // A setting the device refuses raises code 7 with the errno, once the others are applied.
    void ApplyLineSettings(const TLineSettings& settings);
    void SetModemLines(TDTRFlowControl dtr, TRTSFlowControl rts);
    TModemStatus ModemStatus() const;

    // Bytes waiting in the receive queue.
    int InputCount() const;
    // Reads what is waiting, at most count bytes, without blocking; 0 when nothing waits. Sets
    // gone when the read shows that the device has disappeared (EIO or ENXIO).
    int Read(uint8_t* buffer, int count, bool& gone);
    // Writes all bytes, or as many as the time limit allows (negative: no limit); returns how
    // many went out.
    int Write(const uint8_t* data, int count, int64_t timeoutMs);
    // Drops whatever waits in both directions.
    void DiscardQueues();

private:
    int fd_ = -1;
    termios saved_{};
};

// Sets a speed that has no Bnnn constant; false when the device refuses it.
bool SetArbitraryBaudRate(int fd, int baudRate);

} // namespace serial
