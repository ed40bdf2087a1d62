#include "cli/SplicerWait.h"

#include "ch341/ConverterLibrary.h"
#include "cli/Console.h"
#include "cli/SplicerExchange.h"
#include "cli/StopSignals.h"

#include <QDeadlineTimer>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace cli {
namespace {

// The converter layer's plug notifications while the wait lasts. They come on its own thread
// to a plain routine, which only writes a byte into a pipe; the wait reads the pipe.
class TPlugNotifications {
public:
    explicit TPlugNotifications(ch341::TConverterLibrary& converter) : converter_(converter) {
        if (::pipe2(ends_, O_CLOEXEC | O_NONBLOCK) != 0)
            throw std::system_error(errno, std::generic_category(), "pipe2");
        writeEnd.store(ends_[1]);
        converter_.CH341PtSetDevNotify(nullptr, &TPlugNotifications::notified);
    }
    // Stopping the notifications ends their thread, so nothing is written any more.
    ~TPlugNotifications() {
        converter_.CH341PtSetDevNotify(nullptr, nullptr);
        writeEnd.store(-1);
        ::close(ends_[0]);
        ::close(ends_[1]);
    }
    TPlugNotifications(const TPlugNotifications&) = delete;
    TPlugNotifications& operator=(const TPlugNotifications&) = delete;

    // Whether a converter was plugged in since the last call, waiting for one until the
    // deadline when none was.
    bool Plugged(const QDeadlineTimer& deadline, TStopSignals& stop) {
        for (;;) {
            if (const int signal = stop.Caught())
                throw EStopped(signal);
            char drained[64];
            bool plugged = false;
            while (::read(ends_[0], drained, sizeof drained) > 0)
                plugged = true;
            if (plugged)
                return true;
            if (deadline.hasExpired())
                return false;
            pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {ends_[0], POLLIN, 0}};
            const qint64 leftMs = deadline.remainingTime();
            if (::poll(fds, 2, int(leftMs)) < 0 && errno != EINTR)
                throw std::system_error(errno, std::generic_category(), "poll");
        }
    }

private:
    static inline std::atomic<int> writeEnd{-1};

    static void notified(int32_t value) {
        const int fd = writeEnd.load();
        if (value < 0 || fd < 0)
            return; // an unplugging: nothing to search for
        const char plugged = 1;
        // A full pipe already holds a plugging to act on.
        [[maybe_unused]] const ssize_t written = ::write(fd, &plugged, 1);
    }

    ch341::TConverterLibrary& converter_;
    int ends_[2] = {-1, -1};
};

} // namespace

bool WaitForSplicer(TSplicerExchange& exchange, ch341::TConverterLibrary& converter,
                    std::chrono::seconds within, TStopSignals& stop, const QString& note) {
    const QDeadlineTimer deadline(within);
    // Following the plugging before the first search: a converter plugged in meanwhile is not
    // missed.
    TPlugNotifications plugs(converter);
    if (exchange.Find())
        return true;
    if (!note.isEmpty())
        PrintMessage(note);
    while (plugs.Plugged(deadline, stop))
        if (exchange.Find())
            return true;
    return false;
}

} // namespace cli
