#include "cli/StopSignals.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace {

struct StopSignal {
    int number;
    const char* name;
    // Left ignored when it was ignored at start: nohup asks to outlive a hang-up. SIGINT is
    // taken even so, as a script's background job has it ignored but is still to stop on it.
    bool keepsIgnored;
};
constexpr StopSignal kSignals[] = {
    {SIGHUP, "SIGHUP", true}, {SIGINT, "SIGINT", false}, {SIGTERM, "SIGTERM", false}};

// Both ends of the pipe; the handler writes to the second.
int pipeEnds[2] = {-1, -1};

void onSignal(int signal) {
    const int savedErrno = errno;
    const char number = char(signal);
    // A full pipe already holds a signal to act on.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

// What each signal did before.
struct sigaction previous[std::size(kSignals)];

void takeSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    // Interrupted system calls resume: the waits end through the pipe, not through EINTR.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i)
        if (::sigaction(kSignals[i].number, nullptr, &previous[i]) == 0 &&
            !(kSignals[i].keepsIgnored && previous[i].sa_handler == SIG_IGN))
            ::sigaction(kSignals[i].number, &action, nullptr);
}

void giveBackSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i].number, &previous[i], nullptr);
}

void openPipe() {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error(QCoreApplication::translate("StopSignals", "无法处理信号：%1")
                                     .arg(QString::fromLocal8Bit(std::strerror(errno)))
                                     .toStdString());
}

} // namespace

TStopSignals::TStopSignals() {
    openPipe();
    takeSignals();
}

TStopSignals::~TStopSignals() {
    giveBackSignals();
    for (int& end : pipeEnds)
        ::close(std::exchange(end, -1));
}

int TStopSignals::Caught() {
    char number = 0;
    if (!caught_ && ::read(pipeEnds[0], &number, 1) == 1)
        caught_ = number;
    return caught_;
}

int TStopSignals::Fd() const {
    return pipeEnds[0];
}

QString TStopSignals::Name(int signal) {
    const auto* known =
        std::find_if(std::begin(kSignals), std::end(kSignals),
                     [signal](const StopSignal& entry) { return entry.number == signal; });
    return known != std::end(kSignals) ? QString::fromLatin1(known->name) : QString::number(signal);
}

} // namespace cli
