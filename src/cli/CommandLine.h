#pragma once

namespace cli {

// True when an argument names one of the command line's options (--list, --read=…, -h, …).
// Anything else, the toolkit's own options included, leaves the program a window.
bool WantsCommandLine(int argc, char** argv);

// Runs the command line on a QCoreApplication: no widgets, no display, and config.ini's
// "driverinstall" is not looked at. Returns the exit code: 0 done, 1 no splicer answered,
// 2 any other error (its text on stderr), 3 a block read back differs from the one written.
int Run(int argc, char** argv);

} // namespace cli
