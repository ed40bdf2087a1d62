#include "main/Application.h"

#include "protocol/MessageBoxes.h"

TApplication::TApplication(int& argc, char** argv, TMessageBoxes& boxes)
    : QApplication(argc, argv), boxes_(boxes) {
    SetErrorDisplay(this);
}

TApplication::~TApplication() {
    SetErrorDisplay(nullptr);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowError(std::current_exception());
        return true;
    }
}

bool TApplication::event(QEvent* e) {
    RethrowPostedError(e);
    return QApplication::event(e);
}

void TApplication::ShowError(std::exception_ptr error) {
    boxes_.ShowError(ErrorText(error));
}
