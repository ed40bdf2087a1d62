#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The one way a user's file is written: config.ini, the command line's --out and --trace, the
// traffic monitor's save, and any file a later feature writes. Such paths often lie in shared
// folders (/tmp, a group's folder) where another user may have planted a symbolic link, in the
// file's place or in place of a folder on the way; none is ever followed.
//
// Every function reports a failure by errno's code (0: done), for the caller to name the file
// in its own message:
// - ELOOP: a component of the path, the last one included, is a symbolic link;
// - EPERM: the file is another user's and the caller asked for its own only;
// - anything else: the system's reason, from the call that failed.
namespace config {

// Writes all of bytes to fd, going on after an interrupted call; false on any failure.
bool WriteAll(int fd, const QByteArray& bytes);

// The mode a new file gets under this process's umask.
mode_t NewFileMode();

// Opens path as open(2) does with flags and mode, but walks the path one folder at a time from
// "/" (an absolute path) or the current folder (a relative one) without following a link in
// any component (O_NOFOLLOW and O_CLOEXEC are added). With O_PATH a link as the last component
// is refused too. Returns the descriptor, or -1 with errno set.
int OpenUserFile(const QString& path, int flags, mode_t mode = 0);

// Whose file may be replaced.
enum class ExistingOwner {
    // Only this user's own: another user's file is refused with EPERM, as root would otherwise
    // give that user a file they did not write.
    Mine,
    // Anyone's: root keeps the old file's owner and group; another user who may write the file
    // but cannot give a new one away rewrites it where it stands (owner kept, no longer in one
    // step), as settings shared with their owner must not lock that owner out.
    Kept,
};

// Replaces the regular file at path with bytes, or makes it, in one step: a new file in the
// same folder gets the old file's permissions (a new one's under the umask; for root, also its
// owner and group), the bytes, synced to the disk, and is then renamed over the name, so a
// failure (a full disk) leaves the old file whole. Refuses a folder (EISDIR) and anything that
// is not a regular file (EINVAL). Returns 0 or errno's code.
int ReplaceUserFile(const QString& path, const QByteArray& bytes, ExistingOwner owner);

} // namespace config
