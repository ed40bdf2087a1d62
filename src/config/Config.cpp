#include "config/Config.h"

#include <QFileInfo>

#include <mutex>

namespace config {
namespace {

std::mutex pathMutex;
QString& pathSlot() {
    static QString path;
    return path;
}

} // namespace

QString ExecutableFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.symLinkTarget()).absolutePath() + '/';
}

void SetConfigPath(const QString& path) {
    std::lock_guard lock(pathMutex);
    pathSlot() = path;
}

QString ConfigPath() {
    std::lock_guard lock(pathMutex);
    return pathSlot();
}

QString ReadConfigString(const QString& section, const QString& key) {
    return ReadIniString(ConfigPath(), section, key);
}

bool ConfigTextIsTrue(const QString& text) {
    bool ok = false;
    qlonglong value = 0;
    if (text.size() > 2 && (text.startsWith("0x") || text.startsWith("0X")))
        value = text.mid(2).toLongLong(&ok, 16);
    else
        value = text.toLongLong(&ok, 10);
    return ok && value != 0;
}

bool ReadConfigBool(const QString& section, const QString& key) {
    return ConfigTextIsTrue(ReadConfigString(section, key));
}

void WriteConfigString(const QString& section, const QString& key, const QString& value) {
    WriteIniString(ConfigPath(), section, key, value);
}

void WriteConfigBool(const QString& section, const QString& key, bool value) {
    WriteConfigString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace config
