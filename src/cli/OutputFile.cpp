#include "cli/OutputFile.h"

#include "config/FileWrite.h"

#include <QCoreApplication>

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

// Why a user's file was not written, from FileWrite's code.
[[noreturn]] void refuseFor(const QString& path, int error) {
    if (error == ELOOP)
        refuse(path, QCoreApplication::translate("OutputFile", "这是符号链接，输出不跟随链接"));
    if (error == EPERM)
        refuse(path, QCoreApplication::translate("OutputFile", "文件属于别的用户"));
    errno = error;
    refuseWithErrno(path);
}

// A pipe or device this user owns, written where it stands.
void writeInPlace(const QString& path, const QByteArray& bytes) {
    struct stat seen {};
    const int probe = config::OpenUserFile(path, O_PATH);
    if (probe < 0)
        refuseFor(path, errno);
    const bool known = ::fstat(probe, &seen) == 0;
    const int error = errno;
    ::close(probe);
    if (!known)
        refuseFor(path, error);
    if (seen.st_uid != ::geteuid())
        refuse(path, QCoreApplication::translate("OutputFile", "这是别的用户的管道或设备"));
    // Not blocking on open: a pipe without a reader fails at once instead of waiting for one.
    const int fd = config::OpenUserFile(path, O_WRONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0 && errno == ENXIO && S_ISFIFO(seen.st_mode))
        refuse(path, QCoreApplication::translate("OutputFile", "管道没有读取方"));
    if (fd < 0)
        refuseFor(path, errno);
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino) {
        ::close(fd);
        refuse(path, QCoreApplication::translate("OutputFile", "打开时已换成别的文件"));
    }
    finish(path, fd, ::fcntl(fd, F_SETFL, 0) == 0 && config::WriteAll(fd, bytes));
}

} // namespace

void WriteOutputFile(const QString& path, const QByteArray& bytes) {
    const int error = config::ReplaceUserFile(path, bytes, config::ExistingOwner::Mine);
    // Not a regular file: a pipe or a device.
    if (error == EINVAL)
        writeInPlace(path, bytes);
    else if (error != 0)
        refuseFor(path, error);
}

} // namespace cli
