#pragma once

#include "ch341/Ch341Recognition.h"
#include "ch341/ConverterLibrary.h"
#include "ch341/PortMap.h"

#include <atomic>
#include <memory>
#include <thread>

namespace ch341 {

// The converter library on Linux. A port is a converter port when it is a tty bound to the
// kernel's ch341-uart driver, or when config.ini maps its name to a path that exists.
// Notifications come from a udev monitor on the "tty" subsystem (the kernel's own event
// source where no udev daemon runs) and from following the mapped paths, on a thread of their
// own.
class TLinuxConverterLibrary : public TConverterLibrary {
public:
    // ports: the settings file's map, which outlives the library.
    explicit TLinuxConverterLibrary(const TPortMap& ports, TSysfsLayout layout = {});
    ~TLinuxConverterLibrary() override;

    bool CH341PtNameIsCH341(const std::string& portName) override;
    std::string PortPath(const std::string& portName) override;
    void CH341PtSetDevNotify(const char* deviceName, TDevNotifyRoutine routine) override;

private:
    class Monitor;
    const TPortMap& ports_;
    TSysfsLayout layout_;
    std::unique_ptr<Monitor> monitor_;
};

} // namespace ch341
