#include "ch341/LinuxConverterLibrary.h"

#include "ch341/PortMap.h"

#include <libudev.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace ch341 {

namespace fs = std::filesystem;

// Runs the notification thread from CH341PtSetDevNotify with a routine until the call with
// none. It only calls the routine; the routine only posts a message.
class TLinuxConverterLibrary::Monitor {
public:
    Monitor(const TSysfsLayout& layout, TDevNotifyRoutine routine)
        : layout_(layout), routine_(routine), stopFd_(::eventfd(0, EFD_CLOEXEC)) {
        seedPresent();
        openUdev();
        watchMappedPorts();
        thread_ = std::thread([this] { run(); });
    }

    ~Monitor() {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
        thread_.join();
        if (monitor_)
            udev_monitor_unref(monitor_);
        if (udev_)
            udev_unref(udev_);
        if (inotifyFd_ >= 0)
            ::close(inotifyFd_);
        ::close(stopFd_);
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
        udev_ = udev_new();
        if (!udev_)
            return;
        // Without a udev daemon nothing arrives on its netlink group; the kernel's does.
        std::error_code ec;
        const char* source = fs::exists("/run/udev/control", ec) ? "udev" : "kernel";
        monitor_ = udev_monitor_new_from_netlink(udev_, source);
        if (!monitor_ ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor_) < 0) {
            // No plug notifications then; finding the splicer by the menu still works.
            if (monitor_)
                udev_monitor_unref(monitor_);
            monitor_ = nullptr;
        }
    }

    void watchMappedPorts() {
        inotifyFd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (inotifyFd_ < 0)
            return;
        for (int n = 1; n <= kLastComPort; ++n) {
            const auto path = MappedPortPath(n);
            if (!path)
                continue;
            const fs::path p(*path);
            const int wd = ::inotify_add_watch(inotifyFd_, p.parent_path().c_str(),
                                               IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO);
            if (wd >= 0)
                mapped_[{wd, p.filename().string()}] = n;
        }
    }

    void notify(int32_t value) {
        if (const TDevNotifyRoutine routine = routine_.load())
            routine(value);
    }

    void readUdev() {
        while (udev_device* dev = udev_monitor_receive_device(monitor_)) {
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

    void readInotify() {
        alignas(inotify_event) char buf[4096];
        for (;;) {
            const ssize_t len = ::read(inotifyFd_, buf, sizeof buf);
            if (len <= 0)
                return;
            for (ssize_t at = 0; at < len;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                at += ssize_t(sizeof(inotify_event) + e->len);
                const auto it = mapped_.find({e->wd, e->len ? e->name : ""});
                if (it == mapped_.end())
                    continue;
                const bool added = e->mask & (IN_CREATE | IN_MOVED_TO);
                notify(added ? 0 : -it->second);
            }
        }
    }

    void run() {
        for (;;) {
            pollfd fds[3] = {{stopFd_, POLLIN, 0},
                             {monitor_ ? udev_monitor_get_fd(monitor_) : -1, POLLIN, 0},
                             {inotifyFd_, POLLIN, 0}};
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
                readInotify();
        }
    }

    TSysfsLayout layout_;
    std::atomic<TDevNotifyRoutine> routine_;
    int stopFd_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int inotifyFd_ = -1;
    std::map<std::pair<int, std::string>, int> mapped_; // (watch, file name) -> n of COMn
    TPlugTracker tracker_;
    std::thread thread_;
};

TLinuxConverterLibrary::TLinuxConverterLibrary(TSysfsLayout layout) : layout_(std::move(layout)) {}

TLinuxConverterLibrary::~TLinuxConverterLibrary() = default;

bool TLinuxConverterLibrary::CH341PtNameIsCH341(const std::string& portName) {
    const int n = ConverterPortNumber(portName);
    if (n < 1)
        return false;
    if (const auto mapped = MappedPortPath(n)) {
        std::error_code ec;
        return fs::exists(*mapped, ec);
    }
    return IsCh341Tty(layout_, "ttyUSB" + std::to_string(n - 1));
}

void TLinuxConverterLibrary::CH341PtSetDevNotify(const char*, TDevNotifyRoutine routine) {
    if (!routine) {
        monitor_.reset();
        return;
    }
    if (monitor_)
        monitor_->SetRoutine(routine);
    else
        monitor_ = std::make_unique<Monitor>(layout_, routine);
}

} // namespace ch341
