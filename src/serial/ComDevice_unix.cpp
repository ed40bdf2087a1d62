#include "serial/ComDevice.h"

#include "serial/ComError.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial {

TComDevice::~TComDevice() {
    Close();
}

void TComDevice::Open(const std::string& path) {
    // O_NONBLOCK: open must wait neither for carrier detect nor for the reader of a FIFO, and
    // reads return at once with what the driver holds. O_NOCTTY: the splicer's line must never
    // become our controlling terminal.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        RaiseOsError(CError_OpenFailed);
    const auto refuse = [fd](int error) {
        ::close(fd);
        RaiseOsError(CError_OpenFailed, error);
    };

    // Only a terminal is a serial port. A file, a FIFO or a disk is given back before any ioctl
    // or byte of ours reaches it, another character device (/dev/null) once it does not answer
    // as a terminal. A directory or a socket does not even open.
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        refuse(errno);
    if (!S_ISCHR(st.st_mode))
        refuse(ENOTTY);
    if (!::isatty(fd))
        refuse(errno);

    // Exclusive use, as the Windows driver grants it. TIOCEXCL keeps other users out (root is
    // not kept out by it), the advisory lock keeps out every program that asks, root included,
    // and a second port of ours on the same device. The settings to give back are read only
    // once the lock is ours: before, they may still be those of a port of ours that is closing.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        refuse(errno);
    if (::tcgetattr(fd, &saved_) != 0)
        refuse(errno);
    ::ioctl(fd, TIOCEXCL);
    fd_ = fd;
}

void TComDevice::Close() {
    if (fd_ < 0)
        return;
    // Leave the device as we found it for the next program; a vanished device refuses, which
    // is fine.
    ::tcsetattr(fd_, TCSANOW, &saved_);
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
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
    if (const auto status = ModemLines(fd_))
        return *status;
    // No modem lines at all (pseudo-terminal): they read as off.
    if (errno == ENOTTY || errno == EINVAL)
        return {};
    RaiseOsError(CError_ModemStatFailed);
}

std::optional<TModemStatus> ModemLines(int fd) {
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) != 0)
        return std::nullopt;
    return TModemStatus{(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RI) != 0,
                        (bits & TIOCM_CD) != 0};
}

std::optional<TLineErrorCounts> LineErrorCounters(int fd) {
    serial_icounter_struct counts{};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    return TLineErrorCounts{counts.frame, counts.parity, counts.overrun + counts.buf_overrun,
                            counts.brk};
}

ModemWait WaitForModemChange(int fd) {
    if (::ioctl(fd, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CD) == 0)
        return ModemWait::Changed;
    // EIO once the device is gone: nothing will change any more.
    return errno == EINTR ? ModemWait::Interrupted : ModemWait::Unsupported;
}

int TComDevice::InputCount() const {
    int count = 0;
    if (::ioctl(fd_, FIONREAD, &count) != 0)
        RaiseOsError(CError_ClearComFailed);
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
        RaiseOsError(CError_ReadFailed);
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
            // shows in the count, so the caller learns how much of the frame went out.
            if (first)
                RaiseOsError(CError_WriteFailed);
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
