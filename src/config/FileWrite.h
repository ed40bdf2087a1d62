#pragma once

#include <QByteArray>

#include <sys/types.h>

// What writing a whole file through a descriptor needs, for config.ini and for the command
// line's output files alike.
namespace config {

// Writes all of bytes to fd, going on after an interrupted call; false on any failure.
bool WriteAll(int fd, const QByteArray& bytes);

// The mode a new file gets under this process's umask.
mode_t NewFileMode();

} // namespace config
