#include "cli/ConsoleBoxes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>

#include <fcntl.h>
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

    // The next line typed, without its end; none at the end of input or when the run stops
    // meanwhile. The wait is an event loop, which a stop ends like any other wait.
    std::optional<QByteArray> ReadLine() const {
        QByteArray typed;
        QEventLoop loop;
        QSocketNotifier readable(fd_, QSocketNotifier::Read);
        QObject::connect(&readable, &QSocketNotifier::activated, &loop, [&] {
            char chunk[256];
            const ssize_t n = ::read(fd_, chunk, sizeof chunk);
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            if (n <= 0) {
                loop.exit(1);
                return;
            }
            typed.append(chunk, n);
            if (typed.contains('\n'))
                loop.exit(0);
        });
        if (loop.exec() != 0)
            return std::nullopt;
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
    throw std::runtime_error(QCoreApplication::translate("ConsoleBoxes", "无法写入标准输出：%1")
                                 .arg(QString::fromLocal8Bit(std::strerror(error)))
                                 .toStdString());
}

void PrintMessage(const QString& text) {
    put(stderr, text);
}

void TConsoleBoxes::ShowMessage(const QString& text) {
    if (!silenced_ && !held_)
        PrintMessage(text + '\n');
}

TMessageBoxes::Answer TConsoleBoxes::Ask(const QString& text) {
    TTerminal terminal;
    if (!terminal.IsOpen()) {
        PrintMessage(
            QCoreApplication::translate("ConsoleBoxes", "%1 不是在终端上运行，无法确认：按“否”处理")
                .arg(text) +
            '\n');
        return Answer::No;
    }
    terminal.Write(text + QStringLiteral(" [y/N] "));
    const std::optional<QByteArray> line = terminal.ReadLine();
    if (!line)
        return Answer::Closed;
    const QString reply = QString::fromLocal8Bit(*line).trimmed().toLower();
    return reply == QStringLiteral("y") || reply == QStringLiteral("yes") ||
                   reply == QStringLiteral("是")
               ? Answer::Yes
               : Answer::No;
}

void TConsoleBoxes::Acknowledge(const QString& text) {
    ShowMessage(text);
}

void TConsoleBoxes::ShowError(const QString& text) {
    ShowMessage(text);
}

} // namespace cli
