#include "cli/SplicerWait.h"

#include "ch341/ConverterLibrary.h"
#include "cli/ConsoleBoxes.h"
#include "cli/StopSignals.h"
#include "protocol/SplicerLink.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>

#include <atomic>

namespace cli {
namespace {

// The converter layer's plug notifications while the wait lasts. They come on its own thread
// to a plain routine, which posts them to the event thread.
class TPlugNotifications {
public:
    explicit TPlugNotifications(ch341::TConverterLibrary& converter) : converter_(converter) {
        current.store(this);
        converter_.CH341PtSetDevNotify(nullptr, &TPlugNotifications::notified);
    }
    // Stopping the notifications ends their thread, so nothing is posted to this any more.
    ~TPlugNotifications() {
        converter_.CH341PtSetDevNotify(nullptr, nullptr);
        current.store(nullptr);
    }
    TPlugNotifications(const TPlugNotifications&) = delete;
    TPlugNotifications& operator=(const TPlugNotifications&) = delete;

    // Whether a converter was plugged in since the last call, waiting for one until the
    // deadline when none was. A stop signal ends every event loop, this one too.
    bool Plugged(const QDeadlineTimer& deadline) {
        if (plugged_ == 0 && !deadline.hasExpired()) {
            QEventLoop loop;
            loop_ = &loop;
            QTimer::singleShot(int(deadline.remainingTime()), &loop, &QEventLoop::quit);
            loop.exec();
            loop_ = nullptr;
        }
        return std::exchange(plugged_, 0) > 0;
    }

private:
    static inline std::atomic<TPlugNotifications*> current{nullptr};

    static void notified(int32_t value) {
        TPlugNotifications* self = current.load();
        if (value < 0 || !self)
            return; // an unplugging: nothing to search for
        QMetaObject::invokeMethod(
            &self->context_,
            [self] {
                ++self->plugged_;
                if (self->loop_)
                    self->loop_->quit();
            },
            Qt::QueuedConnection);
    }

    ch341::TConverterLibrary& converter_;
    QObject context_;
    int plugged_ = 0;
    QEventLoop* loop_ = nullptr;
};

} // namespace

bool WaitForSplicer(SplicerLink& link, TConsoleBoxes& boxes, ch341::TConverterLibrary& converter,
                    std::chrono::seconds within, TStopSignals& stop, const QString& note) {
    const QDeadlineTimer deadline(within);
    // Following the plugging before the first search: a converter plugged in meanwhile is not
    // missed.
    TPlugNotifications plugs(converter);
    {
        boxes.Hold(true);
        const auto release = qScopeGuard([&boxes] { boxes.Hold(false); });
        link.FindDevice();
        if (!link.Connected() && !stop.Caught() && !note.isEmpty())
            PrintMessage(note);
        while (!link.Connected() && !stop.Caught() && plugs.Plugged(deadline))
            link.FindDevice();
    }
    if (!link.Connected())
        boxes.ShowMessage(SplicerLink::tr(SplicerLink::kNotFound));
    return link.Connected();
}

} // namespace cli
