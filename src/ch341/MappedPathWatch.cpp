#include "ch341/MappedPathWatch.h"

#include "ch341/PortMap.h"

#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <system_error>
#include <utility>

namespace ch341 {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                   IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
// The watched folder itself went, or its watch was dropped.
constexpr uint32_t kFolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The nearest folder on the way to the path that exists, and the name in it that leads on.
std::pair<fs::path, std::string> wayTo(const fs::path& path) {
    fs::path folder = path.parent_path();
    fs::path next = path.filename();
    std::error_code ec;
    while (!fs::is_directory(folder, ec) && folder.has_relative_path()) {
        next = folder.filename();
        folder = folder.parent_path();
    }
    return {folder, next.string()};
}

} // namespace

TMappedPathWatch::TMappedPathWatch(const TPortMap& ports)
    : fd_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {
    if (fd_.Get() < 0)
        throw std::system_error(errno, std::generic_category(), "inotify_init1");
    for (int n = 1; n <= kLastComPort; ++n)
        if (const auto path = ports.MappedPath(n))
            ports_.push_back({n, fs::path(*path), pathExists(*path), -1, {}, false});
    arm([](int32_t) {});
}

void TMappedPathWatch::Read(const TNotify& notify) {
    alignas(inotify_event) char buf[4096];
    bool rearm = false;
    for (ssize_t len; (len = ::read(fd_.Get(), buf, sizeof buf)) > 0;) {
        for (ssize_t at = 0; at < len;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
            at += ssize_t(sizeof(inotify_event) + e->len);
            rearm = rearm || (e->mask & IN_Q_OVERFLOW); // events were lost
            for (Port& port : ports_) {
                if (port.watch != e->wd)
                    continue;
                if (e->mask & kFolderGone)
                    rearm = true;
                else if (e->len && port.awaited == e->name && !port.inParent)
                    rearm = true;
                else if (e->len && port.awaited == e->name)
                    setPresent(port, e->mask & (IN_CREATE | IN_MOVED_TO), notify);
            }
        }
    }
    if (rearm)
        arm(notify);
}

// Watches for every port the nearest folder on the way to its path, then takes the paths'
// presence from the file system: what changed before a watch stood sent no event.
void TMappedPathWatch::arm(const TNotify& notify) {
    std::set<int> watches;
    std::set<int> stale = std::move(watches_);
    for (Port& port : ports_) {
        for (auto way = wayTo(port.path);;) {
            port.awaited = way.second;
            port.inParent = way.first == port.path.parent_path();
            port.watch = ::inotify_add_watch(fd_.Get(), way.first.c_str(), kFolderEvents);
            const int error = errno;
            stale.insert(port.watch);
            // The folder may have gone, or the next one come, before the watch stood.
            const auto now = wayTo(port.path);
            if (now == way && port.watch < 0)
                qWarning("Mapped port COM%d is not watched: %s: %s", port.number, way.first.c_str(),
                         std::strerror(error));
            if (now == way)
                break;
            way = now;
        }
        if (port.watch >= 0)
            watches.insert(port.watch);
    }
    for (const int watch : stale)
        if (watch >= 0 && !watches.count(watch))
            ::inotify_rm_watch(fd_.Get(), watch);
    watches_ = std::move(watches);
    for (Port& port : ports_)
        setPresent(port, pathExists(port.path), notify);
}

void TMappedPathWatch::setPresent(Port& port, bool present, const TNotify& notify) {
    if (port.present == present)
        return;
    port.present = present;
    notify(present ? 0 : -port.number);
}

} // namespace ch341
