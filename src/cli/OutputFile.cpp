#include "cli/OutputFile.h"

#include "config/FileWrite.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {
namespace {

[[noreturn]] void refuse(const QString& path, const QString& reason) {
    throw std::runtime_error(QCoreApplication::translate("OutputFile", "无法写入 %1：%2")
                                 .arg(path, reason)
                                 .toStdString());
}

[[noreturn]] void refuseWithErrno(const QString& path) {
    refuse(path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Closes fd after the writes; raises with the first failure's reason unless ok and closed.
void finish(const QString& path, int fd, bool ok) {
    const int error = errno;
    if (::close(fd) == 0 && ok)
        return;
    if (!ok)
        errno = error;
    refuseWithErrno(path);
}

// A pipe or device this user owns, written where it stands.
void writeInPlace(const QString& path, const QByteArray& name, const struct stat& seen,
                  const QByteArray& bytes) {
    if (seen.st_uid != ::geteuid())
        refuse(path, QCoreApplication::translate("OutputFile", "这是别的用户的管道或设备"));
    // Not blocking on open: a pipe without a reader fails at once instead of waiting for one.
    const int fd =
        ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENXIO && S_ISFIFO(seen.st_mode))
        refuse(path, QCoreApplication::translate("OutputFile", "管道没有读取方"));
    if (fd < 0)
        refuseWithErrno(path);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        ::close(fd);
        refuse(path, QCoreApplication::translate("OutputFile", "打开时已换成别的文件"));
    }
    finish(path, fd, ::fcntl(fd, F_SETFL, 0) == 0 && config::WriteAll(fd, bytes));
}

// A new file beside the name, renamed over it; seen is the file there now, or null.
void replace(const QString& path, const QByteArray& name, const struct stat* seen,
             const QByteArray& bytes) {
    QByteArray temp = name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        refuseWithErrno(path);
    auto dropTemp = qScopeGuard([&temp] { ::unlink(temp.constData()); });
    // Only root can give a file away; anyone else's replacement is their own, as with any
    // editor. Owner first, as a change of owner clears the set-ID bits of the mode.
    const bool keepOwner = seen && ::geteuid() == 0;
    finish(path, fd,
           (!keepOwner || ::fchown(fd, seen->st_uid, seen->st_gid) == 0) &&
               ::fchmod(fd, seen ? seen->st_mode & 07777 : config::NewFileMode()) == 0 &&
               config::WriteAll(fd, bytes) && ::fsync(fd) == 0);
    if (::rename(temp.constData(), name.constData()) != 0)
        refuseWithErrno(path);
    dropTemp.dismiss();
}

} // namespace

void WriteOutputFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    if (::lstat(name.constData(), &seen) != 0) {
        if (errno != ENOENT)
            refuseWithErrno(path);
        replace(path, name, nullptr, bytes);
    } else if (S_ISLNK(seen.st_mode)) {
        refuse(path, QCoreApplication::translate("OutputFile", "这是符号链接，输出不跟随链接"));
    } else if (S_ISREG(seen.st_mode)) {
        replace(path, name, &seen, bytes);
    } else if (S_ISDIR(seen.st_mode)) {
        errno = EISDIR;
        refuseWithErrno(path);
    } else {
        writeInPlace(path, name, seen, bytes);
    }
}

} // namespace cli
