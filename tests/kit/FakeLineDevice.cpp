#include "kit/FakeLineDevice.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdint>
#include <dlfcn.h>
#include <linux/serial.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

struct Fake {
    std::mutex mutex;
    std::string path; // empty: nothing faked
    serial::TLineErrorCounts counts;
    serial::TModemStatus lines;
    int changed = -1; // eventfd, counted up by each change of the lines
    int waiting = 0;  // TIOCMIWAIT calls under way
};

Fake& fake() {
    static Fake f;
    return f;
}

} // namespace

FakeLineDevice::FakeLineDevice(const std::string& path) {
    std::lock_guard lock(fake().mutex);
    fake().counts = {};
    fake().lines = {};
    fake().path = path;
    fake().changed = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

FakeLineDevice::~FakeLineDevice() {
    std::lock_guard lock(fake().mutex);
    ::close(fake().changed);
    fake().path.clear();
    fake().changed = -1;
}

void FakeLineDevice::SetErrorCounts(const serial::TLineErrorCounts& counts) {
    std::lock_guard lock(fake().mutex);
    fake().counts = counts;
}

bool FakeLineDevice::Waiting() const {
    std::lock_guard lock(fake().mutex);
    return fake().waiting > 0;
}

void FakeLineDevice::SetModemLines(const serial::TModemStatus& lines) {
    std::lock_guard lock(fake().mutex);
    fake().lines = lines;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fake().changed, &one, sizeof one);
}

#ifndef FAILING_CALL_UNDER_TSAN

namespace {

// What fd was opened as; a pseudo-terminal's descriptor names its /dev/pts path.
std::string pathOf(int fd) {
    char link[PATH_MAX];
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(proc.c_str(), link, sizeof link);
    return n > 0 ? std::string(link, size_t(n)) : std::string();
}

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    static const auto next =
        reinterpret_cast<int (*)(int, unsigned long, ...)>(::dlsym(RTLD_NEXT, "ioctl"));
    if (request != TIOCGICOUNT && request != TIOCMGET && request != TIOCMIWAIT)
        return next(fd, request, argument);
    std::unique_lock lock(fake().mutex);
    if (fake().path.empty() || pathOf(fd) != fake().path) {
        lock.unlock();
        return next(fd, request, argument);
    }
    if (request == TIOCGICOUNT) {
        auto* counts = static_cast<serial_icounter_struct*>(argument);
        *counts = {};
        counts->frame = fake().counts.frame;
        counts->parity = fake().counts.parity;
        counts->overrun = fake().counts.overrun;
        counts->brk = fake().counts.breaks;
        return 0;
    }
    if (request == TIOCMGET) {
        const serial::TModemStatus& l = fake().lines;
        *static_cast<int*>(argument) = (l.cts ? TIOCM_CTS : 0) | (l.dsr ? TIOCM_DSR : 0) |
                                       (l.ring ? TIOCM_RI : 0) | (l.rlsd ? TIOCM_CD : 0);
        return 0;
    }
    // TIOCMIWAIT: until the lines change, or a signal comes (poll then fails with EINTR).
    pollfd changed{fake().changed, POLLIN, 0};
    ++fake().waiting;
    lock.unlock();
    const int woken = ::poll(&changed, 1, -1);
    const int error = errno;
    lock.lock();
    --fake().waiting;
    if (woken < 0) {
        errno = error;
        return -1;
    }
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(changed.fd, &count, sizeof count);
    return 0;
}

#endif
