#pragma once

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The splicer's side of the protocol, on the master end of a pseudo-terminal or on a tty.
// It answers like the device, stores written blocks, and records every frame it received with
// the time it arrived, so tests can assert the exact bytes and the gaps between them.
// Parameter blocks are kept as the bytes on the line: the simulator never uses the program's
// own encoding, so it cannot share a layout error with it.
class SimulatedSplicer {
public:
    using Clock = std::chrono::steady_clock;

    struct Options {
        uint16_t firmware = 134;
        uint16_t blockLength = 38;
        int answerDelayMs = 0;
        bool pacing = true;           // 1.04 ms a byte, as at 9600 baud
        bool silent = false;          // answers nothing
        QByteArray garbage;           // sent before every answer
        std::set<uint8_t> unanswered; // command codes it stays silent to
        uint16_t fusionCount = 1234;
        uint8_t currentGroup = 3;
        QByteArray deviceId = "SPL2026001";
        uint16_t environment[4] = {45, 253, 1012, 261}; // RH, T (0.1 degC), P, T
        // The block it holds at the start, also its factory set (38 bytes); empty: the default.
        QByteArray block;
    };

    struct Frame {
        QByteArray bytes;
        Clock::time_point at;
    };

    // Parameter blocks are 38 bytes; firmware that does not take the whole block answers with the
    // first 32 only.
    static constexpr int kBlockSize = 38;
    static constexpr int kShortBlockSize = 32;

    // The default factory set: the window's initial values.
    static QByteArray DefaultFactorySet();

    // Creates a pseudo-terminal and serves its master end.
    explicit SimulatedSplicer(Options options);
    // Serves an open file descriptor (a tty), which it then owns.
    SimulatedSplicer(int fd, Options options);
    SimulatedSplicer(const SimulatedSplicer&) = delete;
    SimulatedSplicer& operator=(const SimulatedSplicer&) = delete;
    ~SimulatedSplicer();

    // Where the program under test connects (the slave end), empty when serving a tty.
    const std::string& SlavePath() const { return slavePath_; }

    std::vector<Frame> Frames() const;
    // Waits until at least count frames arrived; false on time-out.
    bool WaitForFrames(size_t count, int timeoutMs) const;
    // Waits until every queued answer has been written.
    bool WaitUntilIdle(int timeoutMs) const;
    void ClearFrames();

    QByteArray Block() const;
    void SetBlock(const QByteArray& block);
    QByteArray FactorySet() const;
    QByteArray Calibration() const;
    void SetSilent(bool silent);
    void SetFirmware(uint16_t firmware);
    void SetBlockLength(uint16_t length);
    // Closes the line as an unplugged converter would.
    void HangUp();

private:
    void start();
    void readLoop();
    void closeLine(std::unique_lock<std::mutex>& lock);
    void writeLoop();
    void parse();
    void handleFrame(const QByteArray& frame, Clock::time_point at);
    void answerCommand(uint8_t code, Clock::time_point at);
    void answer(uint8_t code, const QByteArray& payload, Clock::time_point at);

    Options options_;
    int fd_ = -1;
    int stopFd_ = -1;
    int wakeFd_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
    QByteArray input_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Frame> frames_;
    QByteArray block_;
    QByteArray factory_;
    QByteArray calibration_;
    struct Pending {
        QByteArray bytes;
        Clock::time_point due;
    };
    std::deque<Pending> outgoing_;
    bool writing_ = false;
    bool stopping_ = false;
    bool hangUp_ = false;

    std::thread reader_;
    std::thread writer_;
};
