#include "serial/ComHandOff.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>

namespace serial {
namespace {

const QEvent::Type kHandOffEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

TComHandOff::TComHandOff(Handler handler) : handler_(std::move(handler)) {}

void TComHandOff::reportError(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        qWarning("serial port: error while handling received data: %s", e.what());
    } catch (...) {
        qWarning("serial port: unknown error while handling received data");
    }
}

bool TComHandOff::Request() {
    if (direct_) {
        const std::lock_guard one(directMutex_);
        try {
            handler_();
        } catch (...) {
            reportError(std::current_exception());
        }
        return true;
    }
    std::unique_lock lock(mutex_);
    if (cancelled_)
        return false;
    const uint64_t ticket = ++requested_;
    QCoreApplication::postEvent(this, new QEvent(kHandOffEvent));
    changed_.notify_all(); // a close that is joining serves it directly
    changed_.wait(lock, [&] { return served_ >= ticket || cancelled_; });
    return !cancelled_;
}

void TComHandOff::NotifyThreadEnded() {
    std::lock_guard lock(mutex_);
    threadEnded_ = true;
    changed_.notify_all();
}

void TComHandOff::BeginThread() {
    std::lock_guard lock(mutex_);
    cancelled_ = false;
    threadEnded_ = false;
}

void TComHandOff::Cancel() {
    std::lock_guard lock(mutex_);
    // Only a request whose handling already runs up the GUI stack needs releasing; a waiting
    // one is served by WaitForThreadEnd, as the handling still finds the port open.
    if (running_)
        cancelled_ = true;
    changed_.notify_all();
}

bool TComHandOff::RequestPending() const {
    std::lock_guard lock(mutex_);
    return requested_ > started_;
}

void TComHandOff::WaitForThreadEnd() {
    std::unique_lock lock(mutex_);
    while (!threadEnded_) {
        if (requested_ > started_ && !running_) {
            lock.unlock();
            servePending();
            lock.lock();
            continue;
        }
        // The event thread always signals both of these conditions; the time limit is only a
        // second look in case a wake-up went missing.
        changed_.wait_for(lock, std::chrono::seconds(1));
    }
}

// Hand-off requests are the only events posted to this object. The event itself carries
// nothing: the request's state is read under the mutex, which orders it with the event thread.
void TComHandOff::customEvent(QEvent*) {
    const std::shared_ptr<TComHandOff> keep = shared_from_this(); // the handler may drop the port
    servePending();
}

void TComHandOff::servePending() {
    uint64_t ticket;
    {
        std::lock_guard lock(mutex_);
        if (running_ || requested_ <= started_)
            return;
        ticket = requested_;
        started_ = ticket;
        running_ = true;
    }
    std::exception_ptr error;
    try {
        handler_();
    } catch (...) {
        error = std::current_exception();
    }
    bool again;
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        served_ = std::max(served_, ticket);
        again = requested_ > started_;
        changed_.notify_all();
    }
    if (again)
        QCoreApplication::postEvent(this, new QEvent(kHandOffEvent));
    if (error)
        reportError(error);
}

} // namespace serial
