#include "serial/OpenFailure.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial {
namespace {

namespace fs = std::filesystem;

// The processes in /proc, with their names.
template <class Visit> void forEachProcess(Visit visit) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string name;
        std::getline(std::ifstream(entry.path() / "comm"), name);
        visit(entry.path(), pid, name);
    }
}

bool modemManagerRuns() {
    bool runs = false;
    forEachProcess([&](const fs::path&, const std::string&, const std::string& name) {
        runs = runs || name == "ModemManager";
    });
    return runs;
}

} // namespace

OpenFailure OpenFailureOf(int osError) {
    switch (osError) {
    case 0:
        return OpenFailure::None;
    case EACCES:
    case EPERM:
        return OpenFailure::NoPermission;
    case EBUSY:       // TIOCEXCL of another program
    case EWOULDBLOCK: // its advisory lock
        return OpenFailure::Held;
    case ENOENT:
    case ENODEV:
        return OpenFailure::Missing;
    case ENOTTY:
    case EISDIR:
        return OpenFailure::NotSerial;
    default:
        return OpenFailure::Other;
    }
}

QString DeviceGroup(const QString& path) {
    struct stat st {};
    if (::stat(path.toLocal8Bit().constData(), &st) != 0 || (st.st_mode & 060) != 060)
        return QStringLiteral("dialout");
    const group* g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
}

QStringList DeviceHolders(const QString& path) {
    std::error_code ec;
    const fs::path device = fs::canonical(path.toStdString(), ec);
    if (ec)
        return {};
    const std::string self = std::to_string(::getpid());
    QStringList holders;
    forEachProcess([&](const fs::path& process, const std::string& pid, const std::string& name) {
        if (pid == self)
            return;
        std::error_code unreadable;
        for (const auto& fd : fs::directory_iterator(process / "fd", unreadable))
            if (std::error_code gone; fs::read_symlink(fd.path(), gone) == device) {
                holders << QStringLiteral("%1 (%2)").arg(QString::fromStdString(name),
                                                         QString::fromStdString(pid));
                return;
            }
    });
    return holders;
}

TOpenFailureFacts LookUpOpenFailure(int osError, const QString& path) {
    switch (OpenFailureOf(osError)) {
    case OpenFailure::NoPermission:
        return {.group = DeviceGroup(path)};
    case OpenFailure::Held: {
        const QStringList holders = DeviceHolders(path);
        // ModemManager runs as root, so its descriptors stay hidden from a user.
        return {.holders = holders, .modemManager = holders.isEmpty() && modemManagerRuns()};
    }
    default:
        return {};
    }
}

QString OpenFailureText(int osError, const QString& path, const TOpenFailureFacts& facts) {
    switch (OpenFailureOf(osError)) {
    case OpenFailure::None:
        return QCoreApplication::translate("OpenFailure", "可以打开");
    case OpenFailure::NoPermission:
        return QCoreApplication::translate(
                   "OpenFailure", "无权限：运行 driver/install，或把用户加入 %1 组后重新登录")
            .arg(facts.group);
    case OpenFailure::Held:
        if (!facts.holders.isEmpty())
            return QCoreApplication::translate("OpenFailure", "被其他程序占用：%1；先关闭它")
                .arg(facts.holders.join(QStringLiteral(", ")));
        if (facts.modemManager)
            return QCoreApplication::translate("OpenFailure",
                                               "被其他程序占用，可能是 ModemManager 在探测它：运行 "
                                               "driver/install 装上 udev "
                                               "规则，它就不再碰转换器（fuser -v %1 可查出是谁）")
                .arg(path);
        return QCoreApplication::translate("OpenFailure",
                                           "被其他程序占用：先关闭它（fuser -v %1 可查出是谁）")
            .arg(path);
    case OpenFailure::Missing:
        return QCoreApplication::translate("OpenFailure", "设备不存在");
    case OpenFailure::NotSerial:
        return QCoreApplication::translate("OpenFailure", "不是串口设备：只打开终端设备（tty）");
    case OpenFailure::Other:
        break;
    }
    return QCoreApplication::translate("OpenFailure", "打不开：%1")
        .arg(QString::fromLocal8Bit(std::strerror(osError)));
}

} // namespace serial
