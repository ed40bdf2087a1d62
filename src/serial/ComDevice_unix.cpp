#include "serial/ComDevice.h"

#include "serial/ComError.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

} // namespace

TComDevice::~TComDevice() {
    Close();
}

void TComDevice::Open(const std::string& path) {
    // O_NONBLOCK: open must not wait for carrier detect, and reads return at once with what the
    // driver holds. O_NOCTTY: the splicer's line must never become our controlling terminal.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw EComPort(CError_OpenFailed, errno);

    // Exclusive use, as the Windows driver grants it. TIOCEXCL keeps other users out (root is
    // not kept out by it), the advisory lock keeps out every program that asks, root included,
    // and a second port of ours on the same device.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        throw EComPort(CError_OpenFailed, error);
    }
    ::ioctl(fd, TIOCEXCL); // not every device has it (a plain file); exclusivity rests on flock

    haveSaved_ = ::tcgetattr(fd, &saved_) == 0;
    fd_ = fd;
}

void TComDevice::Close() {
    if (fd_ < 0)
        return;
    // Leave the device as we found it for the next program; a vanished device refuses, which
    // is fine.
    if (haveSaved_)
        ::tcsetattr(fd_, TCSANOW, &saved_);
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
    haveSaved_ = false;
}

void TComDevice::ApplyLineSettings(const TLineSettings& s) {
    termios t{};
    if (::tcgetattr(fd_, &t) != 0)
        return; // a refused line setting is not reported
    // Raw: no echo, no line editing, no CR/LF translation, no signals from received bytes.
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    t.c_cflag |= dataBitsFlag(s.dataBits);
    // Linux offers one or two stop bits. With CSTOPB the UART sends 1.5 stop bits at five data
    // bits and two otherwise, the nearest it has to 1.5.
    if (s.stopBits != TStopBits::sbOneStopBit)
        t.c_cflag |= CSTOPB;

    const TComParity& parity = *s.parity;
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
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | IXON | IXOFF | IXANY);
    // With checking on and no replacement, bad bytes are dropped; with replacement the tty
    // layer delivers them as NUL, the only replacement it knows.
    if (parity.Check()) {
        t.c_iflag |= INPCK;
        if (!parity.Replace())
            t.c_iflag |= IGNPAR;
    }

    const TComFlowControl& flow = *s.flowControl;
    if (flow.OutCTSFlow() || flow.ControlRTS() == TRTSFlowControl::rtsHandshake)
        t.c_cflag |= CRTSCTS;
    if (flow.XonXoffOut())
        t.c_iflag |= IXON;
    if (flow.XonXoffIn())
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = flow.XonChar();
    t.c_cc[VSTOP] = flow.XoffChar();
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    const speed_t speed = standardSpeed(s.baudRate);
    ::cfsetispeed(&t, speed ? speed : B38400);
    ::cfsetospeed(&t, speed ? speed : B38400);
    ::tcsetattr(fd_, TCSANOW, &t);
    if (!speed)
        SetArbitraryBaudRate(fd_, s.baudRate);
}

void TComDevice::SetModemLines(TDTRFlowControl dtr, TRTSFlowControl rts) {
    // Linux raises DTR and RTS on every open; the splicer's converter expects them as set here.
    // A device without modem lines (a pseudo-terminal) refuses, which changes nothing.
    int raise = 0, lower = 0;
    (dtr == TDTRFlowControl::dtrDisable ? lower : raise) |= TIOCM_DTR;
    (rts == TRTSFlowControl::rtsDisable ? lower : raise) |= TIOCM_RTS;
    if (raise)
        ::ioctl(fd_, TIOCMBIS, &raise);
    if (lower)
        ::ioctl(fd_, TIOCMBIC, &lower);
}

TModemStatus TComDevice::ModemStatus() const {
    int bits = 0;
    if (::ioctl(fd_, TIOCMGET, &bits) != 0) {
        // No modem lines at all (pseudo-terminal): they read as off.
        if (errno == ENOTTY || errno == EINVAL)
            return {};
        throw EComPort(CError_ModemStatFailed, errno);
    }
    return {(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RI) != 0,
            (bits & TIOCM_CD) != 0};
}

int TComDevice::InputCount() const {
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0)
        throw EComPort(CError_ClearComFailed, errno);
    return count;
}

int TComDevice::Read(uint8_t* buffer, int count, bool& gone) {
    for (;;) {
        // With VMIN and VTIME at 0 a read of 0 only means that nothing waits. A device that is
        // gone shows as a hang-up in the event thread's poll, or here as EIO (a pseudo-terminal
        // whose far end closed) or ENXIO.
        const ssize_t got = ::read(fd_, buffer, static_cast<size_t>(count));
        if (got >= 0)
            return static_cast<int>(got);
        if (errno == EIO || errno == ENXIO) {
            gone = true;
            return 0;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        throw EComPort(CError_ReadFailed, errno);
    }
}

int TComDevice::Write(const uint8_t* data, int count, int64_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    int written = 0;
    bool first = true;
    while (written < count) {
        const ssize_t put = ::write(fd_, data + written, static_cast<size_t>(count - written));
        if (put > 0) {
            written += static_cast<int>(put);
            first = false;
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN) {
            // Refused outright is an error; a failure after part of the bytes went out only
            // shows in the count, as a failed completion does on the original driver.
            if (first)
                throw EComPort(CError_WriteFailed, errno);
            break;
        }
        first = false;
        int waitMs = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                break;
            waitMs = static_cast<int>(left.count());
        }
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, waitMs) == 0)
            break;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
            break;
    }
    return written;
}

void TComDevice::DiscardQueues() {
    ::tcflush(fd_, TCIOFLUSH);
}

} // namespace serial
