#include "paramset/SetLibrary.h"

#include "config/FileWrite.h"
#include "config/IniFile.h"
#include "paramset/SetFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace params {
namespace {

const QString kSuffix = QStringLiteral(".ini");

[[noreturn]] void refuse(const QString& text) {
    throw ESetLibrary(text.toStdString());
}

QString reason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Makes a missing folder readable by its user only, as per-user data is; a folder that stands
// keeps the permissions its user gave it.
void makeFolder(const QString& folder) {
    if (QFileInfo(folder).isDir())
        return;
    if (!QDir().mkpath(folder))
        refuse(QCoreApplication::translate("SetLibrary", "无法创建参数库文件夹 %1").arg(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// What the set's record says about the splicer, the time and the firmware.
LibraryEntry entryOf(const QString& name, const QFileInfo& file) {
    LibraryEntry entry{name, std::nullopt, {}, file.lastModified()};
    QFile in(file.filePath());
    if (!in.open(QIODevice::ReadOnly))
        return entry;
    const QByteArray content = in.read(kMaxSetFileBytes);
    const SetFacts facts = DeviceFactsOf(content);
    entry.deviceId = facts.id;
    if (facts.when.isValid())
        entry.when = facts.when;
    const config::IniDocument ini(SetFileAsIni(content));
    bool number = false;
    const uint firmware = ini.Value(kDeviceSection, kFirmwareKey).toUInt(&number);
    if (number && firmware <= 0xFFFF)
        entry.firmware = uint16_t(firmware);
    return entry;
}

} // namespace

void TSetLibrary::CheckName(const QString& name) {
    static const QRegularExpression allowed(
        QStringLiteral("^[\\p{L}\\p{N}_+()-][\\p{L}\\p{N} _+().-]*$"));
    if (name.size() > kMaxNameLength || !allowed.match(name).hasMatch() || name.endsWith(' '))
        refuse(QCoreApplication::translate(
                   "SetLibrary", "参数组名“%1”不可用：只用字母、数字、空格和 - _ + . ( )，"
                                 "不以 . 或空格开头或以空格结尾，至多 %2 个字符")
                   .arg(name)
                   .arg(kMaxNameLength));
}

QString TSetLibrary::pathOf(const QString& name) const {
    CheckName(name);
    return folder_ + name + kSuffix;
}

std::vector<LibraryEntry> TSetLibrary::Entries() const {
    std::vector<LibraryEntry> entries;
    // Only the exact names a load, a rename or a delete looks for: "UP.INI" is none of them.
    const QFileInfoList files =
        QDir(folder_).entryInfoList({'*' + kSuffix}, QDir::Files | QDir::CaseSensitive, QDir::Name);
    for (const QFileInfo& file : files) {
        const QString name = file.completeBaseName();
        // A file whose name is no set name is not the library's to offer.
        try {
            CheckName(name);
        } catch (const ESetLibrary&) {
            continue;
        }
        entries.push_back(entryOf(name, file));
    }
    return entries;
}

bool TSetLibrary::Contains(const QString& name) const {
    return QFileInfo(pathOf(name)).isFile();
}

QByteArray TSetLibrary::Read(const QString& name) const {
    return ReadSetFileAt(pathOf(name));
}

QByteArray ReadSetFileAt(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        refuse(QCoreApplication::translate("SetLibrary", "无法读取 %1：%2")
                   .arg(path, in.errorString()));
    const QByteArray content = in.read(kMaxSetFileBytes + 1);
    if (content.size() > kMaxSetFileBytes)
        refuse(QCoreApplication::translate("SetLibrary", "%1 大于 1 MiB，不是参数文件").arg(path));
    return content;
}

void TSetLibrary::Save(const QString& name, const QByteArray& content, bool replace) {
    const QString path = pathOf(name);
    if (!replace && QFileInfo::exists(path))
        refuse(QCoreApplication::translate("SetLibrary", "参数组“%1”已存在").arg(name));
    makeFolder(folder_);
    WriteSetFile(path, content);
}

void TSetLibrary::Rename(const QString& from, const QString& to) {
    const QString target = pathOf(to);
    // link() makes the new name only where none stands, so no set is replaced by a rename.
    if (::link(QFile::encodeName(pathOf(from)).constData(),
               QFile::encodeName(target).constData()) != 0)
        refuse(errno == EEXIST
                   ? QCoreApplication::translate("SetLibrary", "参数组“%1”已存在").arg(to)
                   : QCoreApplication::translate("SetLibrary", "无法把参数组“%1”改名为“%2”：%3")
                         .arg(from, to, reason()));
    Remove(from);
}

void TSetLibrary::Remove(const QString& name) {
    if (::unlink(QFile::encodeName(pathOf(name)).constData()) != 0)
        refuse(QCoreApplication::translate("SetLibrary", "无法删除参数组“%1”：%2")
                   .arg(name, reason()));
}

void WriteSetFile(const QString& path, const QByteArray& bytes) {
    // A library set and an exported file are both the user's own.
    const int error = config::ReplaceUserFile(path, bytes, config::ExistingOwner::Mine);
    if (error == 0)
        return;
    errno = error;
    refuse(QCoreApplication::translate("SetLibrary", "无法写入 %1：%2").arg(path, reason()));
}

} // namespace params
