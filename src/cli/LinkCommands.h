#pragma once

#include "cli/Results.h"

#include <QString>

#include <functional>

class SplicerLink;
class TMessageBoxes;

// What the command line does with the splicer, through the same link the window uses: the same
// frames with the same waits. Failures are raised as errors with their texts.
namespace cli {

enum ExitCode {
    ExitDone = 0,
    ExitNoSplicer = 1,
    ExitSetDiffers = 1, // --diff, as diff(1) has it
    ExitFailed = 2,
    ExitDiffers = 3,
};

// Finds the splicer without a port given; true when connected. Where none answered the boxes
// have been told.
using TSearch = std::function<bool()>;

// --read: connects (by search, or on port when it is not empty), then prints the splicer's
// parameter set and what it says about itself, in format; to outPath when it is not empty.
int ReadParams(SplicerLink& link, TMessageBoxes& boxes, const QString& port, const TSearch& search,
               const QString& outPath, const TResultFormat& format);

// How --write goes about it: confirmed (--yes) asks nothing; a dry run stops before the block;
// quiet leaves out the change list where it goes with --yes.
struct TWriteChoice {
    bool confirmed = false;
    bool dryRun = false;
    bool quiet = false;
};

// --write: reads and checks the set in file ("-": standard input; INI or the JSON of --read
// --json), connects, brings it into the connected firmware's scale and range, shows what would
// change and what cannot be written as is, asks unless confirmed, writes it as the window's
// write does and reads it back. ExitDiffers when what came back is not what was sent, when the
// splicer takes a block of no bytes, or when the line failed after the block went out (not
// verified). A dry run ends before the block length is asked for: ExitDone.
int WriteParams(SplicerLink& link, TMessageBoxes& boxes, const QString& file, const QString& port,
                const TSearch& search, const TWriteChoice& choice);

// --diff: reads and checks the set in file, connects and puts the fields that differ from the
// splicer's, in its scale, in format; what the splicer cannot hold, what the set lacks and what
// was converted go to standard error unless quiet. ExitDone when equal, ExitSetDiffers when
// not, ExitFailed when no splicer answered.
int DiffParams(SplicerLink& link, TMessageBoxes& boxes, const QString& file, const QString& port,
               const TSearch& search, const TResultFormat& format, bool quiet);

// --probe: the handshake on the device at path, and what came of it.
TProbeResult Probe(SplicerLink& link, const QString& path);

} // namespace cli
