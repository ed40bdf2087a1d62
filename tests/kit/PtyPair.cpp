#include "kit/PtyPair.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair(Line line) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("cannot create a pseudo-terminal");
    slavePath_ = ::ptsname(master_);
    // Holding the slave open once keeps the line from hanging up between two opens by the
    // port under test; opened without exclusive use, so the port can still lock it.
    slaveKeeper_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    // The master's own side is raw from the start; terminal settings made on either side are
    // the slave's.
    if (line == Line::Cooked)
        return;
    termios s{};
    ::tcgetattr(slaveKeeper_, &s);
    ::cfmakeraw(&s);
    ::tcsetattr(slaveKeeper_, TCSANOW, &s);
}

PtyPair::~PtyPair() {
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PtyPair::Write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::runtime_error("write to pseudo-terminal master failed");
        done += n;
    }
}

QByteArray PtyPair::ReadAvailable(int timeoutMs) {
    QByteArray out;
    for (;;) {
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return out;
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            return out;
        out.append(buf, n);
    }
}

QByteArray PtyPair::ReadAtLeast(int count, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QByteArray out;
    while (out.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, int(left)) <= 0)
            break;
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}
