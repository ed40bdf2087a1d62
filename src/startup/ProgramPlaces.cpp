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
                programFolder + QStringLiteral("sets/")};
    return {UserSettingsFile(), QString(), UserSetsFolder()};
}

namespace {

// An XDG base folder, or its default under the home folder. A relative one is to be ignored: it
// would depend on the current folder.
QString baseFolder(const char* variable, const QString& underHome) {
    const QString base = qEnvironmentVariable(variable);
    return QDir::isAbsolutePath(base) ? base : QDir::homePath() + underHome;
}

} // namespace

QString UserSettingsFile() {
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) +
           QStringLiteral("/spliceon/config.ini");
}

QString UserSetsFolder() {
    return baseFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")) +
           QStringLiteral("/spliceon/sets/");
}

TProgramPlaces Settle(const QString& programFolder) {
    TProgramPlaces places = PlacesOf(programFolder);
    config::SetConfigPath(places.settingsFile);
    return places;
}

} // namespace startup
