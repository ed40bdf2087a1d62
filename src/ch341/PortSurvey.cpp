#include "cli/PortCheck.h"

#include "ch341/PortMap.h"
#include "cli/TextFormat.h"
#include "serial/ComDevice.h"
#include "serial/ComError.h"
#include "serial/OpenFailure.h"

#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace cli {
namespace {

namespace fs = std::filesystem;

// The USB IDs the kernel's ch341 driver takes.
bool isCh341UsbId(const std::string& vendor, const std::string& product) {
    static const std::pair<std::string, std::string> ids[] = {{"1a86", "5523"}, {"1a86", "7522"},
                                                              {"1a86", "7523"}, {"2184", "0057"},
                                                              {"4348", "5523"}, {"9986", "7523"}};
    return std::find(std::begin(ids), std::end(ids), std::pair(vendor, product)) != std::end(ids);
}

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The errno of opening path, 0 when it opened.
int openError(const QString& path) {
    try {
        serial::TComDevice device;
        device.Open(path.toStdString());
        return 0;
    } catch (const serial::EComPort& e) {
        return e.OsCode();
    }
}

QString ttyPath(const ch341::TSysfsLayout& layout, int k) {
    return QString::fromStdString(
        (fs::path(layout.devRoot) / ("ttyUSB" + std::to_string(k))).string());
}

// ttyUSB indexes under the USB device's interfaces.
std::vector<int> ttysOf(const fs::path& device, const std::string& name) {
    std::vector<int> ttys;
    std::error_code ec;
    for (const auto& iface : fs::directory_iterator(device, ec)) {
        if (iface.path().filename().string().rfind(name + ":", 0) != 0)
            continue;
        for (const auto& child : fs::directory_iterator(iface.path(), ec))
            if (const int k = ch341::UsbSerialIndex(child.path().filename().string()); k >= 0)
                ttys.push_back(k);
    }
    return ttys;
}

// Converters the COM ports do not reach: no tty at all, a tty without its /dev node, or a tty
// beyond COM21.
void surveyUsb(const ch341::TSysfsLayout& layout, bool brlttyInstalled,
               std::vector<TPortReport>& reports) {
    std::error_code ec;
    std::vector<fs::path> devices;
    for (const auto& entry :
         fs::directory_iterator(fs::path(layout.sysRoot) / "bus/usb/devices", ec))
        if (entry.path().filename().string().find(':') == std::string::npos)
            devices.push_back(entry.path());
    std::sort(devices.begin(), devices.end());
    for (const fs::path& device : devices) {
        const std::string name = device.filename().string();
        const std::string vendor = firstLine(device / "idVendor");
        const std::string product = firstLine(device / "idProduct");
        if (!isCh341UsbId(vendor, product))
            continue;
        const QString usbId = QString::fromStdString(vendor + ":" + product);
        const std::vector<int> ttys = ttysOf(device, name);
        if (ttys.empty())
            reports.push_back({.source = PortSource::UsbBus,
                               .usbId = usbId,
                               .state = {.status = PortStatus::NoTty,
                                         .usbDevice = QString::fromStdString(name),
                                         .brlttyInstalled = brlttyInstalled}});
        for (const int k : ttys) {
            const int n = k + 1;
            TPortReport report{.comNumber = n,
                               .path = ttyPath(layout, k),
                               .source = PortSource::UsbBus,
                               .usbId = usbId};
            if (n > ch341::kLastComPort)
                report.state.status = PortStatus::BeyondSearch;
            else if (!fs::exists(report.path.toStdString(), ec))
                report.state.status = PortStatus::NoDeviceNode;
            else
                continue;
            reports.push_back(report);
        }
    }
}

} // namespace

TPortState OpenState(int osError, const QString& path) {
    switch (serial::OpenFailureOf(osError)) {
    case serial::OpenFailure::None:
        return {};
    case serial::OpenFailure::NoPermission:
        return {.status = PortStatus::NoPermission,
                .osError = osError,
                .group = serial::DeviceGroup(path)};
    case serial::OpenFailure::Held:
        return {.status = PortStatus::Held, .osError = osError};
    case serial::OpenFailure::Missing:
        return {.status = PortStatus::Missing, .osError = osError};
    case serial::OpenFailure::NotSerial:
        return {.status = PortStatus::NotSerial, .osError = osError};
    case serial::OpenFailure::Other:
        break;
    }
    return {.status = PortStatus::OpenFailed, .osError = osError};
}

QString OpenVerdict(int osError, const QString& path) {
    return PortStateText(OpenState(osError, path), path);
}

std::vector<TPortReport> SurveyPorts(const ch341::TSysfsLayout& layout, bool brlttyInstalled) {
    std::vector<TPortReport> reports;
    for (int n = 1; n <= ch341::kLastComPort; ++n) {
        TPortReport report{.comNumber = n};
        if (const auto mapped = ch341::MappedPortPath(n)) {
            report.path = QString::fromStdString(*mapped);
            report.source = PortSource::PortMap;
        } else if (ch341::IsCh341Tty(layout, "ttyUSB" + std::to_string(n - 1))) {
            report.path = ttyPath(layout, n - 1);
            report.source = PortSource::Ch341Driver;
        } else {
            continue;
        }
        report.state = OpenState(openError(report.path), report.path);
        reports.push_back(report);
    }
    surveyUsb(layout, brlttyInstalled, reports);
    return reports;
}

bool BrlttyInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("brltty"),
                                           {QStringLiteral("/usr/bin"), QStringLiteral("/usr/sbin"),
                                            QStringLiteral("/bin"), QStringLiteral("/sbin")})
                .isEmpty();
}

} // namespace cli
