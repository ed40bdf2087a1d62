#include "serial/PortName.h"

#include <charconv>

namespace serial {
int ComPortNumber(const std::string& portName) {
    if (portName.size() < 4 || portName.compare(0, 3, "COM") != 0)
        return 0;
    int n = 0;
    const char* first = portName.data() + 3;
    const char* last = portName.data() + portName.size();
    auto [end, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || end != last || n < 1 || *first == '0')
        return 0;
    return n;
}

std::string DefaultPortPath(const std::string& portName) {
    if (!portName.empty() && portName.front() == '/')
        return portName;
    if (const int n = ComPortNumber(portName))
        return "/dev/ttyUSB" + std::to_string(n - 1);
    // Not a name of ours: leave it to open to fail on it, with the OS's own reason.
    return "/dev/" + portName;
}

} // namespace serial
