#pragma once

#include <QString>

#include <exception>

class QEvent;

// Whatever shows the errors that end handlers: the program's application object, which
// registers itself while it lives. The windows reach it only through the runners below, so they
// need not know the application.
class TErrorDisplay {
public:
    virtual ~TErrorDisplay() = default;
    // Shows the error and returns once the user has answered it.
    virtual void ShowError(std::exception_ptr error) = 0;
};

// The display errors go to from now on; null: none.
void SetErrorDisplay(TErrorDisplay* display);

// Hands an error that was caught where it cannot be shown at once (a handler, window creation)
// to the general error display, which shows it from the event loop.
void PostError(std::exception_ptr error);

// The application object's event handling calls this for every event it receives: it rethrows
// the error a PostError event carries, so that the error leaves through the application's
// notify, where the display catches it. Other events pass untouched.
void RethrowPostedError(const QEvent* event);

// The text an error shows: a standard exception's own, "Unknown error" for anything else.
QString ErrorText(std::exception_ptr error);

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
