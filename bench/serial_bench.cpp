// Latency and throughput of the serial component's receive path, over a pseudo-terminal:
// from a byte written on the master end to the link handler on the GUI thread.
#include "kit/PtyPair.h"
#include "serial/ComPort.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    PtyPair pty;
    serial::TComPort port;
    serial::TComLink link;

    std::mutex m;
    std::condition_variable cv;
    Clock::time_point received;
    long long bytes = 0;
    bool got = false;
    link.OnRxBuf = [&](serial::TCustomComPort&, const uint8_t*, int n) {
        std::lock_guard lock(m);
        received = Clock::now();
        bytes += n;
        got = true;
        cv.notify_all();
    };
    port.AttachLink(&link);
    port.SetPort(pty.SlavePath());
    port.Open();

    constexpr int kRoundTrips = 1000;
    constexpr long long kVolume = 64LL << 20;
    std::vector<double> latencies;
    double seconds = 0;

    std::thread driver([&] {
        for (int i = 0; i < kRoundTrips; ++i) {
            std::unique_lock lock(m);
            got = false;
            const auto sent = Clock::now();
            pty.Write("x");
            cv.wait(lock, [&] { return got; });
            latencies.push_back(std::chrono::duration<double, std::micro>(received - sent).count());
        }
        {
            std::lock_guard lock(m);
            bytes = 0;
        }
        const QByteArray block(4096, 'y');
        const auto start = Clock::now();
        for (long long sent = 0; sent < kVolume; sent += block.size())
            pty.Write(block);
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return bytes >= kVolume; });
        seconds = std::chrono::duration<double>(received - start).count();
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    driver.join();

    std::sort(latencies.begin(), latencies.end());
    std::printf("receive latency over %d round trips: median %.0f us, 99th percentile %.0f us, "
                "max %.0f us\n",
                kRoundTrips, latencies[latencies.size() / 2],
                latencies[latencies.size() * 99 / 100], latencies.back());
    const double rate = double(kVolume) / seconds;
    std::printf("throughput: %.1f MB/s received into a link (%.0f x the line rate of 960 B/s)\n",
                rate / 1e6, rate / 960);
    return 0;
}
