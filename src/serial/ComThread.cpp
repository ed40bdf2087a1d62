#include "ComThread.h"

#include "ComHandOff.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace serial {

TComThread::TComThread(int deviceFd, TComEvents events, TComHandOff& handOff,
                       const std::atomic<bool>& deviceGone)
    : deviceFd_(deviceFd), events_(events), handOff_(handOff), deviceGone_(deviceGone),
      stopFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (stopFd_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    handOff_.BeginThread();
    thread_ = std::thread([this] { execute(); });
}

TComThread::~TComThread() {
    Stop();
    Join();
    ::close(stopFd_);
}

void TComThread::Stop() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
    handOff_.Cancel();
}

void TComThread::Join() {
    if (!thread_.joinable())
        return;
    handOff_.WaitForThreadEnd();
    thread_.join();
}

void TComThread::execute() {
    // Without evRxChar nobody reads received bytes, and a level-triggered POLLIN would fire for
    // ever; hang-ups are reported whatever the mask says.
    const short watch = events_.Contains(TComEvent::evRxChar) ? POLLIN : 0;
    bool gone = false;
    for (;;) {
        pollfd fds[2] = {{gone ? -1 : deviceFd_, watch, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents)
            break;
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // The device is gone: from now on only the stop signal counts.
            gone = true;
            continue;
        }
        if (fds[0].revents & POLLIN) {
            pending_ = TComEvents{TComEvent::evRxChar}.Bits();
            if (!handOff_.Request())
                break;
            gone = deviceGone_.load();
        }
    }
    handOff_.NotifyThreadEnded();
}

} // namespace serial
