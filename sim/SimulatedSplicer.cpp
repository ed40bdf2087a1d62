#include "sim/SimulatedSplicer.h"

#include "protocol/Firmware.h"
#include "protocol/FrameView.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr auto kByteTime = std::chrono::microseconds(1040);

QByteArray le16(uint16_t v) {
    const char bytes[2] = {char(uint8_t(v)), char(uint8_t(v >> 8))};
    return QByteArray(bytes, 2);
}

void makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
}

} // namespace

QByteArray SimulatedSplicer::DefaultFactorySet() {
    static const uint8_t bytes[kBlockSize] = {
        0x70, 0x17,             // heat 60 s
        0x01,                   // always 1
        0x9A, 0x05, 0xF4, 0x01, // stage 1: current 35, time 5.0 s
        0x66, 0x06, 0xF4, 0x01, // stage 2: current 40
        0x33, 0x07, 0xF4, 0x01, // stage 3: current 45
        0x00, 0x08, 0xF4, 0x01, // stage 4: current 50
        0xCD, 0x08, 0xF4, 0x01, // stage 5: current 55
        0x28, 0x28,             // pushes 40 and 40
        0x64, 0x00, 0x64, 0x00, // core adjustments 100 and 100
        0x01, 0x01, 0x00,       // active push, dust clearing, no core-alignment reset
        0xCD, 0x04, 0x0F, 0x00, // dust clearing: current 30, time 0.15 s
        0x05, 0x02,             // fusion push length 5, speed 2
    };
    return QByteArray(reinterpret_cast<const char*>(bytes), kBlockSize);
}

SimulatedSplicer::SimulatedSplicer(Options options) : options_(std::move(options)) {
    fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0)
        throw std::runtime_error("cannot create a pseudo-terminal");
    slavePath_ = ::ptsname(fd_);
    makeRaw(fd_);
    // Holding the slave end open keeps the master from reporting a hang-up between two opens
    // by the program, so frames are read (and time-stamped) the moment they arrive. It never
    // reads, so it takes no bytes from the program. Raw, so nothing is echoed or translated.
    slaveKeeper_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeeper_ >= 0)
        makeRaw(slaveKeeper_);
    start();
}

SimulatedSplicer::SimulatedSplicer(int fd, Options options)
    : options_(std::move(options)), fd_(fd) {
    makeRaw(fd_);
    start();
}

void SimulatedSplicer::start() {
    block_ = factory_ = options_.block.isEmpty() ? DefaultFactorySet() : options_.block;
    stopFd_ = ::eventfd(0, EFD_CLOEXEC);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    reader_ = std::thread([this] { readLoop(); });
    writer_ = std::thread([this] { writeLoop(); });
}

SimulatedSplicer::~SimulatedSplicer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
    reader_.join();
    writer_.join();
    ::close(stopFd_);
    ::close(wakeFd_);
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    if (fd_ >= 0)
        ::close(fd_);
}

void SimulatedSplicer::HangUp() {
    {
        std::lock_guard lock(mutex_);
        outgoing_.clear();
        hangUp_ = true;
    }
    // The reader closes the line: a descriptor must not be closed under another thread's poll.
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return fd_ < 0; });
}

void SimulatedSplicer::closeLine(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [&] { return !writing_; });
    if (slaveKeeper_ >= 0)
        ::close(slaveKeeper_);
    slaveKeeper_ = -1;
    ::close(fd_);
    fd_ = -1;
    changed_.notify_all();
}

void SimulatedSplicer::readLoop() {
    for (;;) {
        int fd;
        {
            std::unique_lock lock(mutex_);
            if (hangUp_ && fd_ >= 0)
                closeLine(lock);
            fd = fd_;
        }
        pollfd fds[3] = {{fd, POLLIN, 0}, {stopFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (fds[2].revents) {
            uint64_t v;
            [[maybe_unused]] ssize_t n = ::read(wakeFd_, &v, sizeof v);
            continue;
        }
        if (fds[0].revents & POLLIN) {
            char buf[512];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                input_.append(buf, n);
                parse();
                continue;
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Nobody holds the slave end (between two opens of the program): look again soon.
            pollfd wait[2] = {{stopFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            if (::poll(wait, 2, 20) > 0 && wait[0].revents)
                return;
        }
    }
}

void SimulatedSplicer::parse() {
    for (;;) {
        const qsizetype start = input_.indexOf(char(frames::kStart));
        if (start < 0) {
            input_.clear();
            return;
        }
        input_.remove(0, start);
        if (input_.size() < 3)
            return;
        const bool lengthFirst = uint8_t(input_[1]) == frames::kLengthFirstMarker;
        const qsizetype length = lengthFirst ? frames::kLengthFirstSize : 4 + uint8_t(input_[2]);
        if (input_.size() < length)
            return;
        if (uint8_t(input_[length - 1]) != frames::kEnd) {
            input_.remove(0, 1);
            continue;
        }
        const QByteArray frame = input_.left(length);
        input_.remove(0, length);
        handleFrame(frame, Clock::now());
    }
}

void SimulatedSplicer::handleFrame(const QByteArray& frame, Clock::time_point at) {
    std::unique_lock lock(mutex_);
    frames_.push_back({frame, at});
    changed_.notify_all();
    const std::optional<frames::FrameView> view = frames::FrameView::Command(frame);
    if (!view)
        return;
    const QByteArray& payload = view->payload;
    switch (view->code) {
    case frames::RecordControl:
        if (uint8_t(payload[0]) == frames::ControlRestoreFactory)
            block_ = factory_;
        else if (uint8_t(payload[0]) == frames::ControlSaveAsFactory)
            factory_ = block_;
        return;
    case frames::KindParamBlock:
        // A shorter block changes only the bytes it carries.
        block_.replace(0, std::min<qsizetype>(payload.size(), kBlockSize),
                       payload.left(kBlockSize));
        return;
    case frames::KindCalibration:
        calibration_ = payload;
        return;
    case frames::KindCommand:
        if (!payload.isEmpty())
            answerCommand(uint8_t(payload[0]), at);
        return;
    }
}

void SimulatedSplicer::answerCommand(uint8_t code, Clock::time_point at) {
    const Options& o = options_;
    switch (code) {
    case frames::CmdHandshake:
        answer(frames::AnsHandshake, QByteArray(1, char(frames::kHandshakeAccepted)), at);
        break;
    case frames::CmdVersion:
        answer(frames::AnsVersion, le16(o.firmware), at);
        break;
    case frames::CmdBlockLength:
        answer(frames::AnsBlockLength, le16(o.blockLength), at);
        break;
    case frames::CmdFusionCount:
        answer(frames::AnsFusionCount, le16(o.fusionCount), at);
        break;
    case frames::CmdCurrentGroup:
        answer(frames::AnsCurrentGroup, QByteArray(1, char(o.currentGroup)), at);
        break;
    case frames::CmdDeviceId:
        answer(frames::AnsDeviceId, o.deviceId.left(10).leftJustified(10, '\0'), at);
        break;
    case frames::CmdEnvironment: {
        QByteArray env;
        for (uint16_t v : o.environment)
            env += le16(v);
        answer(frames::AnsEnvironment, env, at);
        break;
    }
    case frames::CmdReadParams: {
        const int count = !firmware::TakesFullBlock(o.firmware)
                              ? kShortBlockSize
                              : std::min<int>(o.blockLength, kBlockSize);
        answer(frames::AnsParams, block_.left(count), at);
        break;
    }
    default:
        break;
    }
}

void SimulatedSplicer::answer(uint8_t code, const QByteArray& payload, Clock::time_point at) {
    if (options_.silent || options_.unanswered.count(code))
        return;
    QByteArray frame;
    frame.append(char(frames::kAnswerStart))
        .append(char(uint8_t(payload.size() + 4)))
        .append(char(code));
    frame.append(payload).append(char(frames::kAnswerEnd));
    outgoing_.push_back(
        {options_.garbage + frame, at + std::chrono::milliseconds(options_.answerDelayMs)});
    changed_.notify_all();
}

void SimulatedSplicer::writeLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || !outgoing_.empty(); });
        if (stopping_)
            return;
        Pending next = outgoing_.front();
        writing_ = true;
        if (changed_.wait_until(lock, next.due, [&] { return stopping_; }))
            return;
        // Hung up meanwhile. The hang-up waits until the writer has let go of the line, so it
        // is told.
        if (outgoing_.empty()) {
            writing_ = false;
            changed_.notify_all();
            continue;
        }
        outgoing_.pop_front();
        const int fd = fd_;
        if (fd < 0) {
            writing_ = false;
            changed_.notify_all();
            continue;
        }
        const bool pacing = options_.pacing;
        lock.unlock();
        // Byte by byte at the line rate, or all at once.
        auto t = Clock::now();
        for (qsizetype i = 0; i < next.bytes.size();) {
            const qsizetype n = pacing ? 1 : next.bytes.size() - i;
            if (::write(fd, next.bytes.constData() + i, size_t(n)) <= 0)
                break;
            i += n;
            if (pacing) {
                t += kByteTime;
                std::this_thread::sleep_until(t);
            }
        }
        lock.lock();
        writing_ = false;
        changed_.notify_all();
    }
}

std::vector<SimulatedSplicer::Frame> SimulatedSplicer::Frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

bool SimulatedSplicer::WaitForFrames(size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return frames_.size() >= count; });
}

bool SimulatedSplicer::WaitUntilIdle(int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return outgoing_.empty() && !writing_; });
}

void SimulatedSplicer::ClearFrames() {
    std::lock_guard lock(mutex_);
    frames_.clear();
}

QByteArray SimulatedSplicer::Block() const {
    std::lock_guard lock(mutex_);
    return block_;
}

void SimulatedSplicer::SetBlock(const QByteArray& block) {
    std::lock_guard lock(mutex_);
    block_ = block;
}

QByteArray SimulatedSplicer::FactorySet() const {
    std::lock_guard lock(mutex_);
    return factory_;
}

QByteArray SimulatedSplicer::Calibration() const {
    std::lock_guard lock(mutex_);
    return calibration_;
}

void SimulatedSplicer::SetSilent(bool silent) {
    std::lock_guard lock(mutex_);
    options_.silent = silent;
}

void SimulatedSplicer::SetFirmware(uint16_t firmware) {
    std::lock_guard lock(mutex_);
    options_.firmware = firmware;
}

void SimulatedSplicer::SetBlockLength(uint16_t length) {
    std::lock_guard lock(mutex_);
    options_.blockLength = length;
}
