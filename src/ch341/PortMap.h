#pragma once

#include <QString>

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace ch341 {

inline constexpr int kLastComPort = 21;

// Section "ports" of the settings file: a device path for "COM"n (key "COM"n, n from 1 to 21),
// for converters that appear under other names and for the simulated splicer. The file is
// parsed again only when it has changed since the last question, so a search asking about every
// COM number reads it once, and an edit made while the program runs counts from the next one.
// Any thread may ask.
class TPortMap {
public:
    explicit TPortMap(QString settingsFile);

    // The mapped path of "COM"n; only an absolute one counts, as a relative one would depend on
    // the current folder.
    std::optional<std::string> MappedPath(int n) const;
    // The device path that open uses for a port name: the mapped path of a mapped "COM"n,
    // otherwise serial::DefaultPortPath's.
    std::string PortPath(const std::string& portName) const;

private:
    void refresh() const;

    const QString settingsFile_;
    mutable std::mutex mutex_;
    mutable std::optional<struct stat> read_; // the file as last parsed; none: not there
    mutable bool parsed_ = false;
    mutable std::array<std::optional<std::string>, kLastComPort> paths_;
};

} // namespace ch341
