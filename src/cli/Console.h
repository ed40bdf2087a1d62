#pragma once

#include <QString>

namespace cli {

class TStopSignals;

// A result on standard output. Raises an error when it does not all get there: a script must
// not take an output it never got for the splicer's.
void PrintResult(const QString& text);
// A message on standard error. Where that fails there is nowhere left to say so; the exit code
// still tells.
void PrintMessage(const QString& text);

// Asks on the terminal (standard input, or the controlling terminal) and waits for a line:
// only "y" (or "yes", "是") goes on. Without a terminal to ask on, or at the end of its input,
// the answer is No. A stop signal ends the wait with EStopped.
bool ConfirmOnTerminal(const QString& question, TStopSignals& stop);

} // namespace cli
