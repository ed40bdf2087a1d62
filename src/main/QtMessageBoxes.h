#pragma once

#include "protocol/MessageBoxes.h"

#include <QString>

// The boxes as the user sees them.
class TQtMessageBoxes : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override;
    Answer Ask(const QString& text) override;
    void Acknowledge(const QString& text) override;
    void ShowError(const QString& text) override;
};
