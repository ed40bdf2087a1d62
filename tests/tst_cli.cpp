// The command line: the port check's verdicts and sysfs survey, and --list run as a technician
// runs it, with config.ini beside a copy of the program and no display.
#include "cli/PortCheck.h"
#include "config/Config.h"
#include "kit/PtyPair.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// A fake /dev and /sys: ttyUSB devices with their driver, and USB devices with their IDs.
struct FakeTree {
    QTemporaryDir dir;
    ch341::TSysfsLayout layout{(dir.path() + "/dev").toStdString(),
                               (dir.path() + "/sys").toStdString()};
    FakeTree() { QDir(dir.path()).mkpath("dev"); }
    QString sys(const QString& rest) const { return dir.path() + "/sys/" + rest; }
    // A USB device usb with vendor:product, and a tty (empty: none) under its interface.
    void add(const QString& usb, const QString& id, const QString& tty, const QString& driver,
             bool node) {
        const QString device = sys("bus/usb/devices/" + usb);
        QDir().mkpath(device);
        writeFile(device + "/idVendor", id.section(':', 0, 0) + '\n');
        writeFile(device + "/idProduct", id.section(':', 1) + '\n');
        if (tty.isEmpty())
            return;
        const QString port = device + '/' + usb + ":1.0/" + tty;
        QDir().mkpath(port);
        QDir().mkpath(sys("bus/usb-serial/drivers/" + driver));
        QFile::link(sys("bus/usb-serial/drivers/" + driver), port + "/driver");
        QDir().mkpath(sys("class/tty/" + tty));
        QFile::link(port, sys("class/tty/" + tty + "/device"));
        if (node)
            writeFile(dir.path() + "/dev/" + tty, {});
    }
    static void writeFile(const QString& path, const QString& text) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }
};

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// A copy of the program in a scratch folder with the given config.ini, run without a display.
struct ProgramFolder {
    QTemporaryDir dir;
    QString program = dir.filePath("spliceon");

    explicit ProgramFolder(const QByteArray& configIni) {
        QFile::copy(QStringLiteral(SPLICEON_PROGRAM), program);
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        FakeTree::writeFile(dir.filePath("config.ini"), QString::fromUtf8(configIni));
    }

    Run run(const QStringList& args, const QStringList& asUser = {}) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A window would need a display; the xcb platform without one aborts the program.
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb");
        process.setProcessEnvironment(env);
        if (asUser.isEmpty())
            process.start(program, args);
        else
            process.start(asUser.first(), asUser.mid(1) + QStringList{program} + args);
        process.waitForFinished(20000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

QString lineOf(const QString& out, const QString& com) {
    for (const QString& line : out.split('\n'))
        if (line.section(' ', 0, 0) == com)
            return line;
    return {};
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void openVerdict_data();
    void openVerdict();
    void surveyReportsWhatTheSearchCannotReach_data();
    void surveyReportsWhatTheSearchCannotReach();
    void listShowsMappedPortsWithoutDisplayOrDriverInstall();
    void listExplainsDeviceThisUserMayNotOpen();
    void usageErrorsExitTwo_data();
    void usageErrorsExitTwo();
};

void TestCli::openVerdict_data() {
    QTest::addColumn<int>("osError");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("opened") << 0 << "可以打开";
    QTest::newRow("EACCES") << EACCES
                            << "无权限：运行 driver/install，或把用户加入 dialout 组后重新登录";
    QTest::newRow("EPERM") << EPERM
                           << "无权限：运行 driver/install，或把用户加入 dialout 组后重新登录";
    QTest::newRow("EBUSY") << EBUSY
                           << "被其他程序占用：先关闭它（fuser -v /dev/ttyUSB0 可查出是谁）";
    QTest::newRow("EWOULDBLOCK") << EWOULDBLOCK
                                 << "被其他程序占用：先关闭它（fuser -v /dev/ttyUSB0 可查出是谁）";
    QTest::newRow("ENOENT") << ENOENT << "设备不存在";
    QTest::newRow("EIO") << EIO << "打不开：Input/output error";
}

void TestCli::openVerdict() {
    QFETCH(int, osError);
    QFETCH(QString, verdict);
    // /dev/ttyUSB0 is missing here, so no group of its own: dialout is advised.
    QCOMPARE(cli::OpenVerdict(osError, QStringLiteral("/dev/ttyUSB0")), verdict);
}

void TestCli::surveyReportsWhatTheSearchCannotReach_data() {
    QTest::addColumn<QString>("tty");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("driver");
    QTest::addColumn<bool>("node");
    QTest::addColumn<bool>("brltty");
    QTest::addColumn<QString>("line"); // with <dev> for the fake /dev; empty: no line at all
    QTest::newRow("converter") << "ttyUSB2"
                               << "1a86:7523"
                               << "ch341-uart" << true << false
                               << "COM3  <dev>/ttyUSB2 ch341-uart    可以打开";
    QTest::newRow("other driver") << "ttyUSB2"
                                  << "0403:6001"
                                  << "ftdi_sio" << true << false << "";
    QTest::newRow("no tty, brltty")
        << ""
        << "1a86:7523"
        << "" << false << true
        << "-     -                    USB 1a86:7523 转换器已接入（USB 1-2），但没有 tty：盲文服务 "
           "brltty 可能占用了它；不用盲文显示器就卸载它：sudo apt-get remove brltty";
    QTest::newRow("no tty") << ""
                            << "1a86:5523"
                            << "" << false << false
                            << "-     -                    USB 1a86:5523 转换器已接入（USB "
                               "1-2），但没有 tty：重新插拔，dmesg | grep ch341 可看原因";
    QTest::newRow("no node") << "ttyUSB4"
                             << "1a86:7523"
                             << "ch341-uart" << false << false
                             << "COM5  <dev>/ttyUSB4 USB 1a86:7523 tty 已出现但 /dev "
                                "下没有它：重新插拔，或检查 udev";
    QTest::newRow("beyond COM21")
        << "ttyUSB21"
        << "1a86:7523"
        << "ch341-uart" << true << false
        << "COM22 <dev>/ttyUSB21 USB 1a86:7523 超出 COM1–COM21，搜索不会找它";
}

void TestCli::surveyReportsWhatTheSearchCannotReach() {
    QFETCH(QString, tty);
    QFETCH(QString, id);
    QFETCH(QString, driver);
    QFETCH(bool, node);
    QFETCH(bool, brltty);
    QFETCH(QString, line);
    FakeTree tree;
    config::SetConfigPath(tree.dir.filePath("config.ini")); // no ports mapped
    tree.add(QStringLiteral("1-2"), id, tty, driver, node);
    QStringList lines;
    for (const cli::TPortReport& report : cli::SurveyPorts(tree.layout, brltty))
        lines << cli::ReportLine(report);
    const QString dev = QString::fromStdString(tree.layout.devRoot);
    QStringList expected;
    if (!line.isEmpty())
        expected << QString(line).replace("<dev>", dev);
    QCOMPARE(lines, expected);
}

void TestCli::listShowsMappedPortsWithoutDisplayOrDriverInstall() {
    PtyPair free, held;
    const int holder = ::open(held.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    QVERIFY(holder >= 0 && ::flock(holder, LOCK_EX | LOCK_NB) == 0);
    ProgramFolder folder(
        "[system]\ndriverinstall=1\n\n[ports]\nCOM3=" + QByteArray(free.SlavePath().c_str()) +
        "\nCOM4=" + QByteArray(held.SlavePath().c_str()) + "\nCOM6=/nonexistent/tty\n");
    QDir(folder.dir.path()).mkpath("driver");
    const QString marker = folder.dir.filePath("installer-ran");
    FakeTree::writeFile(folder.dir.filePath("driver/install"),
                        "#!/bin/sh\ntouch '" + marker + "'\n");
    QFile::setPermissions(folder.dir.filePath("driver/install"),
                          QFile::ReadOwner | QFile::ExeOwner);

    const Run run = folder.run({"--list"});
    ::close(holder);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    const QString freePath = QString::fromStdString(free.SlavePath());
    const QString heldPath = QString::fromStdString(held.SlavePath());
    QCOMPARE(lineOf(run.out, "COM3").simplified(), "COM3 " + freePath + " config.ini 可以打开");
    QCOMPARE(lineOf(run.out, "COM4").simplified(),
             "COM4 " + heldPath + " config.ini 被其他程序占用：先关闭它（fuser -v " + heldPath +
                 " 可查出是谁）");
    QCOMPARE(lineOf(run.out, "COM6").simplified(),
             QStringLiteral("COM6 /nonexistent/tty config.ini 设备不存在"));
    QVERIFY(!QFile::exists(marker));
    QFile ini(folder.dir.filePath("config.ini"));
    ini.open(QIODevice::ReadOnly);
    QVERIFY(ini.readAll().contains("driverinstall=1"));
}

void TestCli::listExplainsDeviceThisUserMayNotOpen() {
    // Root opens a mode-000 device all the same; the check must run as a user the mode binds.
    QStringList asUser;
    if (::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("running as root without setpriv to drop to another user");
        asUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    QTemporaryDir devices;
    const QString locked = devices.filePath("ttyLocked");
    FakeTree::writeFile(locked, {});
    QVERIFY(QFile::setPermissions(locked, {}));
    QFile::setPermissions(devices.path(), QFile::permissions(devices.path()) | QFile::ExeOther);
    ProgramFolder folder("[ports]\nCOM5=" + locked.toUtf8() + "\n");

    const Run run = folder.run({"--list"}, asUser);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lineOf(run.out, "COM5").simplified(),
             "COM5 " + locked +
                 " config.ini 无权限：运行 driver/install，或把用户加入 dialout 组后重新登录");
}

void TestCli::usageErrorsExitTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::newRow("no mode") << QStringList{"--yes"} << "请给出 --list、--read 或 --write 中的一个";
    QTest::newRow("two modes") << QStringList{"--list", "--read"}
                               << "请给出 --list、--read 或 --write 中的一个";
    QTest::newRow("probe alone") << QStringList{"--read", "--probe"}
                                 << "--probe 只能与 --list 一起用";
    QTest::newRow("unknown") << QStringList{"--list", "--bogus"} << "Unknown option 'bogus'.";
    QTest::newRow("trace unwritable")
        << QStringList{"--list", "--trace=/nonexistent/t.txt"}
        << "无法写入记录文件 /nonexistent/t.txt：No such file or directory";
}

void TestCli::usageErrorsExitTwo() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    ProgramFolder folder("");
    const Run run = folder.run(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.trimmed(), error);
    QCOMPARE(run.out, QString());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
