#pragma once

#include <QPointer>
#include <QWidget>

// Disables a button while an operation runs and enables it again however the operation ends.
class ButtonBusy {
public:
    explicit ButtonBusy(QWidget* button) : button_(button) { button_->setEnabled(false); }
    ~ButtonBusy() {
        if (button_)
            button_->setEnabled(true);
    }
    ButtonBusy(const ButtonBusy&) = delete;
    ButtonBusy& operator=(const ButtonBusy&) = delete;

private:
    QPointer<QWidget> button_;
};
