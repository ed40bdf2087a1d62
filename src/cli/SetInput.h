#pragma once

#include <QByteArray>
#include <QString>

namespace cli {

// What --write takes (a file, or standard input for "-") as messages name it, escaped.
QString SetInputName(const QString& file);

// The whole set file, read once before the splicer is contacted, so a pipe, a FIFO or a process
// substitution works as a file does. Raises an error naming the file when it cannot be read or
// is larger than any parameter set (1 MiB). A stop signal (TStopSignals) ends a wait for bytes
// that are slow to come, as an error the stop explains.
QByteArray ReadSetInput(const QString& file);

} // namespace cli
