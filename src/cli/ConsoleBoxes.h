#pragma once

#include "protocol/MessageBoxes.h"

#include <cstdio>

namespace cli {

// The program's boxes without a window: every text goes to standard error as a line of its
// own, and a question is asked on the terminal, where only "y" (or "yes", "是") goes on. Without
// a terminal to ask on, the answer is No.
class TConsoleBoxes : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override;
    Answer Ask(const QString& text) override;
    void Acknowledge(const QString& text) override;
    void ShowError(const QString& text) override;
};

void Print(std::FILE* stream, const QString& text);

} // namespace cli
