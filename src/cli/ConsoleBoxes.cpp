#include "cli/ConsoleBoxes.h"

#include <iostream>
#include <string>
#include <unistd.h>

namespace cli {

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

void TConsoleBoxes::ShowMessage(const QString& text) {
    Print(stderr, text + '\n');
}

TMessageBoxes::Answer TConsoleBoxes::Ask(const QString& text) {
    if (!::isatty(STDIN_FILENO)) {
        Print(stderr, text + QStringLiteral(" 不是在终端上运行，无法确认：按“否”处理\n"));
        return Answer::No;
    }
    Print(stderr, text + QStringLiteral(" [y/N] "));
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
