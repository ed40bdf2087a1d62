// The command line: the port check's verdicts and sysfs survey, and the program run as a
// technician runs it, with config.ini beside a copy of it, no display, and the simulated splicer
// on a pseudo-terminal.
#include "ch341/PortSurvey.h"
#include "cli/SplicerExchange.h"
#include "cli/StopSignals.h"
#include "cli/TextFormat.h"
#include "config/Config.h"
#include "kit/DistinctBlock.h"
#include "kit/FakeLineDevice.h"
#include "kit/FakeTree.h"
#include "kit/PlantedPath.h"
#include "kit/PtyPair.h"
#include "kit/WindowFixture.h"
#include "main/SpinEdit.h"
#include "paramset/ParamSet.h"
#include "paramset/SetFile.h"
#include "startup/ProgramPlaces.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
    QString shown; // on the terminal given as standard input
};

// A copy of the program in a scratch folder with the given config.ini, run without a display.
struct ProgramFolder {
    QTemporaryDir dir;
    QString program = dir.filePath("spliceon");

    explicit ProgramFolder(const QByteArray& configIni) {
        QFile::copy(QStringLiteral(SPLICEON_PROGRAM), program);
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther |
                                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        WriteFile(dir.filePath("config.ini"), configIni);
    }

    // Starts the program in a session of its own, so that it has no controlling terminal.
    // asUser: a command that runs the program as another user. streams: "stdout read-only"
    // opens standard output for reading only, so nothing written to it gets anywhere; "stdout
    // closed" starts the program without it; "stdout a pipe nobody reads" without a reader on
    // it; "stdin a terminal" gives it terminal as standard input, on which "stdin a terminal,
    // typing n" has typed "n" and Enter.
    void start(QProcess& process, const QStringList& args, const QStringList& asUser = {},
               const QString& streams = {}, PtyPair* terminal = nullptr) const {
        if (streams == "stdout read-only")
            process.setChildProcessModifier([] {
                ::setsid();
                ::dup2(::open("/dev/null", O_RDONLY | O_CLOEXEC), STDOUT_FILENO);
            });
        else if (streams == "stdout closed")
            process.setChildProcessModifier([] {
                ::setsid();
                ::close(STDOUT_FILENO);
            });
        else if (streams == "stdout a pipe nobody reads")
            process.setChildProcessModifier([] {
                ::setsid();
                int ends[2];
                if (::pipe(ends) == 0 && ::close(ends[0]) == 0)
                    ::dup2(ends[1], STDOUT_FILENO);
            });
        else if (streams == "hang-ups ignored") // as nohup starts it
            process.setChildProcessModifier([] {
                ::setsid();
                ::signal(SIGHUP, SIG_IGN);
            });
        else if (streams.startsWith("stdin a terminal"))
            process.setChildProcessModifier([slave = terminal->SlavePath()] {
                ::setsid();
                ::dup2(::open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC), STDIN_FILENO);
            });
        else
            process.setChildProcessModifier([] { ::setsid(); });
        if (streams.startsWith("stdin a terminal, typing "))
            terminal->Write(streams.section("typing ", 1).toUtf8() + '\n');
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
    }

    // input: what the program reads on standard input, through a pipe.
    Run run(const QStringList& args, const QStringList& asUser = {}, const QString& streams = {},
            const QByteArray& input = {}) const {
        QProcess process;
        PtyPair terminal;
        start(process, args, asUser, streams, &terminal);
        process.write(input);
        process.closeWriteChannel();
        return finish(process, terminal);
    }

    static Run finish(QProcess& process, PtyPair& terminal) {
        // A program still running when the time is up has no exit code: it must not pass for 0.
        const bool finished = process.waitForFinished(20000);
        return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError()),
                QString::fromUtf8(terminal.ReadAvailable(0))};
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

// Runs the program as a user with this messages locale (see ProgramFolder::run's asUser).
QStringList inLocale(const QString& locale) {
    return {"env", "LANGUAGE=", "LC_ALL=", "LANG=" + locale};
}

// How a port this test program holds open stands for the program it runs.
QString heldByThisTest() {
    return QStringLiteral("被其他程序占用：tst_cli (%1)；先关闭它")
        .arg(QCoreApplication::applicationPid());
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
    void settingsFileFollowsTheProgramFolder_data();
    void settingsFileFollowsTheProgramFolder();
    void usageErrorsExitTwo_data();
    void usageErrorsExitTwo();
    void messagesFollowTheLocale_data();
    void messagesFollowTheLocale();
    void windowOptionsLeaveTheWindow_data();
    void windowOptionsLeaveTheWindow();
    void readPrintsWhatTheWindowSaves();
    void exchangeReportsLineErrorsWithTheBytes();
    void writeThenReadGivesTheSetBack_data();
    void writeThenReadGivesTheSetBack();
    void readThenWriteLeavesTheBlock_data();
    void readThenWriteLeavesTheBlock();
    void setRefusedBeforeTheBlock_data();
    void setRefusedBeforeTheBlock();
    void rangesAreTheWindowsFields_data();
    void rangesAreTheWindowsFields();
    void failuresExitWithTheirCode_data();
    void failuresExitWithTheirCode();
    void probeTellsWhereASplicerAnswers();
    void diffAndDryRunSendNoBlock_data();
    void diffAndDryRunSendNoBlock();
    void readBackComparesTheBytesSent_data();
    void readBackComparesTheBytesSent();
    void outputGoesWhereAsked_data();
    void outputGoesWhereAsked();
    void stopSignalClosesThePort_data();
    void stopSignalClosesThePort();
    void listJsonHoldsEachPort_data();
    void listJsonHoldsEachPort();
    void readJsonHoldsTheTextsValues();
    void waitTakesASplicerPluggedInLater_data();
    void waitTakesASplicerPluggedInLater();
    void serviceRecordKeepsTheRuns();
    void serviceRecordSurvivesAKill();
};

void TestCli::openVerdict_data() {
    QTest::addColumn<int>("osError");
    QTest::addColumn<QStringList>("holders");
    QTest::addColumn<bool>("modemManager");
    QTest::addColumn<QString>("verdict"); // <path> for the device's path
    const QStringList none;
    QTest::newRow("opened") << 0 << none << false << "可以打开";
    QTest::newRow("EACCES") << EACCES << none << false
                            << "无权限：运行 driver/install，或把用户加入 dialout 组后重新登录";
    QTest::newRow("EPERM") << EPERM << none << false
                           << "无权限：运行 driver/install，或把用户加入 dialout 组后重新登录";
    QTest::newRow("EBUSY") << EBUSY << none << false
                           << "被其他程序占用：先关闭它（fuser -v <path> 可查出是谁）";
    QTest::newRow("EWOULDBLOCK") << EWOULDBLOCK << none << false
                                 << "被其他程序占用：先关闭它（fuser -v <path> 可查出是谁）";
    QTest::newRow("held, holders known")
        << EBUSY << QStringList{"minicom (4242)", "cat (7)"} << false
        << "被其他程序占用：minicom (4242), cat (7)；先关闭它";
    QTest::newRow("held, ModemManager runs")
        << EBUSY << none << true
        << "被其他程序占用，可能是 ModemManager 在探测它：运行 driver/install 装上 udev "
           "规则，它就不再碰转换器（fuser -v <path> 可查出是谁）";
    QTest::newRow("ENOENT") << ENOENT << none << false << "设备不存在";
    QTest::newRow("ENODEV") << ENODEV << none << false << "设备不存在";
    QTest::newRow("ENOTTY") << ENOTTY << none << false << "不是串口设备：只打开终端设备（tty）";
    QTest::newRow("EIO") << EIO << none << false << "打不开：Input/output error";
}

void TestCli::openVerdict() {
    QFETCH(int, osError);
    QFETCH(QStringList, holders);
    QFETCH(bool, modemManager);
    QFETCH(QString, verdict);
    // A device that is missing has no group of its own: dialout is advised.
    const QTemporaryDir dir;
    const QString device = dir.filePath("ttyUSB0");
    serial::TOpenFailureFacts facts = serial::LookUpOpenFailure(osError, device);
    QVERIFY(facts.holders.isEmpty()); // nobody has a missing device open
    facts.holders = holders;
    facts.modemManager = modemManager;
    QCOMPARE(serial::OpenFailureText(osError, device, facts),
             QString(verdict).replace("<path>", device));
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
    const ch341::TPortMap ports(tree.dir.filePath("config.ini")); // no ports mapped
    tree.add(QStringLiteral("1-2"), id, tty, driver, node);
    const QStringList lines = cli::TTextFormat()
                                  .PortList(ch341::SurveyPorts(ports, tree.layout, brltty))
                                  .split('\n', Qt::SkipEmptyParts);
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
        "\nCOM4=" + QByteArray(held.SlavePath().c_str()) +
        "\nCOM6=/nonexistent/tty\nCOM7=/nonexistent/serial/by-id/usb-1a86_USB_Serial-if00\n"
        "COM8=/nonexistent/\x1b[2J\n");
    QDir(folder.dir.path()).mkpath("driver");
    const QString marker = folder.dir.filePath("installer-ran");
    WriteFile(folder.dir.filePath("driver/install"),
              "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
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
             "COM4 " + heldPath + " config.ini " + heldByThisTest());
    QCOMPARE(lineOf(run.out, "COM6").simplified(),
             QStringLiteral("COM6 /nonexistent/tty config.ini 设备不存在"));
    QCOMPARE(lineOf(run.out, "COM8").simplified(),
             QStringLiteral("COM8 /nonexistent/\\x1B[2J config.ini 设备不存在"));
    // A path longer than the column widens it for every line.
    for (const char* com : {"COM3", "COM4", "COM6"})
        QCOMPARE(lineOf(run.out, com).indexOf(" config.ini "),
                 lineOf(run.out, "COM7").indexOf(" config.ini "));
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
    WriteFile(locked, {});
    QVERIFY(QFile::setPermissions(locked, {}));
    QFile::setPermissions(devices.path(), QFile::permissions(devices.path()) | QFile::ExeOther);
    ProgramFolder folder("[ports]\nCOM5=" + locked.toUtf8() + "\n");
    // The scratch folder is its owner's alone: the other user must read its config.ini.
    if (!asUser.isEmpty())
        QVERIFY(::chown(QFile::encodeName(folder.dir.path()).constData(), 65534, 65534) == 0);

    const Run run = folder.run({"--list"}, asUser);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lineOf(run.out, "COM5").simplified(),
             "COM5 " + locked +
                 " config.ini 无权限：运行 driver/install，或把用户加入 dialout 组后重新登录");
}

void TestCli::settingsFileFollowsTheProgramFolder_data() {
    QTest::addColumn<bool>("writable"); // whether the program's user may write its folder
    QTest::newRow("portable") << true;
    QTest::newRow("portable, not writable") << false;
}

void TestCli::settingsFileFollowsTheProgramFolder() {
    QFETCH(bool, writable);
    ProgramFolder folder("");
    QStringList asUser; // root may write anywhere: a folder it owns is not writable to nobody
    if (!writable && ::geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("running as root without setpriv to drop to another user");
        asUser = {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    const QFile::Permissions mode = QFile::permissions(folder.dir.path());
    if (!writable)
        QFile::setPermissions(folder.dir.path(), mode & ~(QFile::WriteOwner | QFile::WriteUser));
    const Run run = folder.run({"--help"}, asUser);
    QFile::setPermissions(folder.dir.path(), mode);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.split('\n').filter(QRegularExpression("^配置文件：")),
             QStringList{"配置文件：" + folder.dir.filePath("config.ini")});
}

void TestCli::usageErrorsExitTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("usage"); // follows the error
    QTest::newRow("no mode") << QStringList{"--yes"} << "请给出 --list、--read、--write、--diff、--history、--report 或 --sync-record 中的一个" << true;
    QTest::newRow("two modes") << QStringList{"--list", "--read"} << "请给出 --list、--read、--write、--diff、--history、--report 或 --sync-record 中的一个" << true;
    QTest::newRow("probe alone") << QStringList{"--read", "--probe"}
                                 << "--probe 只能与 --list 一起用" << true;
    QTest::newRow("unknown") << QStringList{"--list", "--bogus"} << "未知选项：--bogus" << true;
    QTest::newRow("no value") << QStringList{"--read", "--port"} << "--port 缺少值" << true;
    QTest::newRow("trace unwritable")
        << QStringList{"--list", "--trace=/nonexistent/t.txt"}
        << "无法写入记录文件 /nonexistent/t.txt：No such file or directory" << false;
    QTest::newRow("unknown alone") << QStringList{"--raed"} << "未知选项：--raed" << true;
    QTest::newRow("window option with ours")
        << QStringList{"-platform", "xcb", "--read"} << "未知选项：--platform" << true;
    QTest::newRow("stray word") << QStringList{"raed"} << "多余的参数：raed" << true;
    QTest::newRow("empty port") << QStringList{"--read", "--port", ""} << "--port 的值是空的"
                                << true;
    QTest::newRow("empty out") << QStringList{"--read", "--out="} << "--out 的值是空的" << true;
    QTest::newRow("port twice") << QStringList{"--read", "--port", "COM1", "--port=COM2"}
                                << "--port 只能给一次" << true;
    QTest::newRow("relative port")
        << QStringList{"--read", "--port", "./notes.txt"}
        << "--port 只接受 COMn 或以 / 开头的设备路径：./notes.txt" << true;
    QTest::newRow("bare name") << QStringList{"--write", "set.ini", "--port", "sda"}
                               << "--port 只接受 COMn 或以 / 开头的设备路径：sda" << true;
    QTest::newRow("out is trace") << QStringList{"--read", "--out", "a/../x", "--trace", "x"}
                                  << "--out 与 --trace 不能是同一个文件" << true;
    QTest::newRow("wait with a port") << QStringList{"--read", "--wait", "5", "--port", "COM3"}
                                      << "--wait 不能与 --port 一起用：给了端口就不搜索" << true;
    QTest::newRow("wait with list")
        << QStringList{"--list", "--wait", "5"} << "--wait 只用于 --read、--write 和 --diff" << true;
    QTest::newRow("wait, no number") << QStringList{"--read", "--wait", "1s"}
                                     << "--wait 的值须是 1 到 86400 之间的整数（秒）：1s" << true;
    QTest::newRow("trace format unknown")
        << QStringList{"--list", "--trace", "t", "--trace-format", "pcap"}
        << "--trace-format 只能是 text 或 pcapng：pcap" << true;
    QTest::newRow("trace format alone") << QStringList{"--list", "--trace-format", "pcapng"}
                                        << "--trace-format 只用于 --trace" << true;
    QTest::newRow("json with write")
        << QStringList{"--write", "set.ini", "--json"}
        << "--json 只用于 --list、--read、--diff 和 --history" << true;
    QTest::newRow("out is trace, one inode")
        << QStringList{"--read", "--out", "/dev/stdout", "--trace", "/proc/self/fd/1"}
        << "--out 与 --trace 不能是同一个文件" << true;
}

void TestCli::usageErrorsExitTwo() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    QFETCH(bool, usage);
    ProgramFolder folder("");
    const Run run = folder.run(args);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.section('\n', 0, 0), error);
    QCOMPARE(run.err.contains("  --write <FILE>"), usage);
    QCOMPARE(run.out, QString());
}

void TestCli::messagesFollowTheLocale_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // the first line on standard error
    QTest::newRow("English usage")
        << "en_US.UTF-8" << QStringList{"--raed"} << 2 << "Unknown option: --raed";
    QTest::newRow("English missing value")
        << "en_US.UTF-8" << QStringList{"--read", "--port"} << 2 << "--port needs a value";
    QTest::newRow("English help") << "de_DE.UTF-8" << QStringList{"--help"} << 0 << "";
    QTest::newRow("English wait runs out")
        << "en_US.UTF-8" << QStringList{"--read", "--wait", "1", "--quiet"} << 1
        << "No splicer found!";
    QTest::newRow("English set input")
        << "en_GB" << QStringList{"--write", "/nonexistent/set.ini"} << 2
        << "Cannot read /nonexistent/set.ini: No such file or directory";
    // Qt's own Chinese words its complaints differently from its English.
    QTest::newRow("Chinese missing value")
        << "zh_CN.UTF-8" << QStringList{"--read", "--port"} << 2 << "--port 缺少值";
    QTest::newRow("Chinese unexpected value")
        << "zh_TW.UTF-8" << QStringList{"--list", "--probe=3"} << 2 << "--probe 不带值";
}

void TestCli::messagesFollowTheLocale() {
    QFETCH(QString, locale);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    ProgramFolder folder("");
    const Run run = folder.run(args, inLocale(locale));
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.section('\n', 0, 0), error);
    if (!locale.startsWith("zh"))
        QCOMPARE(QString(run.out + run.err).count(QRegularExpression("[\\x{3000}-\\x{FFEF}]")), 0);
}

void TestCli::windowOptionsLeaveTheWindow_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("platform") << QStringList{"-platform", "xcb"};
    QTest::newRow("display, reverse") << QStringList{"-display", ":77", "-reverse"};
    QTest::newRow("two dashes, =") << QStringList{"--style=fusion", "--qwindowtitle", "--list"};
}

void TestCli::windowOptionsLeaveTheWindow() {
    QFETCH(QStringList, args);
    ProgramFolder folder("");
    // The window is tried: without a display the toolkit gives up.
    const Run run = folder.run(args);
    QCOMPARE(run.exitCode, -1);
    QVERIFY2(run.err.contains("could not connect to display"), qPrintable(run.err));
}

void TestCli::readPrintsWhatTheWindowSaves() {
    // Values that round (a current of 512 is 12.5), a check-box byte of 2, a fine-scale amount.
    SimulatedSplicer::Options options;
    options.block = kDistinctBlock;
    options.block.replace(3, 2, QByteArray::fromHex("0002"))
        .replace(25, 2, QByteArray::fromHex("2003"));
    options.block[29] = 2;
    // A device ID meant to steer the terminal, climb out of an archive folder and take the place
    // of the texts after it.
    options.deviceId = "../%1\x1B[\xC2\x9B\x7F";
    const QString shownId = "../%1\\x1B[\\xC2\\x9B\\x7F";
    WindowFixture f;
    f.AddSplicer(3, options);
    f.Connect(3);
    QTRY_COMPARE(f.Spin("edtCurrent1")->text(), QStringLiteral("12"));
    QVERIFY(f.window->findChild<QLabel*>("StatusPanel1")
                ->toolTip()
                .startsWith("ID: " + shownId + '\n'));
    f.window->DisconnectDevice();
    f.window->btnSaveClick();

    ProgramFolder folder("");
    const QString trace = folder.dir.filePath("trace.txt");
    const Run run = folder.run({"--read", "--port", path(*f.splicers[3]), "--trace", trace});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(paramLines(run.out), paramLines(QString::fromUtf8(f.ConfigBytes())));
    // Not only the same as the window: the values the block holds, each under its own key.
    const QByteArray read = QByteArray(kDistinctSet)
                                .replace("Current1=21", "Current1=12")
                                .replace("AdjustLeft=300", "AdjustLeft=800");
    QCOMPARE(paramLines(run.out), paramLines(QString::fromUtf8(read)));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QCOMPARE(run.out.section("[Device]", 0, 0).section(' ', 0, -2),
             "; 设备ID：" + shownId + "\n; 固件版本：V1.34\n; 熔接次数：1234\n; 日期：" + today);
    QVERIFY(run.out.contains("\nID=" + shownId + "\nFusionCount=1234\nDate=" + today + ' '));
    // Data reads the same in every language; the comments follow it.
    const Run english = folder.run({"--read", "--port", path(*f.splicers[3])}, inLocale("en_US"));
    static const QRegularExpression comments("^;.*\n|Date=.*\n",
                                             QRegularExpression::MultilineOption);
    QCOMPARE(QString(english.out).remove(comments), QString(run.out).remove(comments));
    QVERIFY(english.out.startsWith("; Device ID: " + shownId + "\n; Firmware: V1.34\n"));

    QFile file(trace);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(
        lines.takeFirst().section("：", 1),
        QStringList({folder.program, "--read", "--port", path(*f.splicers[3]), "--trace", trace})
            .join(' '));
    QStringList meanings;
    for (const QString& line : lines)
        meanings << line.section(' ', 2, 2, QString::SectionSkipEmpty) + ' ' +
                        line.section(" | ", 1);
    QCOMPARE(meanings, (QStringList{"TX 握手", "RX 握手应答", "TX 版本查询", "TX 熔接次数查询",
                                    "TX 当前组别查询", "TX 设备ID查询", "TX 参数读取",
                                    "RX 版本 V1.34", "RX 熔接次数 1234", "RX 当前组别 3",
                                    "RX 设备ID " + shownId, "RX 参数块 38 字节"}));
}

void TestCli::writeThenReadGivesTheSetBack_data() {
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QByteArray>("adjust"); // core reset amounts and push length already in the
    QTest::addColumn<QByteArray>("push");   // firmware's scale, so loading keeps them
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<int>("lines"); // of the section, that the firmware keeps
    const QStringList connect{"45", "C1", "49", "44", "48", "40"};
    QTest::newRow("1.33") << 133 << QByteArray("120") << QByteArray("7")
                          << connect + QStringList{"C1", "4B/32", "40"} << 19;
    QTest::newRow("1.34") << 134 << QByteArray("120") << QByteArray("7")
                          << connect + QStringList{"C1", "C7", "4B/38", "40"} << 23;
    QTest::newRow("1.38") << 138 << QByteArray("960") << QByteArray("56")
                          << connect + QStringList{"C1", "C7", "4B/38", "40"} << 23;
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
    WriteFile(file, set);

    const Run write = folder.run({"--write", file, "--port", path(sim), "--yes", "--quiet"});
    QCOMPARE(write.err, QString());
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(::requests(sim), requests);
    const Run read = folder.run({"--read", "--port", path(sim)});
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(paramLines(read.out).mid(0, lines), paramLines(QString::fromUtf8(set)).mid(0, lines));
}

void TestCli::readThenWriteLeavesTheBlock_data() {
    QTest::addColumn<int>("from");   // firmware read from
    QTest::addColumn<int>("to");     // firmware written to, whose block differs in every byte
    QTest::addColumn<int>("delay");  // of its answers, ms
    QTest::addColumn<bool>("piped"); // the set on standard input
    QTest::addColumn<bool>("json");  // read with --json
    QTest::newRow("1.33") << 133 << 133 << 0 << false << false;
    QTest::newRow("1.34") << 134 << 134 << 0 << false << false;
    QTest::newRow("1.38, amounts of 250 and below") << 138 << 138 << 0 << false << false;
    QTest::newRow("1.33 to 1.34: 32 bytes held") << 133 << 134 << 0 << false << false;
    QTest::newRow("1.38 to 1.34: scaled") << 138 << 134 << 0 << false << false;
    QTest::newRow("answers after 150 ms, piped") << 134 << 134 << 150 << true << false;
    QTest::newRow("1.38 to 1.34 as JSON, piped") << 138 << 134 << 0 << true << true;
}

void TestCli::readThenWriteLeavesTheBlock() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, delay);
    QFETCH(bool, piped);
    QFETCH(bool, json);
    // Heat 120, Current1 1000 and Time1 505 (which the window shows rounded, as 24 and 50),
    // AdjustLeft 200, AdjustRight 236, push length 20, push speed 9.
    QByteArray read = SimulatedSplicer::DefaultFactorySet();
    read.replace(0, 2, "\xE0\x2E").replace(3, 4, "\xE8\x03\xF9\x01");
    read.replace(25, 4, QByteArray("\xC8\x00\xEC\x00", 4));
    read[36] = 20;
    read[37] = 9;
    QByteArray current;
    for (const char c : read)
        current += char(c ^ 0x01);
    SimulatedSplicer source(firmware(uint16_t(from)));
    source.SetBlock(read);
    SimulatedSplicer::Options options = firmware(uint16_t(to));
    options.answerDelayMs = delay;
    SimulatedSplicer target(options);
    target.SetBlock(current);
    ProgramFolder folder("");
    const QString file = folder.dir.filePath("set.ini");
    QCOMPARE(folder
                 .run(QStringList{"--read", "--port", path(source), "--out", file} +
                      (json ? QStringList{"--json"} : QStringList()))
                 .exitCode,
             0);

    QFile set(file);
    QVERIFY(set.open(QIODevice::ReadOnly));
    const Run write =
        folder.run({"--write", piped ? "-" : file, "--port", path(target), "--yes", "--quiet"}, {},
                   {}, piped ? set.readAll() : QByteArray());
    QCOMPARE(write.err, QString());
    QCOMPARE(write.exitCode, 0);
    const int held = from < 134 ? 32 : 38;
    QByteArray expected = read.left(held) + current.mid(held);
    if (from >= 138 && to < 138) // 200 / 8, 236 / 8 and 20 / 8, a half to the even neighbour
        expected.replace(25, 4, QByteArray("\x19\x00\x1E\x00", 4))[36] = 2;
    QCOMPARE(Hex(target.Block()), Hex(expected));
    QCOMPARE(::requests(target).count("C1"), 2); // the connection's and the write's
}

void TestCli::setRefusedBeforeTheBlock_data() {
    QTest::addColumn<QByteArray>("from"); // in the set, replaced by
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QString>("error"); // after "<file>："
    QTest::newRow("Heat 700") << QByteArray("Heat=70\n") << QByteArray("Heat=700\n") << 134
                              << "Heat=700 超出范围（允许 10 到 180）";
    QTest::newRow("check box 2") << QByteArray("cbpullpush=0") << QByteArray("cbpullpush=2") << 134
                                 << "cbpullpush=2 超出范围（允许 0 到 1）";
    QTest::newRow("beyond after scaling")
        << QByteArray("edtFusePushLength=5") << QByteArray("edtFusePushLength=16") << 138
        << "edtFusePushLength=16（换算到固件 138 是 128） 超出范围（允许 0 到 100）";
    QTest::newRow("beyond in the file's own scale, 1.34")
        << QByteArray("AdjustLeft=100") << QByteArray("AdjustLeft=3000") << 134
        << "AdjustLeft=3000 超出范围（允许 0 到 2000）";
    QTest::newRow("duplicate") << QByteArray("Time5=150\n") << QByteArray("Time5=150\ntime5=10\n")
                               << 134 << "[Param] Time5 出现了 2 次";
    QTest::newRow("missing") << QByteArray("Time5=150\n") << QByteArray() << 134
                             << "缺少 [Param] Time5（允许 10 到 150）";
    QTest::newRow("empty") << QByteArray("Time1=15") << QByteArray("Time1=") << 134
                           << "[Param] Time1= 不是整数（允许 10 到 150）";
    QTest::newRow("NUL, ESC") << QByteArray("Time1=15") << QByteArray("Time1=1\0\x1B" "5", 10)
                              << 134 << "[Param] Time1=1\\x00\\x1B5 不是整数（允许 10 到 150）";
    QTest::newRow("no [Param]") << QByteArray("[Param]") << QByteArray("[Para]") << 134
                                << "没有 [Param] 节";
    QTest::newRow("key in a repeated [Param]")
        << QByteArray("Time5=150\n") << QByteArray("[x]\n[param]\nTime5=150\n") << 134
        << "[Param] 节出现了 2 次";
    QTest::newRow("firmware not a number")
        << QByteArray("[Param]") << QByteArray("[Device]\nFirmware=x\nBlock=70\n[Param]") << 134
        << "[Device] Firmware=x 不是整数（允许 0 到 65535）";
    QTest::newRow("[Device] twice")
        << QByteArray("[Param]") << QByteArray("[Device]\nFirmware=134\n[device]\n[Param]") << 134
        << "[Device] 节出现了 2 次";
    QTest::newRow("block with %3")
        << QByteArray("[Param]") << QByteArray("[Device]\nFirmware=134\nBlock=%3\n[Param]") << 134
        << "[Device] Block=%3 不是参数块（至多 38 字节，十六进制）";
}

void TestCli::setRefusedBeforeTheBlock() {
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, firmware);
    QFETCH(QString, error);
    SimulatedSplicer sim(::firmware(uint16_t(firmware)));
    ProgramFolder folder("");
    const QString file = folder.dir.filePath("set.ini");
    QFile set(file);
    QVERIFY(set.open(QIODevice::WriteOnly));
    set.write(setToWrite("100", "5").replace(from, to));
    set.close();
    const Run run = folder.run({"--write", file, "--port", path(sim), "--yes"});
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.trimmed(), file + "：" + error);
    // Only a value in the firmware's scale needs the splicer; no row gets as far as a block.
    QCOMPARE(::requests(sim).isEmpty(), !error.contains("换算"));
    QCOMPARE(::requests(sim).filter("4B/").size(), 0);
}

void TestCli::rangesAreTheWindowsFields_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    for (const QString& row :
         QStringLiteral(
             "Heat 10 180,Current1 1 99,Current2 1 99,Current3 1 99,Current4 1 99,Current5 1 99,"
             "Time1 10 150,Time2 10 150,Time3 10 150,Time4 10 150,Time5 10 150,PushLeft 0 250,"
             "PushRight 0 250,AdjustLeft 0 2000,AdjustRight 0 2000,cbpullpush 0 1,cbClearDust 0 1,"
             "cbAdjustReset 0 1,edtDustCurrent 0 60,edtDustTime 0 30,edtFusePushLength 0 100,"
             "edtFusePushSpeed 2 30")
             .split(','))
        QTest::newRow(qPrintable(row.section(' ', 0, 0)))
            << row.section(' ', 0, 0) << row.section(' ', 1, 1).toInt()
            << row.section(' ', 2, 2).toInt();
}

void TestCli::rangesAreTheWindowsFields() {
    QFETCH(QString, key);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    const auto field = std::ranges::find(
        params::kFields, key, [](const params::Field& f) { return QString::fromLatin1(f.key); });
    QVERIFY(field != params::kFields.end());
    const params::TParamSet defaults =
        params::SetFromBlock(FusionParams::Decode(SimulatedSplicer::DefaultFactorySet()));
    for (const int value : {minimum - 1, minimum, maximum, maximum + 1}) {
        QByteArray set = "[Param]\n";
        for (const auto& [name, text] : params::SavedEntries(defaults))
            set += (name + '=' + (name == key ? QString::number(value) : text) + '\n').toUtf8();
        std::optional<FusionParams> block;
        try { // scaled on firmware 1.38: the limits hold there too
            block = params::BlockForSplicer(params::ParseSetFile("f", set), 138, {});
        } catch (const params::ESetFile& e) {
            QVERIFY(QString::fromUtf8(e.what()).startsWith("f：" + key + '='));
        }
        QCOMPARE(block.has_value(), value >= minimum && value <= maximum);
        if (block && !field->IsFlag() && field->coarseLimit == 0)
            QCOMPARE(field->WindowText(*block), QString::number(value));
    }
    WindowFixture window;
    if (!field->IsFlag()) {
        QCOMPARE(window.Spin(field->control)->minimum(), minimum);
        QCOMPARE(window.Spin(field->control)->maximum(), maximum);
    }
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
    const QString held = "Unable to open com port (win error code: 11)：<line> " + heldByThisTest();
    QTest::newRow("held") << "held" << QStringList{"--read", "--port", "<line>"} << 2 << held << 0;
    QTest::newRow("search, held") << "held" << QStringList{"--read"} << 2 << held << 0;
    QTest::newRow("no such port")
        << "silent" << QStringList{"--read", "--port", "/nonexistent/tty"} << 2
        << "Unable to open com port (win error code: 2)：/nonexistent/tty 设备不存在" << 0;
    QTest::newRow("not confirmed")
        << "splicer" << QStringList{"--write", "<set>", "--port", "<line>"} << 2
        << "没有写入：未确认" << 0;
    QTest::newRow("no such file") << "splicer"
                                  << QStringList{"--write", "/nonexistent/set.ini", "--yes"} << 2
                                  << "无法读取 /nonexistent/set.ini：No such file or directory"
                                  << 0;
    QTest::newRow("config.ini without a set")
        << "splicer" << QStringList{"--write", "<config>", "--port", "<line>", "--yes"} << 2
        << "<config>：没有 [Param] 节" << 0;
    QTest::newRow("block length 0")
        << "no length" << QStringList{"--write", "<set>", "--port", "<line>", "--yes"} << 3
        << "熔接机答复的参数块长度是 0：没有写入任何参数" << 0;
    QTest::newRow("hang-up after the block")
        << "hangs up" << QStringList{"--write", "<set>", "--port", "<line>", "--yes"} << 3
        << "参数块已发出，熔接机可能已存下新参数，但没有读回核对：…" << 1;
    QTest::newRow("over 1 MiB") << "splicer"
                                << QStringList{"--write", "/dev/zero", "--port", "<line>", "--yes"}
                                << 2 << "/dev/zero 大于 1 MiB，不是参数文件" << 0;
}

void TestCli::failuresExitWithTheirCode() {
    QFETCH(QString, line);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(int, blocksWritten);
    PtyPair pty;
    std::optional<SimulatedSplicer> sim;
    SimulatedSplicer::Options options;
    options.blockLength = line == "no length" ? 0 : 38;
    if (line == "splicer" || line == "no length" || line == "hangs up")
        sim.emplace(options);
    // Hangs up once the block has come: the connection's six frames, C1, C7, the block.
    std::thread hangUp([&] {
        if (line == "hangs up" && sim->WaitForFrames(9, 20000))
            sim->HangUp();
    });
    const auto joinHangUp = qScopeGuard([&hangUp] { hangUp.join(); });
    const QString linePath = sim ? path(*sim) : QString::fromStdString(pty.SlavePath());
    const int holder =
        line == "held" ? ::open(linePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC)
                       : -1;
    const auto release = qScopeGuard([holder] { ::close(holder); });
    QVERIFY(line != "held" || ::flock(holder, LOCK_EX | LOCK_NB) == 0);
    ProgramFolder folder("[ports]\nCOM3=" + linePath.toUtf8() + "\n");
    WriteFile(folder.dir.filePath("set.ini"), setToWrite("100", "5"));
    args.replaceInStrings("<line>", linePath)
        .replaceInStrings("<set>", folder.dir.filePath("set.ini"))
        .replaceInStrings("<config>", folder.dir.filePath("config.ini"));
    const Run run = folder.run(args);
    QCOMPARE(run.exitCode, exitCode);
    // "…" ends an error that goes on as the serial component words the failure.
    const QString last = run.err.trimmed().section('\n', -1);
    if (error.endsWith("…"))
        QVERIFY2(last.startsWith(error.chopped(1)), qPrintable(last));
    else
        QCOMPARE(last, error.replace("<line>", linePath)
                           .replace("<config>", folder.dir.filePath("config.ini")));
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
    // Without the splicer nothing answers: a script must be able to tell.
    WriteFile(folder.dir.filePath("config.ini"),
              "[ports]\nCOM4=" + QByteArray(silent.SlavePath().c_str()) + "\n");
    QCOMPARE(folder.run({"--list", "--probe"}).exitCode, 1);
}

void TestCli::diffAndDryRunSendNoBlock_data() {
    QTest::addColumn<QStringList>("args"); // <set>: the splicer's own set as --read wrote it,
    QTest::addColumn<bool>("edited");      // or with Heat 60 made 70 and Time1 50 made 150
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("diff, equal") << QStringList{"--diff", "<set>"} << false << 0 << "" << "";
    QTest::newRow("diff, differs")
        << QStringList{"--diff", "<set>"} << true << 1
        << "Heat               s     60    70\nTime1              0.1s  50    150\n" << "";
    QTest::newRow("diff, JSON") << QStringList{"--diff", "<set>", "--json"} << true << 1
                                << "\"equal\": false" << "";
    QTest::newRow("dry run") << QStringList{"--write", "<set>", "--dry-run"} << true << 0 << ""
                             << "要写入的改动（熔接机 → 文件）：\n  Heat：60 → 70 s\n"
                                "  Time1：50 → 150 0.1s\n只是演习（--dry-run）：没有向熔接机写入参数";
}

void TestCli::diffAndDryRunSendNoBlock() {
    QFETCH(QStringList, args);
    QFETCH(bool, edited);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    SimulatedSplicer sim(firmware(134));
    ProgramFolder folder("");
    const QString file = folder.dir.filePath("set.ini");
    QCOMPARE(folder.run({"--read", "--port", path(sim), "--out", file}).exitCode, 0);
    if (edited)
        WriteFile(file, ReadFile(file).replace("Heat=60", "Heat=70").replace("Time1=50", "Time1=150"));
    const Run run = folder.run(args.replaceInStrings("<set>", file) + QStringList{"--port", path(sim)});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(out.startsWith('"') ? run.out.contains(out) : run.out == out, qPrintable(run.out));
    QCOMPARE(run.err.trimmed(), err);
    // A read after it as a marker: once its frames are in, all of the run's are.
    // Three reads in all: the one that made the set, the run's own and the marker's.
    QCOMPARE(folder.run({"--read", "--port", path(sim)}).exitCode, 0);
    for (size_t seen = sim.Frames().size(); ::requests(sim).count("40") < 3; ++seen)
        QVERIFY(sim.WaitForFrames(seen + 1, 5000));
    QCOMPARE(::requests(sim).filter("4B/").size(), 0);
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
    QTest::newRow("read, stdout a pipe nobody reads")
        << read << "stdout a pipe nobody reads" << 2 << "无法写入标准输出：Broken pipe";
    QTest::newRow("list, stdout read-only")
        << QStringList{"--list"} << "stdout read-only" << 2 << unwritable;
    QTest::newRow("help, stdout closed")
        << QStringList{"--help"} << "stdout closed" << 2 << unwritable;
    QTest::newRow("out, a pipe") << read + QStringList{"--out", "<pipe>"} << "" << 0 << "";
    QTest::newRow("out, -") << read + QStringList{"--out", "-"} << "" << 0 << "";
    QTest::newRow("trace, a pipe") << QStringList{"--list", "--trace", "<pipe>"} << "" << 0 << "";
    // <planted KIND>: what another user put there first, as PlantedPath makes it.
    const auto out = [&read](const char* kind) {
        return read + QStringList{"--out", QStringLiteral("<planted %1>").arg(kind)};
    };
    const QString notLink = "无法写入 <path>：这是符号链接，输出不跟随链接";
    QTest::newRow("out, a link") << out("link") << "" << 2 << notLink;
    QTest::newRow("out, a dangling link") << out("dangling link") << "" << 2 << notLink;
    QTest::newRow("out, a pipe nobody reads")
        << out("pipe") << "" << 2 << "无法写入 <path>：管道没有读取方";
    QTest::newRow("out, another's pipe")
        << out("another's pipe") << "" << 2 << "无法写入 <path>：这是别的用户的管道或设备";
    QTest::newRow("out, a link for a folder") << out("folder link") << "" << 2 << notLink;
    QTest::newRow("trace, a link for a folder")
        << QStringList{"--list", "--trace", "<planted folder link>"} << "" << 2
        << "无法写入记录文件 <path>：这是符号链接，记录不跟随链接";
    QTest::newRow("out, another's file")
        << out("another's file") << "" << 2 << "无法写入 <path>：文件属于别的用户";
    QTest::newRow("out, a device refusing writes")
        << out("full device") << "" << 2 << "无法写入 /dev/full：No space left on device";
    QTest::newRow("trace, a device refusing writes")
        << QStringList{"--list", "--trace", "<planted full device>"} << "" << 2
        << "无法写入记录文件 /dev/full：No space left on device（记录不完整）";
    // The question goes to the terminal the answer comes from, whatever standard error is.
    QTest::newRow("write, no on the terminal")
        << QStringList{"--write", "<set>", "--port", "<line>"} << "stdin a terminal, typing n" << 2
        << "没有写入：未确认";
    QTest::newRow("write, yes on the terminal")
        << QStringList{"--write", "<set>", "--port", "<line>", "--quiet"}
        << "stdin a terminal, typing y" << 0 << "";
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
    WriteFile(folder.dir.filePath("set.ini"), setToWrite("100", "5"));
    args.replaceInStrings("<line>", path(sim))
        .replaceInStrings("<pipe>", pipe)
        .replaceInStrings("<set>", folder.dir.filePath("set.ini"));
    const QString marker = args.filter("<planted ").value(0); // "<planted KIND>"
    const QString kind = marker.isEmpty() ? QString() : marker.mid(9).chopped(1);
    std::optional<PlantedPath> planted;
    if (!kind.isEmpty() && !planted.emplace(kind).possible)
        QSKIP("making another user's file or writing a device of ours needs root");
    if (planted)
        args.replaceInStrings(QStringLiteral("<planted %1>").arg(kind), planted->path);
    const Run run = folder.run(args, {}, streams);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.trimmed(), QString(error).replace("<path>", planted ? planted->path : ""));
    QCOMPARE(run.shown.contains("你确定要写入数据到设备？ [y/N] "), args.contains("--write"));
    QCOMPARE(run.out.contains("\n[Param]\n"), args.endsWith("-"));
    // The pipe got the set or the trace, and is still the pipe: not replaced by a file.
    char received[4096];
    const ssize_t n = ::read(reader, received, sizeof received);
    QCOMPARE(n > 0 && QByteArray(received, int(n))
                          .contains(args.contains("--out") ? "\n[Param]\n" : " Spliceon V"),
             exitCode == 0 && args.contains(pipe));
    if (planted) {
        // Nothing written through a link, and another user's things are still theirs.
        QCOMPARE(QFile::exists(planted->victim), kind == "link");
        if (kind == "link")
            QCOMPARE(ReadFile(planted->victim), QByteArray("kept\n"));
        struct stat node {};
        ::lstat(QFile::encodeName(planted->path).constData(), &node);
        QCOMPARE(node.st_uid == PlantedPath::kOtherUser, kind.startsWith("another's"));
        if (kind == "another's file")
            QCOMPARE(ReadFile(planted->path), QByteArray("kept\n"));
    }
    struct stat node {};
    QVERIFY(::lstat(QFile::encodeName(pipe).constData(), &node) == 0 && S_ISFIFO(node.st_mode));
}

void TestCli::stopSignalClosesThePort_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("streams");
    QTest::addColumn<QString>("received"); // what the splicer got before the signal; "[y/N]":
    QTest::addColumn<int>("signal");       // the question is on the terminal
    QTest::addColumn<QString>("said");
    const QString nothing = "没有向熔接机写入参数";
    const QStringList write{"--write", "<set>", "--port", "<line>"};
    QTest::newRow("read, handshake") << QStringList{"--read", "--port", "<line>"} << ""
                                     << "45" << SIGTERM << "被 SIGTERM 中断：" + nothing;
    QTest::newRow("probe, handshake") << QStringList{"--list", "--probe"} << ""
                                      << "45" << SIGHUP << "被 SIGHUP 中断：" + nothing;
    // The hang-up stays ignored.
    QTest::newRow("probe, hang-ups ignored at start")
        << QStringList{"--list", "--probe"} << "hang-ups ignored"
        << "45" << SIGTERM << "被 SIGTERM 中断：" + nothing;
    // The set comes first, from a pipe whose writer is slow to write.
    QTest::newRow("write, reading the set")
        << QStringList{"--write", "<fifo>", "--port", "<line>"} << ""
        << "<fifo>" << SIGINT << "被 SIGINT 中断：" + nothing;
    QTest::newRow("write, question") << write << "stdin a terminal"
                                     << "[y/N]" << SIGINT << "被 SIGINT 中断：" + nothing;
    QTest::newRow("write, block sent")
        << write + QStringList{"--yes"} << ""
        << "4B/38" << SIGTERM
        << "被 SIGTERM 中断：参数块已发给熔接机，没有读回核对；熔接机可能已保存新参数";
}

void TestCli::stopSignalClosesThePort() {
    QFETCH(QStringList, args);
    QFETCH(QString, streams);
    QFETCH(QString, received);
    QFETCH(int, signal);
    QFETCH(QString, said);
    SimulatedSplicer sim(SimulatedSplicer::Options{});
    ProgramFolder folder("[ports]\nCOM3=" + path(sim).toUtf8() + "\n");
    WriteFile(folder.dir.filePath("set.ini"), setToWrite("100", "5"));
    const QByteArray fifo = QFile::encodeName(folder.dir.filePath("fifo"));
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    args.replaceInStrings("<line>", path(sim))
        .replaceInStrings("<set>", folder.dir.filePath("set.ini"))
        .replaceInStrings("<fifo>", QFile::decodeName(fifo));
    const int line = ::open(sim.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    const auto closeLine = qScopeGuard([line] { ::close(line); });
    termios before{};
    QVERIFY(::tcgetattr(line, &before) == 0);

    QProcess process;
    PtyPair terminal;
    folder.start(process, args, {}, streams, &terminal);
    QString shown;
    int writer = -1; // opens once the program has the pipe open for reading
    const auto closeWriter = qScopeGuard([&writer] { ::close(writer); });
    QTRY_VERIFY_WITH_TIMEOUT(
        received == "<fifo>"
            ? (writer = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0
            : ::requests(sim).contains(received) ||
                  (shown += terminal.ReadAvailable(0)).contains(received),
        10000);
    if (streams == "hang-ups ignored") { // by the program that now takes the other signals
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const QByteArray text = status.readAll();
        const qsizetype ignored = text.indexOf("SigIgn:\t") + 8;
        QVERIFY(text.mid(ignored, 16).toULongLong(nullptr, 16) & (1ULL << (SIGHUP - 1)));
    }
    ::kill(pid_t(process.processId()), signal);
    const QStringList atSignal = ::requests(sim);
    const Run run = ProgramFolder::finish(process, terminal);
    // Terminal settings as they were, and the line no longer exclusive.
    termios after{};
    int exclusive = -1;
    QVERIFY(::tcgetattr(line, &after) == 0 && ::ioctl(line, TIOCGEXCL, &exclusive) == 0);
    QCOMPARE(exclusive, 0);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&after), sizeof after),
             QByteArray(reinterpret_cast<const char*>(&before), sizeof before));
    QCOMPARE(run.exitCode, 128 + signal);
    QCOMPARE(run.err.trimmed().section('\n', -1), said);
    QCOMPARE(::requests(sim).count("4B/38"), int(received == "4B/38"));
    QCOMPARE(folder.run({"--read", "--port", path(sim)}).exitCode, 0);
    // The port closed at the signal: during the block's 500 ms wait, so the next frame the
    // splicer got is the next run's handshake.
    if (received == "4B/38")
        QCOMPARE(::requests(sim).value(atSignal.size()), QString("45"));
}

void TestCli::listJsonHoldsEachPort_data() {
    QTest::addColumn<QByteArray>("ports"); // section [ports]; <sim>: the splicer, <pty>: silence
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("summary"); // each port: com path source status errno group probe
    QTest::addColumn<bool>("note");       // that no port is a candidate, on standard error
    const QStringList list{"--list", "--json"};
    QTest::newRow("no ports") << QByteArray() << list << 0 << "" << true;
    QTest::newRow("no ports, quiet")
        << QByteArray() << list + QStringList{"--quiet"} << 0 << "" << false;
    QTest::newRow("no ports, probe, quiet")
        << QByteArray() << list + QStringList{"--probe", "--quiet"} << 1 << "" << true;
    QTest::newRow("mapped") << QByteArray("COM3=<pty>\nCOM6=/nonexistent/tty") << list << 0
                            << "3 <pty> config.ini opens null null; "
                               "6 /nonexistent/tty config.ini missing 2 null"
                            << false;
    QTest::newRow("probe") << QByteArray("COM3=<sim>\nCOM4=<pty>") << list + QStringList{"--probe"}
                           << 0
                           << "3 <sim> config.ini opens null null answered/138; "
                              "4 <pty> config.ini opens null null silent/null"
                           << false;
}

void TestCli::listJsonHoldsEachPort() {
    QFETCH(QByteArray, ports);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, summary);
    QFETCH(bool, note);
    SimulatedSplicer sim(firmware(138));
    PtyPair silent;
    const QString pty = QString::fromStdString(silent.SlavePath());
    ProgramFolder folder("[ports]\n" +
                         ports.replace("<sim>", path(sim).toUtf8()).replace("<pty>", pty.toUtf8()) +
                         '\n');
    const Run run = folder.run(args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.err.startsWith("没有候选端口："), note);
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8());
    // A value as JSON has it, a text without its quotes.
    const auto shown = [](const QJsonValue& v) {
        return v.isString()
                   ? v.toString()
                   : QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    };
    QStringList found;
    for (const QJsonValue port : document.array()) {
        QStringList fields;
        for (const char* name : {"com", "path", "source", "status", "errno", "group"})
            fields << shown(port[name]);
        if (!port["probe"].isNull())
            fields << shown(port["probe"]["outcome"]) + '/' + shown(port["probe"]["firmware"]);
        found << fields.join(' ');
    }
    QCOMPARE(found.join("; "), summary.replace("<sim>", path(sim)).replace("<pty>", pty));
    if (summary.isEmpty())
        QCOMPARE(run.out, "[]\n");
}

void TestCli::readJsonHoldsTheTextsValues() {
    SimulatedSplicer::Options options;
    options.block = kDistinctBlock;
    options.deviceId = "../\x1B[2J\xC2\x9B\x7F\"";
    SimulatedSplicer sim(options);
    ProgramFolder folder("");
    const Run text = folder.run({"--read", "--port", path(sim)});
    const Run json = folder.run({"--read", "--port", path(sim), "--json"});
    QCOMPARE(json.exitCode, 0);
    QCOMPARE(json.err, QString());
    const QJsonObject read = QJsonDocument::fromJson(json.out.toUtf8()).object();
    // The parameters in the order and with the values of the text's section.
    QStringList lines{"[Param]"};
    static const QRegularExpression key(R"re(^ {8}"(\w+)":)re",
                                        QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& m : key.globalMatch(json.out))
        lines << m.captured(1) + '=' + QString::number(read["params"][m.captured(1)].toInt());
    QCOMPARE(lines, paramLines(text.out));
    const QJsonObject device = read["device"].toObject();
    QCOMPARE(text.out.section("; 日期", 0, 0),
             QStringLiteral("; 设备ID：%1\n; 固件版本：V1.34\n; 熔接次数：%2\n")
                 .arg(device["id"].toString())
                 .arg(device["fusionCount"].toInt()));
    QVERIFY(text.out.contains(QStringLiteral("[Device]\nFirmware=%1\nBlock=%2\n")
                                  .arg(read["source"]["firmware"].toInt())
                                  .arg(read["source"]["block"].toString())));
    // A time that says its offset from UTC, so a script elsewhere reads it right.
    const QString time = read["time"].toString();
    QVERIFY(time.contains(QRegularExpression("(Z|[+-]\\d\\d:\\d\\d)$")));
    QVERIFY(qAbs(QDateTime::fromString(time, Qt::ISODate).secsTo(QDateTime::currentDateTime())) <
            60);
}

void TestCli::waitTakesASplicerPluggedInLater_data() {
    QTest::addColumn<QString>("event"); // once the wait has begun
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // the last line on standard error
    const QString waiting = "没有熔接机应答：等它接入，最多 %1 秒……";
    QTest::newRow("plugged in") << "plug" << 0 << waiting.arg(15);
    QTest::newRow("nothing within 1 s") << "nothing" << 1 << "未发现有设备连接！";
    QTest::newRow("SIGTERM") << "SIGTERM" << 143 << "被 SIGTERM 中断：没有向熔接机写入参数";
}

void TestCli::waitTakesASplicerPluggedInLater() {
    QFETCH(QString, event);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    SimulatedSplicer sim(SimulatedSplicer::Options{});
    // The converter's link appears in a folder that comes with it, as udev's by-id does.
    QTemporaryDir dev;
    const QString link = dev.filePath("serial/by-id/usb-1a86_USB_Serial-if00");
    ProgramFolder folder("[ports]\nCOM3=" + link.toUtf8() + "\n");
    QProcess process;
    PtyPair terminal;
    QElapsedTimer clock;
    clock.start();
    folder.start(process, {"--read", "--json", "--wait", event == "nothing" ? "1" : "15"}, {}, {},
                 &terminal);
    QString err;
    QTRY_VERIFY_WITH_TIMEOUT((err += process.readAllStandardError()).contains("等它接入"), 10000);
    if (event == "plug")
        QVERIFY(QDir(dev.path()).mkpath("serial/by-id") && QFile::link(path(sim), link));
    if (event == "SIGTERM")
        ::kill(pid_t(process.processId()), SIGTERM);
    const Run run = ProgramFolder::finish(process, terminal);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE((err + run.err).trimmed().section('\n', -1), error);
    QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8())["device"]["firmware"].toInt(),
             event == "plug" ? 134 : 0);
    QCOMPARE(clock.elapsed() >= 1000, event == "nothing");
}

void TestCli::serviceRecordKeepsTheRuns() {
    SimulatedSplicer sim(SimulatedSplicer::Options{});
    ProgramFolder folder("[record]\ntechnician=Li Wei\n");
    const QString set = folder.dir.filePath("set.ini");
    QCOMPARE(folder.run({"--read", "--port", path(sim), "--out", set}).exitCode, 0);
    WriteFile(set, ReadFile(set).replace("\nCurrent3=45\n", "\nCurrent3=48\n"));
    const Run write = folder.run({"--write", set, "--port", path(sim), "--yes"});
    QCOMPARE(write.exitCode, 0);
    // The change list before the write, how it went after.
    QCOMPARE(write.err.trimmed().split('\n').mid(1),
             QStringList({QStringLiteral("  Current3：45 → 48"), QStringLiteral("已写入并核对")}));

    const Run history = folder.run({"--history", "SPL2026001", "--json"});
    QCOMPARE(history.exitCode, 0);
    const QJsonArray visits = QJsonDocument::fromJson(history.out.toUtf8()).array();
    QCOMPARE(visits.size(), 2);
    const QJsonObject last = visits[1].toObject();
    QCOMPARE(last["visit"].toInt(), 2);
    QCOMPARE(last["device"].toObject()["fusionCount"].toInt(), 1234);
    QCOMPARE(last["port"].toString(), path(sim));
    const QJsonArray ops = last["operations"].toArray();
    // The connection's read, the read back, and the write.
    QStringList kinds;
    for (const QJsonValue& o : ops)
        kinds << o.toObject()["kind"].toString();
    QCOMPARE(kinds, QStringList({"read", "read", "write"}));
    QCOMPARE(ops[2].toObject()["outcome"].toString(), QStringLiteral("verified"));
    QCOMPARE(ops[2].toObject()["changes"].toArray(),
             QJsonArray({QJsonObject{{"key", "Current3"}, {"before", 45}, {"after", 48}}}));
    // Its own identity and the time with its offset from UTC.
    QVERIFY(QDateTime::fromString(ops[2].toObject()["time"].toString(), Qt::ISODate).isValid());
    QVERIFY(ops[0].toObject()["uuid"].toString() != ops[2].toObject()["uuid"].toString());

    const QString pdf = folder.dir.filePath("report.pdf");
    QCOMPARE(folder.run({"--report", "SPL2026001", "--out", pdf}).exitCode, 0);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString page = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& expected :
         {QStringLiteral("SPL2026001"), QStringLiteral("Li Wei"), QStringLiteral("V1.34"),
          QStringLiteral("1234"), QStringLiteral("已写入并核对")})
        QVERIFY2(page.contains(expected), qPrintable(expected));
    QVERIFY2(page.contains(QRegularExpression("第三组熔接电流\\s+45\\s+48\\s+已核对")),
             qPrintable(page));
}

void TestCli::serviceRecordSurvivesAKill() {
    SimulatedSplicer sim(SimulatedSplicer::Options{});
    ProgramFolder folder("");
    QCOMPARE(folder.run({"--read", "--port", path(sim)}).exitCode, 0);
    // The next run is killed while it asks whether to write: its connection is recorded by then.
    WriteFile(folder.dir.filePath("set.ini"), setToWrite("100", "5"));
    QProcess process;
    PtyPair terminal;
    folder.start(process, {"--write", folder.dir.filePath("set.ini"), "--port", path(sim)}, {},
                 "stdin a terminal", &terminal);
    QString shown;
    QTRY_VERIFY_WITH_TIMEOUT((shown += QString::fromUtf8(terminal.ReadAvailable(0))).contains("[y/N]"),
                             20000);
    ::kill(pid_t(process.processId()), SIGKILL);
    QVERIFY(process.waitForFinished(20000));
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "killed");
    db.setDatabaseName(folder.dir.filePath("service.db"));
    QVERIFY(db.open());
    QSqlQuery q(db);
    QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("ok"));
    QVERIFY(q.exec("SELECT (SELECT COUNT(*) FROM visit), (SELECT COUNT(*) FROM operation"
                   " WHERE kind = 'read')") &&
            q.next());
    QCOMPARE(q.value(0).toInt(), 2);
    QCOMPARE(q.value(1).toInt(), 2);
    q.finish();
    db.close();
}

QTEST_MAIN(TestCli)
// The command line reads the port itself: the errors the driver counted still reach the trace.
void TestCli::exchangeReportsLineErrorsWithTheBytes() {
    if (!FakeLineDevice::Works)
        QSKIP("ThreadSanitizer keeps the C library's ioctl");
    SimulatedSplicer sim({});
    FakeLineDevice line(sim.SlavePath());
    FakeConverter converter;
    converter.AddPort(3, sim.SlavePath());
    cli::TStopSignals stop;
    cli::TSplicerExchange exchange(converter, stop);
    QList<serial::TLineErrorCounts> reports;
    QObject::connect(&exchange, &FrameFeed::lineReported,
                     [&](const serial::TLineReport& r) { reports << r.errors; });
    QVERIFY(exchange.Connect("COM3"));
    QVERIFY(reports.isEmpty()); // the counts as the open found them
    line.SetErrorCounts({.frame = 2, .overrun = 1});
    QVERIFY(exchange.ReadBlock(1000));
    QCOMPARE(reports.size(), 1);
    QCOMPARE(std::tuple(reports[0].frame, reports[0].parity, reports[0].overrun),
             std::tuple(2, 0, 1));
}

#include "tst_cli.moc"
