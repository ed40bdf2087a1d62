#pragma once

#include <QString>

// Every modal box the program shows goes through here, so tests can answer them and see what
// was shown.
class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;

    // Information box: the text, no icon, "OK" (Enter and Esc), the program title.
    virtual void ShowMessage(const QString& text) = 0;
    // Confirmation box: title "Confirm", question icon, "&Yes" (default) and "&No" (Esc).
    // True to go on. Closing the box any other way cancels, like No.
    virtual bool Confirm(const QString& text) = 0;
    // Confirmation box whose only button is Yes: a notice that needs acknowledging.
    virtual void Acknowledge(const QString& text) = 0;
    // The general error display: stop icon, OK, the program title.
    virtual void ShowError(const QString& text) = 0;
};
