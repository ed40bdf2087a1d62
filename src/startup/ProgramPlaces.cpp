#include "startup/ProgramPlaces.h"

#include "config/Config.h"

#include <QDir>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace startup {

QString ExecutableFolder() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    return QFileInfo(exe.symLinkTarget()).absolutePath() + '/';
}

bool IsInstalled(const QString& programFolder) {
    // Where the package puts the program; not who runs it: root may write to /usr/bin, and a
    // portable folder root unpacked into /opt stays portable for everyone.
    return programFolder.startsWith(QStringLiteral("/usr/"));
}

TProgramPlaces PlacesOf(const QString& programFolder) {
    if (IsInstalled(programFolder))
        return {UserSettingsFile(), QString(), UserSetsFolder(), UserServiceRecord()};
    return {programFolder + QStringLiteral("config.ini"),
            programFolder + QStringLiteral("driver/install"), programFolder + QStringLiteral("sets/"),
            programFolder + QStringLiteral("service.db")};
}

namespace {

// The home folder: HOME, or the account's when HOME is not an absolute path.
QString homeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    const passwd* account = ::getpwuid(::geteuid());
    return account ? QFile::decodeName(account->pw_dir) : QStringLiteral("/");
}

// The user's own folders may be links the user made (a dotfile manager's ~/.config, a home
// reached through a link): what lies below them is written by the real path, on which the rule
// for writing a user's file follows no link.
QString realFolder(const QString& folder) {
    const QString real = QFileInfo(folder).canonicalFilePath();
    return real.isEmpty() ? folder : real;
}

// An XDG base folder, or its default under the home folder. A relative one is ignored: it would
// depend on the current folder.
QString baseFolder(const char* variable, const QString& underHome) {
    const QString base = qEnvironmentVariable(variable);
    return realFolder(QDir::isAbsolutePath(base) ? base
                                                 : realFolder(homeFolder()) + underHome);
}

// The program's own folder among the user's data.
QString userDataFolder() {
    return baseFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")) +
           QStringLiteral("/spliceon/");
}

} // namespace

QString UserSettingsFile() {
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) +
           QStringLiteral("/spliceon/config.ini");
}

QString UserSetsFolder() {
    return userDataFolder() + QStringLiteral("sets/");
}

QString UserServiceRecord() {
    return userDataFolder() + QStringLiteral("service.db");
}

TProgramPlaces Settle(const QString& programFolder) {
    TProgramPlaces places = PlacesOf(programFolder);
    config::SetConfigPath(places.settingsFile);
    return places;
}

} // namespace startup
