#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace ch341 {

// Where the device and sysfs trees are; tests point these at a fake tree.
struct TSysfsLayout {
    std::string devRoot = "/dev";
    std::string sysRoot = "/sys";
};

// The n of "\\.\COM"n, or 0 when the name is not of that form.
int ConverterPortNumber(const std::string& portName);

// True when /dev/<ttyName> exists and its tty's device is bound to the kernel's CH341 driver.
bool IsCh341Tty(const TSysfsLayout& layout, const std::string& ttyName);

// The k of "ttyUSB"k, or -1.
int UsbSerialIndex(const std::string& ttyName);

// One tty event as the monitor reports it.
struct TTtyEvent {
    std::string action;   // "add" or "remove"
    std::string sysName;  // "ttyUSB3"
    bool isCh341 = false; // known at "add" only: sysfs is gone by "remove"
};

// Turns tty events into the notification values: a CH341 tty added gives its k (0 or more); a
// removed ttyUSB<k> that was a CH341 when it came gives -(k+1), the minus of its COM number.
class TPlugTracker {
public:
    void Seed(int index) { present_.insert(index); }
    std::optional<int32_t> Handle(const TTtyEvent& event);

private:
    std::set<int> present_;
};

} // namespace ch341
