#include "errors/HandlerRunner.h"

#include <QCoreApplication>
#include <QEvent>

#include <atomic>

namespace {

std::atomic<TErrorDisplay*> errorDisplay = nullptr;

const QEvent::Type kRethrowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class RethrowEvent : public QEvent {
public:
    explicit RethrowEvent(std::exception_ptr error) : QEvent(kRethrowEvent), error(error) {}
    const std::exception_ptr error;
};

} // namespace

void SetErrorDisplay(TErrorDisplay* display) {
    errorDisplay = display;
}

void PostError(std::exception_ptr error) {
    if (QCoreApplication* app = QCoreApplication::instance())
        QCoreApplication::postEvent(app, new RethrowEvent(error));
}

void RethrowPostedError(const QEvent* event) {
    if (event->type() == kRethrowEvent)
        std::rethrow_exception(static_cast<const RethrowEvent*>(event)->error);
}

QString ErrorText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void ShowErrorNow(std::exception_ptr error) {
    // Only the program's own application object is a display; elsewhere (a test's plain
    // application) the error is at least not lost.
    if (TErrorDisplay* display = errorDisplay)
        display->ShowError(error);
    else
        qWarning("error without an error display: %s", qPrintable(ErrorText(error)));
}
