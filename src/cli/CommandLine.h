#pragma once

namespace cli {

// False only when every argument is one of Qt's own window options (-platform, -display, …)
// with its value, or there is none: the program is then a window. Anything else is for the
// command line, which refuses what it does not know.
bool WantsCommandLine(int argc, char** argv);

// Runs the command line on a QCoreApplication: no widgets, no display, and config.ini's
// "driverinstall" is not looked at. Returns the exit code: 0 done, 1 no splicer answered,
// 2 any other error (its text on stderr; after a usage error the usage too), 3 a block read
// back differs from the one written, 128 + the signal's number when SIGHUP, SIGINT or SIGTERM
// stopped it.
int Run(int argc, char** argv);

} // namespace cli
