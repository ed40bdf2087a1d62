#include "trace/TraceFile.h"

#include "config/FileWrite.h"
#include "protocol/PrintableText.h"
#include "trace/FollowFeed.h"
#include "trace/Pcapng.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trace {
namespace {

[[noreturn]] void refuse(const QString& path, const QString& reason) {
    throw std::runtime_error(QCoreApplication::translate("TraceFile", "无法写入记录文件 %1：%2")
                                 .arg(path, reason)
                                 .toStdString());
}

// Opens path for appending without following a link anywhere in it or waiting for a pipe's
// reader, and only when this user owns what is there and it has no other name.
int openOwnForAppending(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        config::OpenUserFile(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY, 0666);
    const int openError = errno;
    // Another user's link in a sticky folder may be refused with EACCES rather than ELOOP.
    struct stat st {};
    if (fd < 0 && (openError == ELOOP || (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode))))
        refuse(path, QCoreApplication::translate("TraceFile", "这是符号链接，记录不跟随链接"));
    if (fd < 0)
        refuse(path, openError == ENXIO ? QCoreApplication::translate("TraceFile", "管道没有读取方")
                                        : QString::fromLocal8Bit(std::strerror(openError)));
    const bool owned = ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid();
    // A second name may be another user's hard link to a file of ours, planted where the kernel
    // allows it to have the trace appended to that file (/etc/shadow, for root).
    const bool oneName = owned && (!S_ISREG(st.st_mode) || st.st_nlink == 1);
    if (oneName && ::fcntl(fd, F_SETFL, O_APPEND) == 0)
        return fd;
    const int error = errno;
    ::close(fd);
    refuse(path, !owned ? QCoreApplication::translate("TraceFile", "文件属于别的用户")
                 : !oneName
                     ? QCoreApplication::translate("TraceFile", "文件还有别的硬链接")
                     : QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

TTraceFile::TTraceFile(const QString& path, FrameFeed& feed, const QString& header,
                       TraceFormat format)
    : path_(path) {
    // The descriptor appends already; asked to, QFile would also seek to the end, which a pipe
    // or a terminal refuses.
    if (!file_.open(openOwnForAppending(path), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        refuse(path, file_.errorString());
    if (format == TraceFormat::Text) {
        append((header + '\n').toUtf8());
        FollowFeed(feed, &context_,
                   [this](const QString& line) { append((line + '\n').toUtf8()); });
    } else {
        append(PcapngSection(header));
        const auto packet = [this](Direction direction) {
            return [this, direction](const QByteArray& frame) {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                append(
                    PcapngPacket(std::chrono::duration_cast<std::chrono::microseconds>(now).count(),
                                 direction, frame));
            };
        };
        QObject::connect(&feed, &FrameFeed::frameSent, &context_, packet(Direction::Sent));
        QObject::connect(&feed, &FrameFeed::frameReceived, &context_, packet(Direction::Received));
    }
    CheckComplete();
}

void TTraceFile::append(const QByteArray& bytes) {
    if (!failure_.isEmpty())
        return;
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        failure_ = file_.errorString();
}

void TTraceFile::CheckComplete() const {
    if (!failure_.isEmpty())
        refuse(path_, QCoreApplication::translate("TraceFile", "%1（记录不完整）").arg(failure_));
}

QString RunHeader(const QStringList& arguments) {
    QStringList printable;
    for (const QString& argument : arguments)
        printable << PrintableText(argument.toUtf8());
    return QStringLiteral("# %1 Spliceon V%2：%3")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             QStringLiteral(SPLICEON_VERSION), printable.join(' '));
}

} // namespace trace
