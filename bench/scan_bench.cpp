// Cost per byte of the frame scan for valid frames, garbage, and garbage with a frame every
// 1 KB, fed in chunks of 1, 64 and 4096 bytes; with an empty step and with the window's step
// (processing pending events).
#include "protocol/FrameScanner.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

namespace {

QByteArray validFrames(qsizetype size) {
    const QByteArray frame = QByteArray::fromHex("5506C18600AA");
    QByteArray out;
    while (out.size() < size)
        out += frame;
    return out.left(size - size % frame.size());
}

QByteArray garbage(qsizetype size, unsigned seed) {
    // Heavy in 0x55 bytes with long claimed lengths: the worst case for a rescanning scan.
    std::mt19937 rng(seed);
    QByteArray out(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(i % 4 == 0 ? 0x55 : rng() % 256);
    return out;
}

QByteArray garbageWithFrames(qsizetype size) {
    QByteArray out = garbage(size, 7);
    const QByteArray frame = QByteArray::fromHex("550545C0AA");
    for (qsizetype at = 1024 - frame.size(); at + frame.size() <= size; at += 1024)
        out.replace(at, frame.size(), frame);
    return out;
}

// The best of five runs: the least disturbed by whatever else the machine does.
double nsPerByte(const QByteArray& data, qsizetype chunk, void (*step)(), long long& frames) {
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        FrameScanner scanner;
        frames = 0;
        const auto start = std::chrono::steady_clock::now();
        for (qsizetype at = 0; at < data.size(); at += chunk) {
            scanner.Append(data.mid(at, chunk));
            for (QByteArray frame; scanner.Step(frame); step())
                frames += !frame.isEmpty();
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, std::chrono::duration<double, std::nano>(elapsed).count());
    }
    return best / double(data.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr qsizetype kSize = 1 << 20;
    const struct {
        const char* name;
        QByteArray data;
    } inputs[] = {{"valid frames", validFrames(kSize)},
                  {"garbage", garbage(kSize, 1)},
                  {"garbage, frame every 1 KB", garbageWithFrames(kSize)}};
    const struct {
        const char* name;
        void (*step)();
    } steps[] = {{"scan only", [] {}},
                 {"with event processing", [] { QCoreApplication::processEvents(); }}};

    for (const auto& s : steps) {
        std::printf("%s (1 MB each, ns per byte; total ms for 1 MB)\n", s.name);
        for (const qsizetype chunk : {qsizetype(1), qsizetype(64), qsizetype(4096)}) {
            double valid = 0;
            for (const auto& in : inputs) {
                long long frames = 0;
                const double cost = nsPerByte(in.data, chunk, s.step, frames);
                if (&in == &inputs[0])
                    valid = cost;
                std::printf(
                    "  chunk %4lld  %-26s %8.1f ns/B  %7.1f ms  %6lld frames  %.2fx valid\n",
                    static_cast<long long>(chunk), in.name, cost, cost * kSize / 1e6, frames,
                    cost / valid);
            }
        }
    }
    return 0;
}
