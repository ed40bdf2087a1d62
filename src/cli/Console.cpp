#include "cli/Console.h"

#include "cli/StopSignals.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace cli {
namespace {

bool put(std::FILE* stream, const QString& text) {
    return std::fputs(text.toUtf8().constData(), stream) >= 0 && std::fflush(stream) == 0;
}

// The terminal a question is asked and answered on: standard input when it is one, else the
// controlling terminal. Standard error does not count: it may go to a log nobody reads while
// the program runs.
class TTerminal {
public:
    TTerminal()
        : owned_(::isatty(STDIN_FILENO) ? -1 : ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)),
          fd_(::isatty(STDIN_FILENO) ? STDIN_FILENO : owned_) {}
    ~TTerminal() {
        if (owned_ >= 0)
            ::close(owned_);
    }
    TTerminal(const TTerminal&) = delete;
    TTerminal& operator=(const TTerminal&) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    // On the terminal; on standard error where the terminal takes no output (opened read-only).
    void Write(const QString& text) const {
        const QByteArray bytes = text.toUtf8();
        if (::write(fd_, bytes.constData(), size_t(bytes.size())) != bytes.size())
            PrintMessage(text);
    }

    // The next line typed, without its end; none at the end of input.
    std::optional<QByteArray> ReadLine(TStopSignals& stop) const {
        QByteArray typed;
        while (!typed.contains('\n')) {
            pollfd fds[2] = {{stop.Fd(), POLLIN, 0}, {fd_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                throw std::system_error(errno, std::generic_category(), "poll");
            if (const int signal = stop.Caught())
                throw EStopped(signal);
            if (!fds[1].revents)
                continue;
            char chunk[256];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (n <= 0)
                return std::nullopt;
            typed.append(chunk, n);
        }
        return typed.left(typed.indexOf('\n'));
    }

private:
    int owned_;
    int fd_;
};

} // namespace

void PrintResult(const QString& text) {
    if (put(stdout, text))
        return;
    const int error = errno;
    throw std::runtime_error(QCoreApplication::translate("Console", "无法写入标准输出：%1")
                                 .arg(QString::fromLocal8Bit(std::strerror(error)))
                                 .toStdString());
}

void PrintMessage(const QString& text) {
    put(stderr, text);
}

bool ConfirmOnTerminal(const QString& question, TStopSignals& stop) {
    TTerminal terminal;
    if (!terminal.IsOpen()) {
        PrintMessage(
            QCoreApplication::translate("Console", "%1 不是在终端上运行，无法确认：按“否”处理")
                .arg(question) +
            '\n');
        return false;
    }
    terminal.Write(question + QStringLiteral(" [y/N] "));
    const std::optional<QByteArray> line = terminal.ReadLine(stop);
    if (!line)
        return false;
    const QString reply = QString::fromLocal8Bit(*line).trimmed().toLower();
    return reply == QStringLiteral("y") || reply == QStringLiteral("yes") ||
           reply == QStringLiteral("是");
}

} // namespace cli
