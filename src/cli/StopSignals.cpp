#include "cli/StopSignals.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace cli {
namespace {

constexpr std::pair<int, const char*> kSignals[] = {
    {SIGHUP, "SIGHUP"}, {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}};

// Both ends of the pipe; the handler writes to the second.
int pipeEnds[2] = {-1, -1};

void onSignal(int signal) {
    const int savedErrno = errno;
    const char number = char(signal);
    // A full pipe already holds a signal to act on.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = savedErrno;
}

void handleWith(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    // Interrupted system calls resume: the waits end through the event loop, not through EINTR.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const auto& [signal, name] : kSignals)
        ::sigaction(signal, &action, nullptr);
}

// The pipe's end that the event loop reads.
int openPipe() {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error(
            (QStringLiteral("无法处理信号：") + QString::fromLocal8Bit(std::strerror(errno)))
                .toStdString());
    return pipeEnds[0];
}

} // namespace

TStopSignals::TStopSignals(std::function<void()> stop)
    : stop_(std::move(stop)), notifier_(openPipe(), QSocketNotifier::Read) {
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { take(); });
    handleWith(onSignal);
}

TStopSignals::~TStopSignals() {
    handleWith(SIG_DFL);
    notifier_.setEnabled(false);
    for (int& end : pipeEnds)
        ::close(std::exchange(end, -1));
}

int TStopSignals::Caught() {
    take();
    return caught_;
}

QString TStopSignals::Name(int signal) {
    const auto* known = std::find_if(std::begin(kSignals), std::end(kSignals),
                                     [signal](const auto& entry) { return entry.first == signal; });
    return known != std::end(kSignals) ? QString::fromLatin1(known->second)
                                       : QString::number(signal);
}

void TStopSignals::take() {
    char number = 0;
    if (::read(pipeEnds[0], &number, 1) != 1 || caught_)
        return;
    caught_ = number;
    stop_();
    QCoreApplication::exit(128 + caught_);
}

} // namespace cli
