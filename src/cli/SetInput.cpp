#include "cli/SetInput.h"

#include "cli/StopSignals.h"
#include "config/IniFile.h"
#include "protocol/PrintableText.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace cli {
namespace {

std::runtime_error failure(const QString& text) {
    return std::runtime_error(text.toStdString());
}

std::runtime_error cannotRead(const QString& file, int error) {
    return failure(QCoreApplication::translate("SetInput", "无法读取 %1：%2")
                       .arg(SetInputName(file), QString::fromLocal8Bit(std::strerror(error))));
}

// Waits until fd has bytes or has ended; false when a stop signal came first. A pipe or a
// terminal can keep a read waiting for ever, out of reach of the event loop that ends the run.
bool awaitInput(int fd) {
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {TStopSignals::Fd(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0 && errno == EINTR)
            continue;
        return !(fds[1].revents & POLLIN);
    }
}

} // namespace

QString SetInputName(const QString& file) {
    return file == QStringLiteral("-") ? QCoreApplication::translate("SetInput", "标准输入")
                                       : PrintableText(QFile::encodeName(file));
}

QByteArray ReadSetInput(const QString& file) {
    const bool standardInput = file == QStringLiteral("-");
    // Not waiting in open for a pipe's writer: the wait for its bytes below can be stopped.
    const int fd = standardInput ? STDIN_FILENO
                                 : ::open(QFile::encodeName(file).constData(),
                                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw cannotRead(file, errno);
    const auto closeInput = qScopeGuard([&] {
        if (!standardInput)
            ::close(fd);
    });
    if (!standardInput && ::fcntl(fd, F_SETFL, 0) != 0)
        throw cannotRead(file, errno);
    QByteArray content;
    char buffer[1 << 16];
    // A pipe hands over what it has: read until its end, one byte past the limit at most.
    while (content.size() <= config::kMaxIniBytes) {
        if (!awaitInput(fd))
            throw cannotRead(file, EINTR);
        const qint64 wanted =
            std::min<qint64>(sizeof buffer, config::kMaxIniBytes + 1 - content.size());
        const ssize_t n = ::read(fd, buffer, size_t(wanted));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n < 0)
            throw cannotRead(file, errno);
        if (n == 0)
            break;
        content.append(buffer, n);
    }
    if (content.size() > config::kMaxIniBytes)
        throw failure(QCoreApplication::translate("SetInput", "%1 大于 1 MiB，不是参数文件")
                          .arg(SetInputName(file)));
    return content;
}

} // namespace cli
