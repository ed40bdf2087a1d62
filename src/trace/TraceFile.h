#pragma once

#include <QFile>
#include <QObject>
#include <QStringList>

class FrameFeed;

namespace trace {

// Text: the trace lines; Pcapng: a capture (see Pcapng.h).
enum class TraceFormat { Text, Pcapng };

// --trace FILE: appends the trace line of every frame passing the feed to the file, written
// through at once, so the file can be followed while the program runs and keeps every line if
// it ends abruptly. The file is often in a shared folder: a symbolic link there is not
// followed, and a file another user owns (who could read or rewrite the trace) is refused.
class TTraceFile {
public:
    // Writes header as the run's first line (in a capture, the comment of its section). Raises an error naming the file when it cannot be
    // opened for appending, is a symbolic link, belongs to another user, or is a pipe nobody
    // reads.
    TTraceFile(const QString& path, FrameFeed& feed, const QString& header,
               TraceFormat format = TraceFormat::Text);

    // Raises an error naming the file when a line could not be written: the trace is then
    // incomplete, and no later line was written after the gap.
    void CheckComplete() const;

private:
    void append(const QByteArray& bytes);

    QString path_;
    QFile file_;
    QString failure_; // why the first line or packet that was lost could not be written
    QObject context_; // ends the feed's connections before the file closes
};

// The first line of a run's trace: the date and time, the program's version and its command
// line, each argument printable.
QString RunHeader(const QStringList& arguments);

} // namespace trace
