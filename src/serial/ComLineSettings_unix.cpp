#include "serial/ComDevice.h"

#include "serial/ComError.h"

#include <cerrno>

namespace serial {
namespace {

speed_t standardSpeed(int baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return 0;
    }
}

tcflag_t dataBitsFlag(TDataBits bits) {
    switch (bits) {
    case TDataBits::dbFive:
        return CS5;
    case TDataBits::dbSix:
        return CS6;
    case TDataBits::dbSeven:
        return CS7;
    case TDataBits::dbEight:
        break;
    }
    return CS8;
}

// Each setting below reads the device's terminal settings, changes its own part and writes them
// back; false, with errno saying why, when the device refuses.
template <class Change> bool changeTermios(int fd, Change change) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    change(t);
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

// No echo, no line editing, no CR/LF translation, no signals from received bytes, and reads
// that return at once with what the driver holds.
bool setRaw(int fd) {
    return changeTermios(fd, [](termios& t) {
        ::cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
    });
}

bool setDataBits(int fd, TDataBits bits) {
    return changeTermios(fd, [bits](termios& t) {
        t.c_cflag &= ~CSIZE;
        t.c_cflag |= dataBitsFlag(bits);
    });
}

// Linux offers one or two stop bits. With CSTOPB the UART sends 1.5 stop bits at five data bits
// and two otherwise, the nearest it has to 1.5.
bool setStopBits(int fd, TStopBits bits) {
    return changeTermios(fd, [bits](termios& t) {
        if (bits == TStopBits::sbOneStopBit)
            t.c_cflag &= ~CSTOPB;
        else
            t.c_cflag |= CSTOPB;
    });
}

bool setParity(int fd, const TComParity& parity) {
    return changeTermios(fd, [&parity](termios& t) {
        t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
        switch (parity.Bits()) {
        case TParityBits::prNone:
            break;
        case TParityBits::prOdd:
            t.c_cflag |= PARENB | PARODD;
            break;
        case TParityBits::prEven:
            t.c_cflag |= PARENB;
            break;
        case TParityBits::prMark:
            t.c_cflag |= PARENB | CMSPAR | PARODD;
            break;
        case TParityBits::prSpace:
            t.c_cflag |= PARENB | CMSPAR;
            break;
        }
        // The tty layer's only replacement for a bad byte is NUL (INPCK alone). Without
        // replacement the byte is delivered as it came, which is what no input checking does;
        // IGNPAR would drop it.
        t.c_iflag &= ~(INPCK | IGNPAR | PARMRK);
        if (parity.Check() && parity.Replace())
            t.c_iflag |= INPCK;
    });
}

// CTS output flow and RTS handshake are one switch on Linux, CRTSCTS: output waits for CTS, and
// RTS drops while the input queue is full. Either half alone would bring in the other, throttling
// the splicer's input for CTS output flow or holding our output on a CTS line that nobody drives,
// so CRTSCTS needs both.
bool setFlowControl(int fd, const TComFlowControl& flow) {
    return changeTermios(fd, [&flow](termios& t) {
        t.c_cflag &= ~CRTSCTS;
        if (flow.OutCTSFlow() && flow.ControlRTS() == TRTSFlowControl::rtsHandshake)
            t.c_cflag |= CRTSCTS;
        t.c_iflag &= ~(IXON | IXOFF | IXANY);
        if (flow.XonXoffOut())
            t.c_iflag |= IXON;
        if (flow.XonXoffIn())
            t.c_iflag |= IXOFF;
        t.c_cc[VSTART] = flow.XonChar();
        t.c_cc[VSTOP] = flow.XoffChar();
    });
}

bool setBaudRate(int fd, int baud) {
    const speed_t speed = standardSpeed(baud);
    if (!speed)
        return SetArbitraryBaudRate(fd, baud);
    return changeTermios(fd, [speed](termios& t) {
        ::cfsetispeed(&t, speed);
        ::cfsetospeed(&t, speed);
    });
}

} // namespace

void TComDevice::ApplyLineSettings(const TLineSettings& s) {
    // Every setting is tried, so that one the device refuses holds back none of the others on
    // an open port; the first refusal is reported.
    int refused = 0;
    const auto tried = [&refused](bool applied) {
        if (!applied && !refused)
            refused = errno;
    };
    // Raw first: it resets the character size and parity that follow.
    tried(setRaw(fd_));
    tried(setDataBits(fd_, s.dataBits));
    tried(setStopBits(fd_, s.stopBits));
    tried(setParity(fd_, *s.parity));
    tried(setFlowControl(fd_, *s.flowControl));
    tried(setBaudRate(fd_, s.baudRate));
    if (refused)
        RaiseOsError(CError_SetCommStateFailed, refused);
}

} // namespace serial
