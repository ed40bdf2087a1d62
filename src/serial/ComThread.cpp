#include "serial/ComThread.h"

#include "serial/ComError.h"
#include "serial/ComHandOff.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace serial {

TComThread::TComThread(int deviceFd, TComEvents events, std::shared_ptr<TComHandOff> handOff)
    : deviceFd_(deviceFd), events_(events), handOff_(std::move(handOff)),
      stopFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (stopFd_ < 0)
        RaiseOsError(CError_OpenFailed);
    handOff_->BeginThread();
    try {
        thread_ = std::thread([this] { execute(); });
    } catch (const std::system_error& e) {
        // No thread: nothing is left behind, and a later close finds no thread to wait for.
        handOff_->NotifyThreadEnded();
        ::close(stopFd_);
        RaiseOsError(CError_OpenFailed, e.code().value());
    }
}

TComThread::~TComThread() {
    Stop();
    Join();
    ::close(stopFd_);
}

void TComThread::Stop() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopFd_, &one, sizeof one);
    handOff_->Cancel();
}

void TComThread::Join() {
    // A handler served meanwhile may have joined this thread already (it destroyed the port).
    handOff_->WaitForThreadEnd();
    if (thread_.joinable())
        thread_.join();
}

void TComThread::execute() {
    // Without evRxChar nobody reads received bytes, and a level-triggered POLLIN would fire for
    // ever; hang-ups are reported whatever the mask says.
    const short watch = events_.Contains(TComEvent::evRxChar) ? POLLIN : 0;
    bool gone = false;
    int unread = 0;
    for (;;) {
        // Bytes an OnRxChar handler left in the driver keep POLLIN raised: until more arrive,
        // look at the count every 10 ms instead of waking for them again and again.
        const bool waitingForMore = unread > 0;
        pollfd fds[2] = {{gone ? -1 : deviceFd_, waitingForMore ? short(0) : watch, 0},
                         {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, waitingForMore ? 10 : -1) < 0) {
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
        bool arrived = fds[0].revents & POLLIN;
        if (waitingForMore && !gone) {
            int now = 0;
            if (::ioctl(deviceFd_, FIONREAD, &now) != 0)
                now = 0;
            arrived = now > unread;
            if (!arrived) {
                unread = now; // fewer: the application read some meanwhile
                continue;
            }
        }
        if (arrived) {
            pending_ = TComEvents{TComEvent::evRxChar}.Bits();
            if (!handOff_->Request())
                break;
            gone = feedback_.deviceGone.load();
            unread = feedback_.unread.load();
        }
    }
    handOff_->NotifyThreadEnded();
}

} // namespace serial
