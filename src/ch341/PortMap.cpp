#include "ch341/PortMap.h"

#include "config/IniFile.h"
#include "serial/PortName.h"

#include <QFile>

namespace ch341 {
namespace {

bool sameFile(const std::optional<struct stat>& a, const std::optional<struct stat>& b) {
    if (!a || !b)
        return !a && !b;
    return a->st_dev == b->st_dev && a->st_ino == b->st_ino && a->st_size == b->st_size &&
           a->st_mtim.tv_sec == b->st_mtim.tv_sec && a->st_mtim.tv_nsec == b->st_mtim.tv_nsec &&
           a->st_ctim.tv_sec == b->st_ctim.tv_sec && a->st_ctim.tv_nsec == b->st_ctim.tv_nsec;
}

} // namespace

TPortMap::TPortMap(QString settingsFile) : settingsFile_(std::move(settingsFile)) {}

void TPortMap::refresh() const {
    struct stat st {};
    std::optional<struct stat> now;
    if (::stat(QFile::encodeName(settingsFile_).constData(), &st) == 0)
        now = st;
    if (parsed_ && sameFile(now, read_))
        return;
    const config::IniDocument ini = config::ReadIniDocument(settingsFile_);
    for (int n = 1; n <= kLastComPort; ++n) {
        const QString path = ini.Value(QStringLiteral("ports"), QStringLiteral("COM%1").arg(n));
        paths_[size_t(n - 1)] =
            path.startsWith('/') ? std::optional(path.toStdString()) : std::nullopt;
    }
    read_ = now;
    parsed_ = true;
}

std::optional<std::string> TPortMap::MappedPath(int n) const {
    if (n < 1 || n > kLastComPort)
        return std::nullopt;
    std::lock_guard lock(mutex_);
    refresh();
    return paths_[size_t(n - 1)];
}

std::string TPortMap::PortPath(const std::string& portName) const {
    if (const auto mapped = MappedPath(serial::ComPortNumber(portName)))
        return *mapped;
    return serial::DefaultPortPath(portName);
}

} // namespace ch341
