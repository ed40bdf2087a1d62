#include "config/Config.h"

#include <QDir>
#include <QFileInfo>

#include <mutex>

namespace config {
namespace {

std::mutex pathMutex;
QString& pathSlot() {
    static QString path;
    return path;
}

// Makes a folder and every missing one above it, readable by their user only, as the folder
// of per-user settings is made when it is first written to.
void makeFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir() || info.isRoot())
        return;
    makeFolder(info.absolutePath());
    QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

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
    // A folder that cannot be made shows as the write's own error.
    makeFolder(QFileInfo(ConfigPath()).absolutePath());
    WriteIniString(ConfigPath(), section, key, value);
}

void WriteConfigBool(const QString& section, const QString& key, bool value) {
    WriteConfigString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace config
