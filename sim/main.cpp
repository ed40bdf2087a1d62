// spliceon-sim: a simulated splicer on a pseudo-terminal (or on a given tty), for trying
// Spliceon without hardware.
//
//   spliceon-sim [--firmware N] [--block-length N] [--block HEX] [--delay MS] [--no-pacing]
//                [--silent] [--garbage] [--device-id HEX] [--tty PATH] [--link PATH]
//
// --block gives the 38 bytes of the parameter block it starts with (and restores), in hex;
// --device-id the identifier's bytes (at most 10), in hex, control bytes and all.
// It prints the path to connect to. With --link it keeps a symbolic link at PATH pointing at its
// line; SIGUSR1 then pulls the simulated cable out (the link disappears) and plugs it back in
// (a new line, the link again). SIGINT or SIGTERM ends it.
#include "sim/SimulatedSplicer.h"

#include <QCoreApplication>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t toggleRequested = 0;
volatile std::sig_atomic_t stopRequested = 0;

void onToggle(int) {
    toggleRequested = 1;
}
void onStop(int) {
    stopRequested = 1;
}

int usage(FILE* to, int status) {
    std::fprintf(to, "usage: spliceon-sim [--firmware N] [--block-length N] [--block HEX] "
                     "[--delay MS] [--no-pacing] [--silent] [--garbage] [--device-id HEX] "
                     "[--tty PATH] [--link PATH]\n");
    return status;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SimulatedSplicer::Options options;
    QString tty, link;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto next = [&](bool& ok) {
            ok = i + 1 < args.size();
            return ok ? args[++i] : QString();
        };
        bool ok = true;
        if (a == "--firmware")
            options.firmware = next(ok).toUShort(&ok);
        else if (a == "--block-length")
            options.blockLength = next(ok).toUShort(&ok);
        else if (a == "--block") {
            options.block = QByteArray::fromHex(next(ok).toLatin1());
            ok = ok && options.block.size() == SimulatedSplicer::kBlockSize;
        } else if (a == "--delay")
            options.answerDelayMs = next(ok).toInt(&ok);
        else if (a == "--no-pacing")
            options.pacing = false;
        else if (a == "--silent")
            options.silent = true;
        else if (a == "--garbage")
            options.garbage = QByteArray::fromHex("00FF5502");
        else if (a == "--device-id") {
            options.deviceId = QByteArray::fromHex(next(ok).toLatin1());
            ok = ok && options.deviceId.size() <= 10;
        } else if (a == "--tty")
            tty = next(ok);
        else if (a == "--link")
            link = next(ok);
        else if (a == "--help")
            return usage(stdout, 0);
        else
            ok = false;
        if (!ok)
            return usage(stderr, 2);
    }

    const auto open = [&]() -> std::unique_ptr<SimulatedSplicer> {
        if (tty.isEmpty())
            return std::make_unique<SimulatedSplicer>(options);
        const int fd = ::open(tty.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            std::perror("spliceon-sim: cannot open the tty");
            std::exit(1);
        }
        return std::make_unique<SimulatedSplicer>(fd, options);
    };
    const auto publish = [&](const SimulatedSplicer& sim) {
        const std::string path = tty.isEmpty() ? sim.SlavePath() : tty.toStdString();
        if (!link.isEmpty()) {
            ::unlink(link.toLocal8Bit().constData());
            if (::symlink(path.c_str(), link.toLocal8Bit().constData()) != 0)
                std::perror("spliceon-sim: cannot create the link");
        }
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    };

    // The signals are blocked except inside sigsuspend, so none slips in between the check of
    // the flags and the wait.
    sigset_t blocked, waiting;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, &waiting);
    std::signal(SIGUSR1, onToggle);
    std::signal(SIGINT, onStop);
    std::signal(SIGTERM, onStop);

    auto sim = open();
    publish(*sim);
    while (!stopRequested) {
        if (!toggleRequested)
            sigsuspend(&waiting);
        if (toggleRequested) {
            toggleRequested = 0;
            if (sim) {
                if (!link.isEmpty())
                    ::unlink(link.toLocal8Bit().constData());
                sim->HangUp();
                sim.reset();
                std::printf("unplugged\n");
                std::fflush(stdout);
            } else {
                sim = open();
                publish(*sim);
            }
        }
    }
    if (!link.isEmpty())
        ::unlink(link.toLocal8Bit().constData());
    return 0;
}
