#include "ch341/PortMap.h"

#include "config/Config.h"
#include "serial/PortName.h"

namespace ch341 {

std::optional<std::string> MappedPortPath(int n) {
    if (n < 1 || n > kLastComPort)
        return std::nullopt;
    const QString path =
        config::ReadConfigString(QStringLiteral("ports"), QStringLiteral("COM%1").arg(n));
    // Only absolute paths: a relative one would depend on the current folder.
    if (!path.startsWith('/'))
        return std::nullopt;
    return path.toStdString();
}

void InstallPortMapping() {
    serial::SetPortPathResolver([](const std::string& portName) {
        if (const auto mapped = MappedPortPath(serial::ComPortNumber(portName)))
            return *mapped;
        return serial::DefaultPortPath(portName);
    });
}

} // namespace ch341
