#pragma once

#include "protocol/MessageBoxes.h"

#include <QString>


// The executable's file name up to its first full stop, every character after the first in
// lower case ("SPLICEON.bin" gives "Spliceon", "spliceon" stays "spliceon").
QString ProgramTitle();
// An error text as the error box shows it: with a full stop appended when its last character
// sorts after the full stop.
QString ErrorBoxText(const QString& message);

// The boxes as the user sees them.
class TQtMessageBoxes : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override;
    Answer Ask(const QString& text) override;
    void Acknowledge(const QString& text) override;
    void ShowError(const QString& text) override;
};
