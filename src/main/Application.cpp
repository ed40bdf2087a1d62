#include "main/Application.h"

#include "main/MessageBoxes.h"

#include <QEvent>

namespace {

const QEvent::Type kRethrowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class RethrowEvent : public QEvent {
public:
    explicit RethrowEvent(std::exception_ptr error) : QEvent(kRethrowEvent), error(error) {}
    const std::exception_ptr error;
};

} // namespace

void PostError(std::exception_ptr error) {
    if (QCoreApplication* app = QCoreApplication::instance())
        QCoreApplication::postEvent(app, new RethrowEvent(error));
}

void ShowErrorNow(std::exception_ptr error) {
    // Only the program's own application object has the error display; elsewhere (a test's
    // plain application) the error is at least not lost.
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance())) {
        app->ShowError(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        qWarning("error without an error display: %s", e.what());
    } catch (...) {
        qWarning("unknown error without an error display");
    }
}

TApplication::TApplication(int& argc, char** argv, TMessageBoxes& boxes)
    : QApplication(argc, argv), boxes_(boxes) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowError(std::current_exception());
        return true;
    }
}

bool TApplication::event(QEvent* e) {
    if (e->type() == kRethrowEvent)
        std::rethrow_exception(static_cast<RethrowEvent*>(e)->error);
    return QApplication::event(e);
}

void TApplication::ShowError(std::exception_ptr error) {
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = QString::fromUtf8(e.what());
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    boxes_.ShowError(text);
}
