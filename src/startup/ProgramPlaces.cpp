#include "startup/ProgramPlaces.h"

#include "config/Config.h"

#include <QDir>
#include <QFileInfo>

namespace startup {

QString ExecutableFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.symLinkTarget()).absolutePath() + '/';
}

TProgramPlaces PlacesOf(const QString& programFolder) {
    if (QFileInfo(programFolder).isWritable())
        return {programFolder + QStringLiteral("config.ini"),
                programFolder + QStringLiteral("driver/install"),
                programFolder + QStringLiteral("service.db")};
    return {UserSettingsFile(), QString(), UserServiceRecord()};
}

QString UserSettingsFile() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative one is to be ignored: it would depend on the current folder.
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/spliceon/config.ini");
}

QString UserServiceRecord() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/spliceon/service.db");
}

TProgramPlaces Settle(const QString& programFolder) {
    TProgramPlaces places = PlacesOf(programFolder);
    config::SetConfigPath(places.settingsFile);
    return places;
}

} // namespace startup
