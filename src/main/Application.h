#pragma once

#include <QApplication>

#include <exception>

class TMessageBoxes;

// The application object. It holds the general error display: an error that ends any handler
// (button, menu, timer, posted message) is caught here, once, and shown in the error box; the
// program then goes on. Errors in the serial port's received-data handling never come here.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv, TMessageBoxes& boxes);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an error caught outside event delivery.
    void ShowError(std::exception_ptr error);

protected:
    bool event(QEvent* e) override;

private:
    TMessageBoxes& boxes_;
};

// Hands an error that was caught where it cannot be shown at once (a handler, window creation)
// to the general error display, which shows it from the event loop.
void PostError(std::exception_ptr error);

// Shows an error in the general error display now, and returns once the user has answered it.
void ShowErrorNow(std::exception_ptr error);

// Runs one of the window's handlers. An error that ends it travels on to the general error
// display through the event loop: unwinding through the toolkit's own frames (built without
// exception support) would skip their clean-up.
template <class Handler> void RunHandler(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        PostError(std::current_exception());
    }
}

// Runs a start-up handler (window creation, before the event loop runs). An error that ends it
// is shown at once, so start-up goes on, and the window appears, only after the user answered.
template <class Handler> void RunStartupHandler(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowErrorNow(std::current_exception());
    }
}
