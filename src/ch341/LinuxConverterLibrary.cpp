#include "ch341/LinuxConverterLibrary.h"

#include "ch341/FileDescriptor.h"
#include "ch341/MappedPathWatch.h"
#include "ch341/PortMap.h"

#include <QtGlobal>

#include <libudev.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace ch341 {

namespace fs = std::filesystem;

namespace {

struct UdevUnref {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};

} // namespace

// Runs the notification thread from CH341PtSetDevNotify with a routine until the call with
// none. It only calls the routine; the routine only posts a message. An event source the system
// cannot give is left out with a line on standard error; without a way to stop a thread, or
// without the thread, the monitor raises std::system_error and holds nothing.
class TLinuxConverterLibrary::Monitor {
public:
    Monitor(const TPortMap& ports, const TSysfsLayout& layout, TDevNotifyRoutine routine)
        : layout_(layout), routine_(routine), stopFd_(::eventfd(0, EFD_CLOEXEC)) {
        if (stopFd_.Get() < 0)
            throw std::system_error(errno, std::generic_category(), "eventfd");
        seedPresent();
        openUdev();
        watchMappedPorts(ports);
        thread_ = std::thread([this] { run(); });
    }

    ~Monitor() {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(stopFd_.Get(), &one, sizeof one);
        thread_.join();
    }

    void SetRoutine(TDevNotifyRoutine routine) { routine_ = routine; }

private:
    void seedPresent() {
        std::error_code ec;
        for (const auto& entry :
             fs::directory_iterator(fs::path(layout_.sysRoot) / "class/tty", ec)) {
            const std::string name = entry.path().filename().string();
            const int k = UsbSerialIndex(name);
            if (k >= 0 && IsCh341Tty(layout_, name))
                tracker_.Seed(k);
        }
    }

    void openUdev() {
        // Without a udev daemon nothing arrives on its netlink group; the kernel's does.
        std::error_code ec;
        const char* source = fs::exists("/run/udev/control", ec) ? "udev" : "kernel";
        udev_.reset(udev_new());
        monitor_.reset(udev_ ? udev_monitor_new_from_netlink(udev_.get(), source) : nullptr);
        int error = monitor_ ? -udev_monitor_filter_add_match_subsystem_devtype(monitor_.get(),
                                                                                "tty", nullptr)
                             : errno;
        if (monitor_ && error <= 0)
            error = -udev_monitor_enable_receiving(monitor_.get());
        if (!monitor_ || error > 0) {
            // Finding the splicer by the menu still works.
            qWarning("Converter plug notifications from udev are off: %s", std::strerror(error));
            monitor_.reset();
        }
    }

    void watchMappedPorts(const TPortMap& ports) {
        try {
            mapped_.emplace(ports);
        } catch (const std::system_error& e) {
            qWarning("Mapped ports are not watched: %s", e.what());
        }
    }

    void notify(int32_t value) {
        if (const TDevNotifyRoutine routine = routine_.load())
            routine(value);
    }

    void readUdev() {
        while (udev_device* dev = udev_monitor_receive_device(monitor_.get())) {
            TTtyEvent event;
            const char* action = udev_device_get_action(dev);
            const char* name = udev_device_get_sysname(dev);
            event.action = action ? action : "";
            event.sysName = name ? name : "";
            if (event.action == "add")
                event.isCh341 = IsCh341Tty(layout_, event.sysName);
            udev_device_unref(dev);
            if (const auto value = tracker_.Handle(event))
                notify(*value);
        }
    }

    void run() {
        for (;;) {
            pollfd fds[3] = {{stopFd_.Get(), POLLIN, 0},
                             {monitor_ ? udev_monitor_get_fd(monitor_.get()) : -1, POLLIN, 0},
                             {mapped_ ? mapped_->Fd() : -1, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            if (fds[0].revents)
                return;
            if (fds[1].revents & POLLIN)
                readUdev();
            if (fds[2].revents & POLLIN)
                mapped_->Read([this](int32_t value) { notify(value); });
        }
    }

    TSysfsLayout layout_;
    std::atomic<TDevNotifyRoutine> routine_;
    TFileDescriptor stopFd_;
    std::unique_ptr<udev, UdevUnref> udev_;
    std::unique_ptr<udev_monitor, UdevUnref> monitor_;
    std::optional<TMappedPathWatch> mapped_;
    TPlugTracker tracker_;
    std::thread thread_;
};

TLinuxConverterLibrary::TLinuxConverterLibrary(const TPortMap& ports, TSysfsLayout layout)
    : ports_(ports), layout_(std::move(layout)) {}

TLinuxConverterLibrary::~TLinuxConverterLibrary() = default;

bool TLinuxConverterLibrary::CH341PtNameIsCH341(const std::string& portName) {
    const int n = ConverterPortNumber(portName);
    if (n < 1)
        return false;
    if (const auto mapped = ports_.MappedPath(n)) {
        std::error_code ec;
        return fs::exists(*mapped, ec);
    }
    return IsCh341Tty(layout_, "ttyUSB" + std::to_string(n - 1));
}

std::string TLinuxConverterLibrary::PortPath(const std::string& portName) {
    return ports_.PortPath(portName);
}

void TLinuxConverterLibrary::CH341PtSetDevNotify(const char*, TDevNotifyRoutine routine) {
    if (!routine) {
        monitor_.reset();
        return;
    }
    if (monitor_) {
        monitor_->SetRoutine(routine);
        return;
    }
    try {
        monitor_ = std::make_unique<Monitor>(ports_, layout_, routine);
    } catch (const std::system_error& e) {
        // Tried again at the next request; finding the splicer by the menu still works.
        qWarning("Converter plug notifications are off: %s", e.what());
    }
}

} // namespace ch341
