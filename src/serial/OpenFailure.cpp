#include "serial/OpenFailure.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>

namespace serial {

OpenFailure OpenFailureOf(int osError) {
    switch (osError) {
    case 0:
        return OpenFailure::None;
    case EACCES:
    case EPERM:
        return OpenFailure::NoPermission;
    case EBUSY: // TIOCEXCL of another program
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

QString OpenFailureText(int osError, const QString& path, const QString& group) {
    switch (OpenFailureOf(osError)) {
    case OpenFailure::None:
        return QCoreApplication::translate("OpenFailure", "可以打开");
    case OpenFailure::NoPermission:
        return QCoreApplication::translate(
                   "OpenFailure", "无权限：运行 driver/install，或把用户加入 %1 组后重新登录")
            .arg(group);
    case OpenFailure::Held:
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
