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
        return {UserSettingsFile(), QString()};
    return {programFolder + QStringLiteral("config.ini"),
            programFolder + QStringLiteral("driver/install")};
}

QString UserSettingsFile() {
    // A relative variable is ignored: it would depend on the current folder.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base)) {
        QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home)) {
            const passwd* account = ::getpwuid(::geteuid());
            home = account ? QFile::decodeName(account->pw_dir) : QStringLiteral("/");
        }
        base = home + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/spliceon/config.ini");
}

TProgramPlaces Settle(const QString& programFolder) {
    TProgramPlaces places = PlacesOf(programFolder);
    config::SetConfigPath(places.settingsFile);
    return places;
}

} // namespace startup
