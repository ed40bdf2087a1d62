#include "ch341/Ch341Recognition.h"

#include "serial/PortName.h"

#include <charconv>
#include <filesystem>
#include <system_error>

namespace ch341 {
namespace {

// The number after the prefix, without leading zeros; -1 when there is none.
int numberAfter(const std::string& text, const std::string& prefix) {
    if (text.size() <= prefix.size() || text.compare(0, prefix.size(), prefix) != 0)
        return -1;
    int n = -1;
    const char* first = text.data() + prefix.size();
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || end != last || n < 0 || (*first == '0' && last - first > 1))
        return -1;
    return n;
}

} // namespace

int ConverterPortNumber(const std::string& portName) {
    const std::string prefix = "\\\\.\\";
    if (portName.compare(0, prefix.size(), prefix) != 0)
        return 0;
    return serial::ComPortNumber(portName.substr(prefix.size()));
}

int UsbSerialIndex(const std::string& ttyName) {
    return numberAfter(ttyName, "ttyUSB");
}

bool IsCh341Tty(const TSysfsLayout& layout, const std::string& ttyName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(fs::path(layout.devRoot) / ttyName, ec))
        return false;
    const fs::path driver = fs::path(layout.sysRoot) / "class/tty" / ttyName / "device/driver";
    const fs::path target = fs::read_symlink(driver, ec);
    return !ec && target.filename() == "ch341-uart";
}

std::optional<int32_t> TPlugTracker::Handle(const TTtyEvent& event) {
    const int k = UsbSerialIndex(event.sysName);
    if (k < 0)
        return std::nullopt;
    if (event.action == "add" && event.isCh341) {
        present_.insert(k);
        return k;
    }
    if (event.action == "remove" && present_.erase(k) > 0)
        return -(k + 1);
    return std::nullopt;
}

} // namespace ch341
