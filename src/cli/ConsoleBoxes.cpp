#include "cli/ConsoleBoxes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace cli {
namespace {

bool put(std::FILE* stream, const QString& text) {
    return std::fputs(text.toUtf8().constData(), stream) >= 0 && std::fflush(stream) == 0;
}

} // namespace

void PrintResult(const QString& text) {
    if (put(stdout, text))
        return;
    const int error = errno;
    throw std::runtime_error(
        (QStringLiteral("无法写入标准输出：") + QString::fromLocal8Bit(std::strerror(error)))
            .toStdString());
}

void PrintMessage(const QString& text) {
    put(stderr, text);
}

void TConsoleBoxes::ShowMessage(const QString& text) {
    PrintMessage(text + '\n');
}

TMessageBoxes::Answer TConsoleBoxes::Ask(const QString& text) {
    // The question goes to standard error and the answer comes from standard input: both must be
    // the technician's terminal, or nobody sees what is agreed to.
    if (!::isatty(STDIN_FILENO) || !::isatty(STDERR_FILENO)) {
        PrintMessage(text + QStringLiteral(" 不是在终端上运行，无法确认：按“否”处理\n"));
        return Answer::No;
    }
    PrintMessage(text + QStringLiteral(" [y/N] "));
    std::string line;
    if (!std::getline(std::cin, line))
        return Answer::Closed;
    const QString reply = QString::fromLocal8Bit(line).trimmed().toLower();
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
