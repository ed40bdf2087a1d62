#pragma once

#include "ch341/FileDescriptor.h"
#include "ch341/PortMap.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace ch341 {

// Follows the paths that section "ports" of config.ini maps COM ports to: reports 0 when one
// appears and -n when the path of "COM"n goes. A path stays followed while folders on the way to
// it go and come back, as udev's /dev/serial/by-id does with the last and the first converter.
class TMappedPathWatch {
public:
    using TNotify = std::function<void(int32_t value)>;

    // Raises std::system_error when the system has no inotify instance to spare.
    explicit TMappedPathWatch(const TPortMap& ports);

    // Readable when events wait.
    int Fd() const { return fd_.Get(); }
    // Handles the events waiting, reporting through notify.
    void Read(const TNotify& notify);

private:
    struct Port {
        int number;
        std::filesystem::path path;
        bool present;
        int watch = -1;        // on the nearest folder on the way to the path that exists
        std::string awaited;   // the name in that folder that leads to the path
        bool inParent = false; // the folder is the path's own
    };

    void arm(const TNotify& notify);
    static void setPresent(Port& port, bool present, const TNotify& notify);

    TFileDescriptor fd_;
    std::vector<Port> ports_;
    std::set<int> watches_;
};

} // namespace ch341
