#include "ch341/PortSurvey.h"

#include "ch341/PortMap.h"
#include "serial/ComDevice.h"
#include "serial/ComError.h"
#include "serial/OpenFailure.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace ch341 {
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

QString ttyPath(const TSysfsLayout& layout, int k) {
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
            if (const int k = UsbSerialIndex(child.path().filename().string()); k >= 0)
                ttys.push_back(k);
    }
    return ttys;
}

// Converters the COM ports do not reach: no tty at all, a tty without its /dev node, or a tty
// beyond COM21.
void surveyUsb(const TSysfsLayout& layout, bool brlttyInstalled,
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
            if (n > kLastComPort)
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
    PortStatus status = PortStatus::OpenFailed;
    switch (serial::OpenFailureOf(osError)) {
    case serial::OpenFailure::None:
        return {};
    case serial::OpenFailure::NoPermission:
        status = PortStatus::NoPermission;
        break;
    case serial::OpenFailure::Held:
        status = PortStatus::Held;
        break;
    case serial::OpenFailure::Missing:
        status = PortStatus::Missing;
        break;
    case serial::OpenFailure::NotSerial:
        status = PortStatus::NotSerial;
        break;
    case serial::OpenFailure::Other:
        break;
    }
    return {
        .status = status, .osError = osError, .facts = serial::LookUpOpenFailure(osError, path)};
}

QString PortSourceText(const TPortReport& report) {
    switch (report.source) {
    case PortSource::PortMap:
        return QStringLiteral("config.ini");
    case PortSource::Ch341Driver:
        return QStringLiteral("ch341-uart");
    case PortSource::UsbBus:
        break;
    }
    return QStringLiteral("USB ") + report.usbId;
}

QString PortStateText(const TPortState& state, const QString& path) {
    switch (state.status) {
    case PortStatus::Opens:
    case PortStatus::NoPermission:
    case PortStatus::Held:
    case PortStatus::Missing:
    case PortStatus::NotSerial:
    case PortStatus::OpenFailed:
        return serial::OpenFailureText(state.osError, path, state.facts);
    case PortStatus::NoTty:
        return QCoreApplication::translate("PortSurvey", "转换器已接入（USB %1），但没有 tty：%2")
            .arg(state.usbDevice,
                 state.brlttyInstalled
                     ? QCoreApplication::translate(
                           "PortSurvey", "盲文服务 brltty 可能占用了它；不用盲文显示器就卸载它："
                                         "sudo apt-get remove brltty")
                     : QCoreApplication::translate("PortSurvey",
                                                   "重新插拔，dmesg | grep ch341 可看原因"));
    case PortStatus::NoDeviceNode:
        return QCoreApplication::translate("PortSurvey",
                                           "tty 已出现但 /dev 下没有它：重新插拔，或检查 udev");
    case PortStatus::BeyondSearch:
        break;
    }
    return QCoreApplication::translate("PortSurvey", "超出 COM1–COM%1，搜索不会找它")
        .arg(kLastComPort);
}

QString NoCandidateText() {
    return QCoreApplication::translate("PortSurvey",
                                       "没有候选端口：没有接入 CH341 转换器，config.ini 的 "
                                       "[ports] 也没有映射；请检查数据线");
}

QString OpenVerdict(int osError, const QString& path) {
    return PortStateText(OpenState(osError, path), path);
}

std::vector<TPortReport> SurveyPorts(const TPortMap& ports, const TSysfsLayout& layout,
                                     bool brlttyInstalled) {
    std::vector<TPortReport> reports;
    for (int n = 1; n <= kLastComPort; ++n) {
        TPortReport report{.comNumber = n};
        if (const auto mapped = ports.MappedPath(n)) {
            report.path = QString::fromStdString(*mapped);
            report.source = PortSource::PortMap;
        } else if (IsCh341Tty(layout, "ttyUSB" + std::to_string(n - 1))) {
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

} // namespace ch341
