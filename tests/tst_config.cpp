#include "config/Config.h"
#include "kit/ErrorText.h"
#include "kit/Files.h"
#include "kit/Row.h"
#include "startup/ProgramPlaces.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace config;

namespace {

// Reads of one file fail, or end before its end, as a failing disk or a file cut short while it
// is read make them.
enum class ReadFault { None, Fails, EndsEarly };
std::atomic<ReadFault> readFault{ReadFault::None};
std::atomic<ino_t> faultyInode{0};
// A disk with no room for one more file, where an existing one can still be overwritten.
std::atomic<bool> noRoomForNewFile{false};

// How an existing config.ini is made unreadable, or its replacement unwritable.
enum Unreadable {
    AsWritten,
    NoReadPermission,
    Folder,
    Pipe,
    ReadFails,
    ReadEndsEarly,
    DiskFull,
    NoRoomForNewFile
};

} // namespace

// Every read of the process passes here first; only the chosen file's reads are spoiled.
extern "C" ssize_t read(int fd, void* buf, size_t count) {
    using Read = ssize_t (*)(int, void*, size_t);
    static const auto realRead = reinterpret_cast<Read>(::dlsym(RTLD_NEXT, "read"));
    struct stat st {};
    if (readFault != ReadFault::None && ::fstat(fd, &st) == 0 && st.st_ino == faultyInode) {
        if (readFault == ReadFault::EndsEarly)
            return 0;
        errno = EIO;
        return -1;
    }
    return realRead(fd, buf, count);
}

// Every openat of the process passes here first: a file is made only while there is room.
extern "C" int openat(int folder, const char* path, int flags, ...) {
    using OpenAt = int (*)(int, const char*, int, ...);
    static const auto realOpenAt = reinterpret_cast<OpenAt>(::dlsym(RTLD_NEXT, "openat"));
    if (noRoomForNewFile && (flags & O_CREAT)) {
        errno = ENOSPC;
        return -1;
    }
    std::va_list rest;
    va_start(rest, flags);
    const int mode = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(rest, int) : 0;
    va_end(rest);
    return realOpenAt(folder, path, flags, mode);
}

class TestConfig : public QObject {
    Q_OBJECT
private slots:
    void init() {
        SetConfigPath(dir_.filePath("config.ini"));
        QDir(ConfigPath()).removeRecursively();
        QFile::remove(ConfigPath());
    }

    void read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray sys = "[system]\ndriverinstall=1\n";
        row("plain", sys, "system", "driverinstall", "1");
        row("capitals in file", QByteArray("[SYSTEM]\nDriverInstall=1\n"), "system",
            "driverinstall", "1");
        row("capitals asked", sys, "System", "DRIVERINSTALL", "1");
        row("blanks around", QByteArray(" [ system ] \n  driverinstall  =  1 \n"), "system",
            "driverinstall", "1");
        row("missing key", sys, "system", "other", "");
        row("missing section", sys, "Param", "driverinstall", "");
        row("key of another section", QByteArray("[a]\nk=1\n[b]\nj=2\n"), "b", "k", "");
        row("name with a cut-off character", QByteArray("[a]\nk\xE5=1\n"), "a", "k", "");
        row("first of two", QByteArray("[a]\nk=1\nk=2\n"), "a", "k", "1");
        row("repeat of a section not read", QByteArray("[a]\nj=1\n[x]\n[A]\nk=2\n"), "a", "k", "");
        row("quoted", QByteArray("[a]\nk=\"x y\"\n"), "a", "k", "x y");
        row("quoted, empty", QByteArray("[a]\nk=\"\"\n"), "a", "k", "");
        row("CRLF", QByteArray("[a]\r\nk=v\r\n"), "a", "k", "v");
        row("no trailing newline", QByteArray("[a]\nk=v"), "a", "k", "v");
        row("byte-order mark", QByteArray("\xEF\xBB\xBF[a]\nk=v\n"), "a", "k", "v");
        row("header without bracket", QByteArray("[a\nk=v\n"), "a", "k", "v");
        row("empty value", QByteArray("[a]\nk=\n"), "a", "k", "");
        row("UTF-8 value", QByteArray("[a]\nk=熔接\n"), "a", "k", "熔接");
        row("lone CR line ends", QByteArray("[a]\rk=v\r"), "a", "k", "v");
        row("long value cut", QByteArray("[a]\nk=" + QByteArray(3000, 'x') + "\n"), "a", "k",
            QString(2047, 'x'));
    }

    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        put(file);
        QCOMPARE(ReadConfigString(section, key), value);
    }

    void readsWhatItCanFromBadFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 37) % 256));
        QTest::newRow("binary garbage") << binary + "\n[a]\nk=v\n";
        QTest::newRow("a line of almost 1 MiB")
            << QByteArray(kMaxIniBytes - 9, '=') + "\n[a]\nk=v\n";
        QTest::newRow("NUL bytes") << QByteArray("\0\0[x]\0\n[a]\nk=v\n", 16);
    }

    void readsWhatItCanFromBadFiles() {
        QFETCH(QByteArray, file);
        put(file);
        QCOMPARE(ReadConfigString("a", "k"), QString("v"));
        WriteConfigString("a", "k", "w");
        QCOMPARE(ReadConfigString("a", "k"), QString("w"));
        QCOMPARE(bytes().left(file.size() - 4), file.left(file.size() - 4));
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        row("replace in place",
            QByteArray("; note\n[system]\ndriverinstall=1\nother=x\n\n[Param]\nHeat=60\n"),
            "SYSTEM", "DriverInstall", "0",
            QByteArray("; note\n[system]\ndriverinstall=0\nother=x\n\n[Param]\nHeat=60\n"));
        row("only the value replaced", QByteArray("[a]\n Key = \"old\" \t\n"), "a", "KEY", "",
            QByteArray("[a]\n Key =  \t\n"));
        row("new key at end of its section",
            QByteArray("[system]\ndriverinstall=1\n\n[Param]\nHeat=60\n"), "system", "k", "v",
            QByteArray("[system]\ndriverinstall=1\nk=v\n\n[Param]\nHeat=60\n"));
        row("new section at end", QByteArray("[system]\ndriverinstall=0\n"), "Param", "Heat", "60",
            QByteArray("[system]\ndriverinstall=0\n[Param]\nHeat=60\n"));
        row("no trailing newline", QByteArray("[a]\nk=1"), "a", "j", "2",
            QByteArray("[a]\nk=1\nj=2"));
        row("new section after missing newline", QByteArray("[a]\nk=1"), "b", "j", "2",
            QByteArray("[a]\nk=1\n[b]\nj=2\n"));
        row("CRLF kept", QByteArray("[a]\r\nk=1\r\n"), "a", "j", "2",
            QByteArray("[a]\r\nk=1\r\nj=2\r\n"));
        row("replace keeps CRLF", QByteArray("[a]\r\nk=1\r\nz=9\r\n"), "a", "k", "2",
            QByteArray("[a]\r\nk=2\r\nz=9\r\n"));
        row("empty value", QByteArray("[a]\nk=1\n"), "a", "k", "", QByteArray("[a]\nk=\n"));
        row("after a final lone CR", QByteArray("[a]\nk=1\r"), "a", "j", "2",
            QByteArray("[a]\nk=1\rj=2\n"));
        row("new section after a final lone CR", QByteArray("[a]\nk=1\r"), "b", "j", "2",
            QByteArray("[a]\nk=1\r[b]\nj=2\n"));
        row("replace between lone CRs", QByteArray("[a]\rk=1\rz=9"), "a", "k", "2",
            QByteArray("[a]\rk=2\rz=9"));
        row("byte-order mark kept", QByteArray("\xEF\xBB\xBF[a]\nk=1\n"), "a", "k", "2",
            QByteArray("\xEF\xBB\xBF[a]\nk=2\n"));
        row("section written twice: the first", QByteArray("[system]\n[x]\n[system]\nk=1\n"),
            "system", "k", "0", QByteArray("[system]\nk=0\n[x]\n[system]\nk=1\n"));
    }

    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        put(before);
        WriteConfigString(section, key, value);
        QCOMPARE(bytes(), after);
        QCOMPARE(ReadConfigString(section, key), value);
    }

    void writeCreatesFile_data() {
        QTest::addColumn<QString>("file"); // in the scratch folder
        QTest::newRow("beside the program") << "config.ini";
        QTest::newRow("per user, no folder yet") << "home/.config/spliceon/config.ini";
    }

    void writeCreatesFile() {
        QFETCH(QString, file);
        SetConfigPath(dir_.filePath(file));
        const auto removeMade =
            qScopeGuard([this] { QDir(dir_.filePath("home")).removeRecursively(); });
        const QString folder = QFileInfo(ConfigPath()).absolutePath();
        QCOMPARE(ReadConfigString("Param", "cbpullpush"), QString());
        QCOMPARE(QFileInfo::exists(folder), file == "config.ini"); // reading makes nothing
        const mode_t umask = ::umask(027);
        WriteConfigBool("Param", "cbpullpush", true);
        ::umask(umask);
        WriteConfigBool("Param", "cbAdjustReset", false);
        QCOMPARE(bytes(), QByteArray("[Param]\ncbpullpush=1\ncbAdjustReset=0\n"));
        struct stat made {};
        QVERIFY(::stat(QFile::encodeName(folder).constData(), &made) == 0);
        QCOMPARE(made.st_mode & 077, 0u); // settings are their user's own
        QVERIFY(::stat(QFile::encodeName(ConfigPath()).constData(), &made) == 0);
        QCOMPARE(made.st_mode & 0777, 0640u); // under the umask
    }

    void placesFollowTheProgramFolder_data() {
        QTest::addColumn<QString>("folder");     // <dir>: the scratch folder
        QTest::addColumn<QString>("configHome"); // XDG_CONFIG_HOME; HOME is /home/u
        QTest::addColumn<QStringList>("places"); // the settings file, the driver installer
        QTest::newRow("writable: portable")
            << "<dir>/"
            << "/xdg" << QStringList{"<dir>/config.ini", "<dir>/driver/install"};
        QTest::newRow("not writable: portable all the same")
            << "/nonexistent/opt/spliceon/"
            << "/xdg"
            << QStringList{"/nonexistent/opt/spliceon/config.ini",
                           "/nonexistent/opt/spliceon/driver/install"};
        // Whoever runs it, root included, who may write to /usr/bin.
        const QString installed = "/usr/bin/";
        QTest::newRow("under /usr: installed")
            << installed << "/xdg" << QStringList{"/xdg/spliceon/config.ini", ""};
        QTest::newRow("installed, XDG_CONFIG_HOME empty")
            << installed << "" << QStringList{"/home/u/.config/spliceon/config.ini", ""};
        QTest::newRow("installed, XDG_CONFIG_HOME relative")
            << installed << "xdg" << QStringList{"/home/u/.config/spliceon/config.ini", ""};
        QTest::newRow("installed, XDG_CONFIG_HOME a link of the user's")
            << installed << "<dir>/link" << QStringList{"<dir>/real/spliceon/config.ini", ""};
        QTest::newRow("installed, HOME relative too")
            << installed << "xdg|home/u"
            << QStringList{"<account>/.config/spliceon/config.ini", ""};
    }

    void placesFollowTheProgramFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, configHome);
        QFETCH(QStringList, places);
        const QByteArray home = qgetenv("HOME"), oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", home);
            qputenv("XDG_CONFIG_HOME", oldConfigHome);
        });
        QVERIFY(QDir(dir_.path()).mkpath("real"));
        QFile::link(dir_.path() + "/real", dir_.path() + "/link");
        const QStringList variables =
            configHome.replace("<dir>", dir_.path()).split('|'); // and HOME, when not /home/u
        qputenv("HOME", variables.value(1, "/home/u").toUtf8());
        qputenv("XDG_CONFIG_HOME", variables[0].toUtf8());
        const startup::TProgramPlaces got = startup::PlacesOf(folder.replace("<dir>", dir_.path()));
        QCOMPARE(
            (QStringList{got.settingsFile, got.driverInstaller}),
            places.replaceInStrings("<dir>", dir_.path())
                .replaceInStrings("<account>", QFile::decodeName(::getpwuid(::geteuid())->pw_dir)));
    }

    void readOnlyFileRaisesAndStaysUnchanged() {
        const QByteArray content("[system]\ndriverinstall=1\n");
        put(content);
        QVERIFY(::chmod(QFile::encodeName(ConfigPath()).constData(), 0444) == 0);
        QCOMPARE(ErrorText<EConfigWrite>([] { WriteConfigString("system", "driverinstall", "0"); }),
                 "Unable to write to " + ConfigPath());
        QCOMPARE(bytes(), content);
        ::chmod(QFile::encodeName(ConfigPath()).constData(), 0644);
    }

    void unreadableFileIsNeverReplaced_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("content");
        const QByteArray ini("[a]\nk=1\n");
        QTest::newRow("no read permission") << int(NoReadPermission) << ini;
        QTest::newRow("folder") << int(Folder) << QByteArray();
        QTest::newRow("pipe") << int(Pipe) << QByteArray();
        QTest::newRow("read fails") << int(ReadFails) << ini;
        QTest::newRow("read ends early") << int(ReadEndsEarly) << ini;
        QTest::newRow("UTF-16 LE")
            << int(AsWritten) << QByteArray("\xFF\xFE[\0a\0]\0\n\0k\0=\0001\0\n\0", 18);
        QTest::newRow("UTF-16 BE")
            << int(AsWritten) << QByteArray("\xFE\xFF\0[\0a\0]\0\n\0k\0=\0001\0\n", 18);
        QTest::newRow("disk full while writing") << int(DiskFull) << ini;
        QTest::newRow("no room for a new file") << int(NoRoomForNewFile) << ini;
        QTest::newRow("larger than any settings file")
            << int(AsWritten) << (ini + QByteArray(kMaxIniBytes + 1 - ini.size(), ';'));
    }

    void unreadableFileIsNeverReplaced() {
        QFETCH(int, kind);
        QFETCH(QByteArray, content);
        const QByteArray path = QFile::encodeName(ConfigPath());
        // Root reads everything: the file is read and written as an ordinary user who owns it and
        // its folder, but may only write to it.
        const uid_t me = ::geteuid();
        const uid_t user = kind == NoReadPermission && me == 0 ? 65534 : me;
        const gid_t group = user == me ? ::getegid() : 65534;
        if (kind == Folder)
            QVERIFY(QDir().mkdir(ConfigPath()));
        else if (kind == Pipe)
            QVERIFY(::mkfifo(path.constData(), 0644) == 0);
        else
            put(content);
        if (kind == NoReadPermission) {
            QVERIFY(::chown(path.constData(), user, group) == 0);
            QVERIFY(::chown(QFile::encodeName(dir_.path()).constData(), user, group) == 0);
            QVERIFY(::chmod(path.constData(), 0200) == 0);
        }
        struct stat before {};
        QVERIFY(::stat(path.constData(), &before) == 0);
        faultyInode = before.st_ino;
        readFault = kind == ReadFails       ? ReadFault::Fails
                    : kind == ReadEndsEarly ? ReadFault::EndsEarly
                                            : ReadFault::None;
        ::setfsuid(user);
        ::setfsgid(group);
        const QString read = ReadConfigString("a", "k");
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY}, full{4, RLIM_INFINITY};
        const auto oldXfsz = std::signal(SIGXFSZ, SIG_IGN); // writes past the limit fail instead
        ::setrlimit(RLIMIT_FSIZE, kind == DiskFull ? &full : &unlimited);
        noRoomForNewFile = kind == NoRoomForNewFile;
        const QString error = ErrorText<EConfigWrite>([] { WriteConfigString("a", "k", "2"); });
        noRoomForNewFile = false;
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, oldXfsz);
        ::setfsuid(me);
        ::setfsgid(::getegid());
        readFault = ReadFault::None;
        QCOMPARE(read, kind == DiskFull || kind == NoRoomForNewFile ? QString("1") : QString());
        QCOMPARE(error, "Unable to write to " + ConfigPath());
        struct stat after {};
        QVERIFY(::stat(path.constData(), &after) == 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        if (QFileInfo(ConfigPath()).isFile())
            QCOMPARE(bytes(), content);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::System),
                 QFileInfo(ConfigPath()).isDir() ? QStringList() : QStringList{"config.ini"});
    }

    void writeKeepsOwnerAndMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<uint>("uid");
        QTest::addColumn<uint>("gid");
        QTest::addColumn<uint>("writer"); // 0: this process as it is
        QTest::newRow("own 0640") << 0640 << uint(::geteuid()) << uint(::getegid()) << 0u;
        QTest::newRow("another user's 0600") << 0600 << 4321u << 8765u << 0u;
        QTest::newRow("own, another group's 0664") << 0664 << uint(::geteuid()) << 8765u << 0u;
        // Only root may give a file away: the third user rewrites it in place.
        QTest::newRow("another user's 0666, by a third") << 0666 << 4321u << 8765u << 65534u;
    }

    void writeKeepsOwnerAndMode() {
        QFETCH(int, mode);
        QFETCH(uint, uid);
        QFETCH(uint, gid);
        QFETCH(uint, writer);
        const QByteArray path = QFile::encodeName(ConfigPath());
        put("[a]\nk=1\n");
        if (::chown(path.constData(), uid, gid) != 0)
            QSKIP("giving a file away needs root");
        ::chmod(path.constData(), mode_t(mode));
        const QByteArray folder = QFile::encodeName(dir_.path());
        ::chmod(folder.constData(), 0755); // the writer reaches the file but may not add files
        if (writer)
            ::setfsuid(writer);
        WriteConfigString("a", "k", "2");
        ::setfsuid(::geteuid());
        ::chmod(folder.constData(), 0700);
        struct stat st {};
        ::stat(path.constData(), &st);
        QCOMPARE(int(st.st_mode & 07777), mode);
        QCOMPARE(uint(st.st_uid), uid);
        QCOMPARE(uint(st.st_gid), gid);
        QCOMPARE(bytes(), QByteArray("[a]\nk=2\n"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files),
                 QStringList{"config.ini"}); // no leftovers
    }

    void readBool_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("yes");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("2") << "2" << true;
        QTest::newRow("0x1") << "0x1" << true;
        QTest::newRow("0X0") << "0X0" << false;
        QTest::newRow("0x alone") << "0x" << false;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("-1") << "-1" << true;
        QTest::newRow("true") << "true" << false;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("empty") << "" << false;
    }

    void readBool() {
        QFETCH(QString, text);
        QFETCH(bool, yes);
        put("[Param]\ncbClearDust=" + text.toUtf8() + "\n");
        QCOMPARE(ReadConfigBool("Param", "cbClearDust"), yes);
    }

    void otherProgramsChangeIsSeen() {
        put("[a]\nk=1\n");
        QCOMPARE(ReadConfigString("a", "k"), QString("1"));
        put("[a]\nk=2\n");
        QCOMPARE(ReadConfigString("a", "k"), QString("2"));
    }

private:
    void put(const QByteArray& content) { QVERIFY(WriteFile(ConfigPath(), content)); }

    QByteArray bytes() const { return ReadFile(ConfigPath()); }

    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
