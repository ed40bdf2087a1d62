#pragma once

#include <QString>

// The executable's file name up to its first full stop, every character after the first in
// lower case ("SPLICEON.bin" gives "Spliceon", "spliceon" stays "spliceon").
QString ProgramTitle();
// An error text as the error box shows it: with a full stop appended when its last character
// sorts after the full stop.
QString ErrorBoxText(const QString& message);

// Every modal box the program shows goes through here, so tests can answer them and see what
// was shown.
class TMessageBoxes {
public:
    // How a confirmation box was left: by one of its buttons (Esc presses No), or by the
    // title-bar close button, which presses none.
    enum class Answer { Yes, No, Closed };

    virtual ~TMessageBoxes() = default;

    // Information box: the text, no icon, "OK" (Enter and Esc), the program title.
    virtual void ShowMessage(const QString& text) = 0;
    // Confirmation box: title "Confirm", question icon, "&Yes" (default) and "&No" (Esc).
    virtual Answer Ask(const QString& text) = 0;
    // The confirmation every caller asks for: true to go on. Only Yes goes on; a box closed
    // with its title-bar button cancels like No, since the user did not agree.
    bool Confirm(const QString& text) { return Ask(text) == Answer::Yes; }
    // Confirmation box whose only button is Yes: a notice that needs acknowledging.
    virtual void Acknowledge(const QString& text) = 0;
    // The general error display: stop icon, OK, the program title.
    virtual void ShowError(const QString& text) = 0;
};
