#include "record/Technician.h"

#include "config/Config.h"

#include <pwd.h>
#include <unistd.h>

namespace record {
namespace {

const passwd* account() {
    return ::getpwuid(::geteuid());
}

} // namespace

QString LoginName() {
    const passwd* pw = account();
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::geteuid());
}

QString TechnicianName() {
    const QString configured =
        config::ReadConfigString(QStringLiteral("record"), QStringLiteral("technician")).trimmed();
    if (!configured.isEmpty())
        return configured;
    const passwd* pw = account();
    const QString fullName = pw && pw->pw_gecos
                                 ? QString::fromLocal8Bit(pw->pw_gecos).section(',', 0, 0).trimmed()
                                 : QString();
    return fullName.isEmpty() ? LoginName() : fullName;
}

} // namespace record
