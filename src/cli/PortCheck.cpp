#include "cli/PortCheck.h"

#include "ch341/PortMap.h"
#include "serial/ComDevice.h"
#include "serial/ComError.h"

#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>

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

// The group that may use the device, when its mode lets a group read and write it.
QString deviceGroup(const QString& path) {
    struct stat st {};
    if (::stat(path.toLocal8Bit().constData(), &st) != 0 || (st.st_mode & 060) != 060)
        return QStringLiteral("dialout");
    const group* g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
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
        const QString source = QString::fromStdString("USB " + vendor + ":" + product);
        const std::vector<int> ttys = ttysOf(device, name);
        if (ttys.empty()) {
            const QString advice =
                brlttyInstalled
                    ? QStringLiteral("盲文服务 brltty 可能占用了它；不用盲文显示器就卸载它："
                                     "sudo apt-get remove brltty")
                    : QStringLiteral("重新插拔，dmesg | grep ch341 可看原因");
            reports.push_back({.source = source,
                               .verdict = QStringLiteral("转换器已接入（USB %1），但没有 tty：%2")
                                              .arg(QString::fromStdString(name), advice)});
        }
        for (const int k : ttys) {
            const int n = k + 1;
            if (n > ch341::kLastComPort)
                reports.push_back(
                    {.comNumber = n,
                     .path = ttyPath(layout, k),
                     .source = source,
                     .verdict =
                         QStringLiteral("超出 COM1–COM%1，搜索不会找它").arg(ch341::kLastComPort)});
            else if (!fs::exists(ttyPath(layout, k).toStdString(), ec))
                reports.push_back({.comNumber = n,
                                   .path = ttyPath(layout, k),
                                   .source = source,
                                   .verdict = QStringLiteral(
                                       "tty 已出现但 /dev 下没有它：重新插拔，或检查 udev")});
        }
    }
}

} // namespace

QString OpenVerdict(int osError, const QString& path) {
    switch (osError) {
    case 0:
        return QStringLiteral("可以打开");
    case EACCES:
    case EPERM:
        return QStringLiteral("无权限：运行 driver/install，或把用户加入 %1 组后重新登录")
            .arg(deviceGroup(path));
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("被其他程序占用：先关闭它（fuser -v %1 可查出是谁）").arg(path);
    case ENOENT:
        return QStringLiteral("设备不存在");
    default:
        return QStringLiteral("打不开：") + QString::fromLocal8Bit(std::strerror(osError));
    }
}

std::vector<TPortReport> SurveyPorts(const ch341::TSysfsLayout& layout, bool brlttyInstalled) {
    std::vector<TPortReport> reports;
    for (int n = 1; n <= ch341::kLastComPort; ++n) {
        TPortReport report{.comNumber = n};
        if (const auto mapped = ch341::MappedPortPath(n)) {
            report.path = QString::fromStdString(*mapped);
            report.source = QStringLiteral("config.ini");
        } else if (ch341::IsCh341Tty(layout, "ttyUSB" + std::to_string(n - 1))) {
            report.path = ttyPath(layout, n - 1);
            report.source = QStringLiteral("ch341-uart");
        } else {
            continue;
        }
        const int error = openError(report.path);
        report.openable = error == 0;
        report.verdict = OpenVerdict(error, report.path);
        reports.push_back(report);
    }
    surveyUsb(layout, brlttyInstalled, reports);
    return reports;
}

QString ReportLine(const TPortReport& report) {
    const QString com =
        report.comNumber ? QStringLiteral("COM%1").arg(report.comNumber) : QStringLiteral("-");
    const QString path = report.path.isEmpty() ? QStringLiteral("-") : report.path;
    const QString line = QStringLiteral("%1 %2 %3 %4")
                             .arg(com.leftJustified(5), path.leftJustified(20),
                                  report.source.leftJustified(13), report.verdict);
    return report.probe.isEmpty() ? line : line + QStringLiteral("；") + report.probe;
}

bool BrlttyInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("brltty"),
                                           {QStringLiteral("/usr/bin"), QStringLiteral("/usr/sbin"),
                                            QStringLiteral("/bin"), QStringLiteral("/sbin")})
                .isEmpty();
}

} // namespace cli
