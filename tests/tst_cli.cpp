// The command line: the port check's verdicts and sysfs survey, and the program run as a
// technician runs it, with config.ini beside a copy of it, no display, and the simulated splicer
// on a pseudo-terminal.
#include "cli/PortCheck.h"
#include "config/Config.h"
#include "kit/PtyPair.h"
#include "kit/WindowFixture.h"
#include "main/SpinEdit.h"
#include "paramset/ParamSet.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
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

    // asUser: a command that runs the program as another user. streams: "stdout read-only"
    // opens standard output for reading only, so nothing written to it gets anywhere; "stdout
    // closed" starts the program without it; "stdin a terminal" gives it a terminal nobody
    // types on as standard input.
    Run run(const QStringList& args, const QStringList& asUser = {},
            const QString& streams = {}) const {
        QProcess process;
        std::optional<PtyPair> terminal;
        if (streams == "stdout read-only")
            process.setChildProcessModifier(
                [] { ::dup2(::open("/dev/null", O_RDONLY | O_CLOEXEC), STDOUT_FILENO); });
        else if (streams == "stdout closed")
            process.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
        else if (streams == "stdin a terminal")
            process.setChildProcessModifier([slave = terminal.emplace().SlavePath()] {
                ::dup2(::open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC), STDIN_FILENO);
            });
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
        // A program still running when the time is up has no exit code: it must not pass for 0.
        const bool finished = process.waitForFinished(20000);
        return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

// The lines of a [Param] section as saving writes them, whatever the line ends.
QStringList paramLines(const QString& text) {
    QStringList lines = text.split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    return lines.mid(lines.indexOf("[Param]"));
}

SimulatedSplicer::Options firmware(uint16_t version) {
    SimulatedSplicer::Options options;
    options.firmware = version;
    return options;
}

QString path(const SimulatedSplicer& sim) {
    return QString::fromStdString(sim.SlavePath());
}

// What each frame a splicer received asks for: the command code, or "4B/" and the block length.
QStringList requests(const SimulatedSplicer& sim) {
    QStringList out;
    for (const auto& f : sim.Frames())
        out << (uint8_t(f.bytes[1]) == 0x4B ? QStringLiteral("4B/%1").arg(uint8_t(f.bytes[2]))
                                            : Hex(f.bytes.mid(3, 1)));
    return out;
}

// A set as --read writes it, comment lines included, with the core reset amounts and the push
// length given.
QByteArray setToWrite(const QByteArray& adjust, const QByteArray& push) {
    static const QByteArray set =
        "; 设备ID：SPL2026001\n[Param]\nHeat=70\nCurrent1=20\nCurrent2=25\n"
        "Current3=30\nCurrent4=33\nCurrent5=99\nTime1=15\nTime2=25\n"
        "Time3=35\nTime4=45\nTime5=150\nPushLeft=31\nPushRight=32\n"
        "AdjustLeft=ADJ\nAdjustRight=ADJ\ncbpullpush=0\ncbClearDust=0\n"
        "cbAdjustReset=1\nedtDustCurrent=12\nedtDustTime=22\n"
        "edtFusePushLength=PUSH\nedtFusePushSpeed=9\n";
    return QByteArray(set).replace("ADJ", adjust).replace("PUSH", push);
}

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
    void readPrintsWhatTheWindowSaves();
    void writeThenReadGivesTheSetBack_data();
    void writeThenReadGivesTheSetBack();
    void failuresExitWithTheirCode_data();
    void failuresExitWithTheirCode();
    void probeTellsWhereASplicerAnswers();
    void readBackComparesTheBytesSent_data();
    void readBackComparesTheBytesSent();
    void outputGoesWhereAsked_data();
    void outputGoesWhereAsked();
};

void TestCli::openVerdict_data() {
    QTest::addColumn<int>("osError");
    QTest::addColumn<QString>("verdict"); // <path> for the device's path
    QTest::newRow("opened") << 0 << "可以打开";
    QTest::newRow("EACCES") << EACCES
                            << "无权限：运行 driver/install，或把用户加入 dialout 组后重新登录";
    QTest::newRow("EPERM") << EPERM
                           << "无权限：运行 driver/install，或把用户加入 dialout 组后重新登录";
    QTest::newRow("EBUSY") << EBUSY << "被其他程序占用：先关闭它（fuser -v <path> 可查出是谁）";
    QTest::newRow("EWOULDBLOCK") << EWOULDBLOCK
                                 << "被其他程序占用：先关闭它（fuser -v <path> 可查出是谁）";
    QTest::newRow("ENOENT") << ENOENT << "设备不存在";
    QTest::newRow("EIO") << EIO << "打不开：Input/output error";
}

void TestCli::openVerdict() {
    QFETCH(int, osError);
    QFETCH(QString, verdict);
    // A device that is missing has no group of its own: dialout is advised.
    const QTemporaryDir dir;
    const QString device = dir.filePath("ttyUSB0");
    QCOMPARE(cli::OpenVerdict(osError, device), QString(verdict).replace("<path>", device));
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
    QTest::newRow("unknown") << QStringList{"--list", "--bogus"} << "未知选项：--bogus";
    QTest::newRow("no value") << QStringList{"--read", "--port"} << "--port 缺少值";
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

void TestCli::readPrintsWhatTheWindowSaves() {
    // Values that round (a current of 512 is 12.5), a check-box byte of 2, a fine-scale amount.
    QByteArray block = SimulatedSplicer::DefaultFactorySet();
    block.replace(3, 2, QByteArray::fromHex("0002")).replace(25, 2, QByteArray::fromHex("2003"));
    block[29] = 2;
    WindowFixture f;
    f.AddSplicer(3).SetBlock(block);
    f.Connect(3);
    QTRY_COMPARE(f.Spin("edtCurrent1")->text(), QStringLiteral("12"));
    f.window->DisconnectDevice();
    f.window->btnSaveClick();

    ProgramFolder folder("");
    const QString trace = folder.dir.filePath("trace.txt");
    const Run run = folder.run({"--read", "--port", path(*f.splicers[3]), "--trace", trace});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(paramLines(run.out), paramLines(QString::fromUtf8(f.ConfigBytes())));
    QCOMPARE(paramLines(run.out).size(), 23);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(run.out.section("[Param]", 0, 0).section(' ', 0, -2),
             "; 设备ID：SPL2026001\n; 固件版本：V1.34\n; 熔接次数：1234\n; 日期：" + today);

    QFile file(trace);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList meanings;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts))
        meanings << line.section(' ', 2, 2, QString::SectionSkipEmpty) + ' ' +
                        line.section(" | ", 1);
    QCOMPARE(meanings, (QStringList{"TX 握手", "RX 握手应答", "TX 版本查询", "TX 熔接次数查询",
                                    "TX 当前组别查询", "TX 设备ID查询", "TX 参数读取",
                                    "RX 版本 V1.34", "RX 熔接次数 1234", "RX 当前组别 3",
                                    "RX 设备ID SPL2026001", "RX 参数块 38 字节"}));
}

void TestCli::writeThenReadGivesTheSetBack_data() {
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QByteArray>("adjust"); // core reset amounts and push length already in the
    QTest::addColumn<QByteArray>("push");   // firmware's scale, so loading keeps them
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<int>("lines"); // of the section, that the firmware keeps
    const QStringList connect{"45", "C1", "49", "44", "48", "40"};
    QTest::newRow("1.33") << 133 << QByteArray("120") << QByteArray("7")
                          << connect + QStringList{"C1", "C1", "4B/32", "40"} << 19;
    QTest::newRow("1.34") << 134 << QByteArray("120") << QByteArray("7")
                          << connect + QStringList{"C1", "C1", "C7", "4B/38", "40"} << 23;
    QTest::newRow("1.38") << 138 << QByteArray("960") << QByteArray("56")
                          << connect + QStringList{"C1", "C1", "C7", "4B/38", "40"} << 23;
}

void TestCli::writeThenReadGivesTheSetBack() {
    QFETCH(int, firmware);
    QFETCH(QByteArray, adjust);
    QFETCH(QByteArray, push);
    QFETCH(QStringList, requests);
    QFETCH(int, lines);
    SimulatedSplicer sim(::firmware(uint16_t(firmware)));
    ProgramFolder folder("");
    const QString file = folder.dir.filePath("set.ini");
    const QByteArray set = setToWrite(adjust, push);
    FakeTree::writeFile(file, QString::fromUtf8(set));

    const Run write = folder.run({"--write", file, "--port", path(sim), "--yes"});
    QCOMPARE(write.err, QString());
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(::requests(sim), requests);
    const Run read = folder.run({"--read", "--port", path(sim)});
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(paramLines(read.out).mid(0, lines), paramLines(QString::fromUtf8(set)).mid(0, lines));
}

void TestCli::failuresExitWithTheirCode_data() {
    QTest::addColumn<QString>("line");     // "silent": nothing answers; "held": another program
    QTest::addColumn<QStringList>("args"); // holds it; "splicer": the simulated splicer
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // the last line on standard error
    QTest::addColumn<int>("blocksWritten");
    QTest::newRow("search, silent")
        << "silent" << QStringList{"--read"} << 1 << "未发现有设备连接！" << 0;
    QTest::newRow("port, silent") << "silent" << QStringList{"--read", "--port", "<line>"} << 1
                                  << "未发现有设备连接！" << 0;
    QTest::newRow("write, silent")
        << "silent" << QStringList{"--write", "<set>", "--port", "<line>"} << 1
        << "未发现有设备连接！" << 0;
    QTest::newRow("held") << "held" << QStringList{"--read", "--port", "<line>"} << 2
                          << "Unable to open com port (win error code: 11)" << 0;
    QTest::newRow("search, held") << "held" << QStringList{"--read"} << 2
                                  << "Unable to open com port (win error code: 11)" << 0;
    QTest::newRow("not confirmed")
        << "splicer" << QStringList{"--write", "<set>", "--port", "<line>"} << 2
        << "没有写入：未确认" << 0;
    QTest::newRow("no such file") << "splicer"
                                  << QStringList{"--write", "/nonexistent/set.ini", "--yes"} << 2
                                  << "无法读取 /nonexistent/set.ini：No such file or directory"
                                  << 0;
    QTest::newRow("set not integer")
        << "splicer" << QStringList{"--write", "<config>", "--port", "<line>", "--yes"} << 2
        << "'' is not a valid integer value" << 0;
}

void TestCli::failuresExitWithTheirCode() {
    QFETCH(QString, line);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(int, blocksWritten);
    PtyPair pty;
    std::optional<SimulatedSplicer> sim;
    if (line == "splicer")
        sim.emplace(SimulatedSplicer::Options{});
    const QString linePath = sim ? path(*sim) : QString::fromStdString(pty.SlavePath());
    const int holder =
        line == "held" ? ::open(linePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC)
                       : -1;
    const auto release = qScopeGuard([holder] { ::close(holder); });
    QVERIFY(line != "held" || ::flock(holder, LOCK_EX | LOCK_NB) == 0);
    ProgramFolder folder("[ports]\nCOM3=" + linePath.toUtf8() + "\n");
    FakeTree::writeFile(folder.dir.filePath("set.ini"), QString::fromUtf8(setToWrite("100", "5")));
    args.replaceInStrings("<line>", linePath)
        .replaceInStrings("<set>", folder.dir.filePath("set.ini"))
        .replaceInStrings("<config>", folder.dir.filePath("config.ini"));
    const Run run = folder.run(args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.trimmed().section('\n', -1), error);
    QCOMPARE(run.out, QString());
    if (sim)
        QCOMPARE(::requests(*sim).filter("4B/").size(), blocksWritten);
}

void TestCli::probeTellsWhereASplicerAnswers() {
    SimulatedSplicer sim(firmware(138));
    PtyPair silent;
    ProgramFolder folder("[ports]\nCOM3=" + path(sim).toUtf8() + "\nCOM4=" +
                         QByteArray(silent.SlavePath().c_str()) + "\nCOM6=/nonexistent/tty\n");
    const Run run = folder.run({"--list", "--probe"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lineOf(run.out, "COM3").simplified(),
             "COM3 " + path(sim) + " config.ini 可以打开；熔接机应答，固件 V1.38");
    QCOMPARE(lineOf(run.out, "COM4").simplified(), "COM4 " +
                                                       QString::fromStdString(silent.SlavePath()) +
                                                       " config.ini 可以打开；没有熔接机应答");
    QCOMPARE(lineOf(run.out, "COM6").simplified(),
             QStringLiteral("COM6 /nonexistent/tty config.ini 设备不存在"));
}

void TestCli::readBackComparesTheBytesSent_data() {
    QTest::addColumn<int>("offset"); // the byte that comes back changed
    QTest::addColumn<int>("count");  // bytes sent
    QTest::addColumn<QStringList>("differing");
    QTest::newRow("same") << -1 << 38 << QStringList{};
    QTest::newRow("current") << 3 << 38 << QStringList{"Current1"};
    QTest::newRow("high byte") << 6 << 38 << QStringList{"Time1"};
    QTest::newRow("last byte") << 37 << 38 << QStringList{"edtFusePushSpeed"};
    QTest::newRow("not sent") << 33 << 32 << QStringList{};
    QTest::newRow("last sent") << 31 << 32 << QStringList{"cbAdjustReset"};
    QTest::newRow("half a field sent") << 33 << 33 << QStringList{};
    QTest::newRow("fixed byte") << 2 << 38 << QStringList{"第 2 字节"};
}

void TestCli::readBackComparesTheBytesSent() {
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(QStringList, differing);
    const QByteArray sent = SimulatedSplicer::DefaultFactorySet();
    QByteArray back = sent;
    if (offset >= 0)
        back[offset] = char(back[offset] ^ 0x40);
    QStringList names;
    for (const params::Difference& d :
         params::Differences(FusionParams::Decode(sent), FusionParams::Decode(back), count))
        names << d.name;
    QCOMPARE(names, differing);
}

void TestCli::outputGoesWhereAsked_data() {
    QTest::addColumn<QStringList>("args"); // <pipe>: a named pipe with a reader waiting
    QTest::addColumn<QString>("streams");  // the program's standard streams, as run() takes them
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    const QString unwritable = "无法写入标准输出：Bad file descriptor";
    const QStringList read{"--read", "--port", "<line>"};
    QTest::newRow("read, stdout read-only") << read << "stdout read-only" << 2 << unwritable;
    QTest::newRow("read, stdout closed") << read << "stdout closed" << 2 << unwritable;
    QTest::newRow("list, stdout read-only")
        << QStringList{"--list"} << "stdout read-only" << 2 << unwritable;
    QTest::newRow("help, stdout closed")
        << QStringList{"--help"} << "stdout closed" << 2 << unwritable;
    QTest::newRow("out, a pipe") << read + QStringList{"--out", "<pipe>"} << "" << 0 << "";
    // The question would go where nobody sees it: not asked, not written.
    QTest::newRow("write, question not seen")
        << QStringList{"--write", "<set>", "--port", "<line>"} << "stdin a terminal" << 2
        << "你确定要写入数据到设备？ 不是在终端上运行，无法确认：按“否”处理\n没有写入：未确认";
}

void TestCli::outputGoesWhereAsked() {
    QFETCH(QStringList, args);
    QFETCH(QString, streams);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    SimulatedSplicer sim(SimulatedSplicer::Options{});
    ProgramFolder folder("[ports]\nCOM3=" + path(sim).toUtf8() + "\n");
    const QString pipe = folder.dir.filePath("pipe");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    const int reader =
        ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const auto closeReader = qScopeGuard([reader] { ::close(reader); });
    FakeTree::writeFile(folder.dir.filePath("set.ini"), QString::fromUtf8(setToWrite("100", "5")));
    args.replaceInStrings("<line>", path(sim))
        .replaceInStrings("<pipe>", pipe)
        .replaceInStrings("<set>", folder.dir.filePath("set.ini"));
    const Run run = folder.run(args, {}, streams);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.trimmed(), error);
    // The pipe got the set, and is still the pipe: not replaced by a file holding it.
    char received[4096];
    const ssize_t n = ::read(reader, received, sizeof received);
    QCOMPARE(n > 0 && QByteArray(received, int(n)).contains("\n[Param]\n"), exitCode == 0);
    struct stat node {};
    QVERIFY(::lstat(QFile::encodeName(pipe).constData(), &node) == 0 && S_ISFIFO(node.st_mode));
}

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
