#include "serial/ComThread.h"

#include "serial/ComError.h"
#include "serial/ComHandOff.h"

#include <QtGlobal>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace serial {
namespace {

// The signal that ends the modem thread's TIOCMIWAIT with EINTR; its handler does nothing else.
// A real-time signal that nothing else in the program uses, installed before it is first sent.
int modemWakeSignal() {
    static const int wake = [] {
        const int signal = SIGRTMIN + 3;
        struct sigaction action {};
        action.sa_handler = +[](int) {};
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
        return signal;
    }();
    return wake;
}

constexpr TComEvents kModemEvents{TComEvent::evCTS, TComEvent::evDSR, TComEvent::evRing,
                                  TComEvent::evRLSD};

bool anyOf(TComEvents events, TComEvents of) {
    return (events.Bits() & of.Bits()) != 0;
}

TComEvents joined(TComEvents a, TComEvents b) {
    return TComEvents::FromBits(a.Bits() | b.Bits());
}

int bytesQueued(int fd) {
    int count = 0;
    return ::ioctl(fd, FIONREAD, &count) == 0 ? count : 0;
}

} // namespace

TComThread::TComThread(int deviceFd, TComEvents events, int rx80Full,
                       std::shared_ptr<TComHandOff> handOff)
    : deviceFd_(deviceFd), events_(events), rx80Full_(rx80Full), handOff_(std::move(handOff)),
      stopFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (stopFd_ < 0)
        RaiseOsError(CError_OpenFailed);
    // Read before the threads start, so that nothing that happens once the port is open is
    // taken for how it was.
    if (events_.Contains(TComEvent::evError) || events_.Contains(TComEvent::evBreak))
        counted_ = LineErrorCounters(deviceFd_);
    if (anyOf(events_, kModemEvents))
        modemAtOpen_ = ModemLines(deviceFd_);
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

TComPending TComThread::TakePending() {
    std::lock_guard lock(pendingMutex_);
    return std::exchange(pending_, {});
}

bool TComThread::handOver(const TComPending& found) {
    {
        std::lock_guard lock(pendingMutex_);
        pending_.events = joined(pending_.events, found.events);
        pending_.errors += found.errors;
    }
    return handOff_->Request();
}

TComEvents TComThread::lineErrors(TLineErrorCounts& found) {
    if (!counted_)
        return {};
    const std::optional<TLineErrorCounts> now = LineErrorCounters(deviceFd_);
    if (!now) {
        counted_.reset(); // refused now: not asked again
        return {};
    }
    found = now->Since(*counted_);
    counted_ = now;
    TComEvents events;
    if (found.Any() && events_.Contains(TComEvent::evError))
        events.Include(TComEvent::evError);
    if (found.breaks && events_.Contains(TComEvent::evBreak))
        events.Include(TComEvent::evBreak);
    return events;
}

void TComThread::execute() {
    // Without evRxChar nobody reads received bytes, and a level-triggered POLLIN would fire for
    // ever; hang-ups are reported whatever the mask says.
    const short watch = events_.Contains(TComEvent::evRxChar) ? POLLIN : 0;
    if (modemAtOpen_) {
        modemWakeSignal();
        try {
            modemWatch_ = std::thread([this] { watchModemLines(); });
        } catch (const std::system_error& e) {
            qWarning("serial port: modem lines are not watched: %s", e.what());
        }
    }
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
            const int now = bytesQueued(deviceFd_);
            arrived = now > unread;
            if (!arrived) {
                unread = now; // fewer: the application read some meanwhile
                continue;
            }
        }
        if (arrived) {
            TComPending found{.events = {TComEvent::evRxChar}};
            found.events = joined(found.events, lineErrors(found.errors));
            if (events_.Contains(TComEvent::evRx80Full) && bytesQueued(deviceFd_) >= rx80Full_)
                found.events.Include(TComEvent::evRx80Full);
            if (!handOver(found))
                break;
            gone = feedback_.deviceGone.load();
            unread = feedback_.unread.load();
        }
    }
    stopModemWatch();
    handOff_->NotifyThreadEnded();
}

void TComThread::watchModemLines() {
    std::optional<TModemStatus> last = modemAtOpen_;
    while (last && !stopping_) {
        const ModemWait wait = WaitForModemChange(deviceFd_);
        if (wait == ModemWait::Unsupported)
            break;
        if (wait == ModemWait::Interrupted)
            continue; // the stop, or another signal: the loop's condition tells
        const std::optional<TModemStatus> now = ModemLines(deviceFd_);
        if (!now)
            break;
        TComEvents changed;
        if (now->cts != last->cts)
            changed.Include(TComEvent::evCTS);
        if (now->dsr != last->dsr)
            changed.Include(TComEvent::evDSR);
        if (now->ring && !last->ring)
            changed.Include(TComEvent::evRing);
        if (now->rlsd != last->rlsd)
            changed.Include(TComEvent::evRLSD);
        last = now;
        changed = TComEvents::FromBits(changed.Bits() & events_.Bits());
        if (!changed.Empty() && !handOver({.events = changed}))
            break;
    }
    modemWatchEnded_ = true;
}

void TComThread::stopModemWatch() {
    if (!modemWatch_.joinable())
        return;
    stopping_ = true;
    // A signal that comes just before the wait begins is lost: send it again until the thread
    // has ended. A thread blocked in a hand-off is released by the close that stops this one.
    while (!modemWatchEnded_) {
        ::pthread_kill(modemWatch_.native_handle(), modemWakeSignal());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    modemWatch_.join();
}

} // namespace serial
