#pragma once

#include <QFile>
#include <QObject>

class FrameFeed;

namespace trace {

// --trace FILE: appends the trace line of every frame passing the feed to the file, written
// through at once, so the file can be followed while the program runs and keeps every line if
// it ends abruptly.
class TTraceFile {
public:
    // Raises an error naming the file when it cannot be opened for appending.
    TTraceFile(const QString& path, FrameFeed& feed);

private:
    QFile file_;
    QObject context_; // ends the feed's connections before the file closes
};

} // namespace trace
