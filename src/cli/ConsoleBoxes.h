#pragma once

#include "protocol/MessageBoxes.h"

namespace cli {

// The program's boxes without a window: every text goes to standard error as a line of its
// own, and a question is asked on the terminal (standard input, or the controlling terminal),
// where only "y" (or "yes", "是") goes on. Without a terminal to ask on, the answer is No.
class TConsoleBoxes : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override;
    Answer Ask(const QString& text) override;
    void Acknowledge(const QString& text) override;
    void ShowError(const QString& text) override;

    // The run was stopped: what the interrupted work still reports follows from the stop and
    // is not shown.
    void Silence() { silenced_ = true; }
    // While held, texts are not shown: a search that is to be run again has nothing to report.
    void Hold(bool held) { held_ = held; }

private:
    bool silenced_ = false;
    bool held_ = false;
};

// A result on standard output. Raises an error when it does not all get there: a script must
// not take an output it never got for the splicer's.
void PrintResult(const QString& text);
// A message on standard error. Where that fails there is nowhere left to say so; the exit
// code still tells.
void PrintMessage(const QString& text);

} // namespace cli
