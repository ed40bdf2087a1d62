#include "config/FileWrite.h"

#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace config {
namespace {

// Closes a descriptor and gives back errno as the failure left it.
void closeKeepingErrno(int fd) {
    const int error = errno;
    ::close(fd);
    errno = error;
}

// The folder that holds path's last component, reached one component at a time with no link
// followed; -1 with errno set. name receives the last component ("." for a path ending in "/").
int openFolderOf(const QString& path, QByteArray& name) {
    const QByteArray encoded = QFile::encodeName(path);
    if (encoded.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    QList<QByteArray> parts = encoded.split('/');
    name = parts.takeLast();
    if (name.isEmpty())
        name = ".";
    int folder = ::open(encoded.startsWith('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray& part : parts) {
        if (folder < 0 || part.isEmpty())
            continue;
        const int next =
            ::openat(folder, part.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        // O_DIRECTORY on a link says ENOTDIR: name the link for what it is.
        struct stat st {};
        if (next < 0 && errno == ENOTDIR &&
            ::fstatat(folder, part.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISLNK(st.st_mode))
            errno = ELOOP;
        closeKeepingErrno(folder);
        folder = next;
    }
    return folder;
}

constexpr char kTempLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A new, empty file beside name in folder, readable and writable by this user only; its name
// goes to temp. -1 with errno set.
int makeTemporary(int folder, const QByteArray& name, QByteArray& temp) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = name + '.';
        for (int i = 0; i < 6; ++i)
            temp += kTempLetters[QRandomGenerator::system()->bounded(int(sizeof kTempLetters) - 1)];
        const int fd = ::openat(folder, temp.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Owner, group and mode stay; a crash in the middle can leave the file cut short.
int rewriteInPlace(int folder, const QByteArray& name, const QByteArray& bytes) {
    const int fd = ::openat(folder, name.constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0;
    const int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok)
        return errno;
    return error;
}

} // namespace

bool WriteAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC; // no progress and no reason given: a full device is the likely one
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

mode_t NewFileMode() {
    // umask can only be read by setting it: put it straight back.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

int OpenUserFile(const QString& path, int flags, mode_t mode) {
    QByteArray name;
    const int folder = openFolderOf(path, name);
    if (folder < 0)
        return -1;
    const int fd = ::openat(folder, name.constData(), flags | O_NOFOLLOW | O_CLOEXEC, mode);
    closeKeepingErrno(folder);
    struct stat st {};
    if (fd >= 0 && (flags & O_PATH) && ::fstat(fd, &st) == 0 && S_ISLNK(st.st_mode)) {
        ::close(fd);
        errno = ELOOP;
        return -1;
    }
    return fd;
}

int ReplaceUserFile(const QString& path, const QByteArray& bytes, ExistingOwner owner) {
    QByteArray name;
    const int folder = openFolderOf(path, name);
    if (folder < 0)
        return errno;
    const auto closeFolder = qScopeGuard([folder] { ::close(folder); });
    struct stat old {};
    const bool exists = ::fstatat(folder, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists && !S_ISREG(old.st_mode))
        return S_ISLNK(old.st_mode) ? ELOOP : S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
    if (exists && owner == ExistingOwner::Mine && old.st_uid != ::geteuid())
        return EPERM;

    QByteArray temp;
    const int fd = makeTemporary(folder, name, temp);
    // The new file takes the old one's owner and group: only root may give a file away. Owner
    // first, as a change of owner clears the set-ID bits of the mode.
    struct stat made {};
    const bool handedOver = fd >= 0 && ::fstat(fd, &made) == 0 &&
                            (!exists || (made.st_uid == old.st_uid && made.st_gid == old.st_gid) ||
                             ::fchown(fd, old.st_uid, old.st_gid) == 0);
    if (!handedOver) {
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
            ::unlinkat(folder, temp.constData(), 0);
        }
        // A folder that refuses new files, or a file this user may not give away. Not a disk
        // without room for one: there a rewrite where it stands could cut the file short.
        if (exists && owner == ExistingOwner::Kept && (error == EACCES || error == EPERM))
            return rewriteInPlace(folder, name, bytes);
        return error;
    }
    bool ok = ::fchmod(fd, exists ? old.st_mode & 07777 : NewFileMode()) == 0 &&
              WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::renameat(folder, temp.constData(), folder, name.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok)
        ::unlinkat(folder, temp.constData(), 0);
    return error;
}

} // namespace config
