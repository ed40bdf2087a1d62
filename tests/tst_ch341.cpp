#include "ch341/Ch341Recognition.h"
#include "ch341/LinuxConverterLibrary.h"
#include "ch341/PortMap.h"
#include "config/Config.h"
#include "serial/PortName.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <mutex>
#include <unistd.h>

using namespace ch341;

namespace {

std::mutex notifiedMutex;
QList<int> notified;

void recordNotification(int32_t value) {
    std::lock_guard lock(notifiedMutex);
    notified << value;
}

QList<int> notifications() {
    std::lock_guard lock(notifiedMutex);
    return notified;
}

// A fake /dev and /sys with ttyUSB devices bound to the given drivers.
struct FakeTree {
    QTemporaryDir dir;
    TSysfsLayout layout{(dir.path() + "/dev").toStdString(), (dir.path() + "/sys").toStdString()};
    FakeTree() { QDir(dir.path()).mkpath("dev"); }
    void add(const QString& tty, const QString& driver, bool node = true) {
        const QString device = dir.path() + "/sys/devices/usb1/" + tty;
        QDir().mkpath(device);
        QDir().mkpath(dir.path() + "/sys/bus/usb-serial/drivers/" + driver);
        QFile::link(dir.path() + "/sys/bus/usb-serial/drivers/" + driver, device + "/driver");
        QDir().mkpath(dir.path() + "/sys/class/tty/" + tty);
        QFile::link(device, dir.path() + "/sys/class/tty/" + tty + "/device");
        if (node) {
            QFile f(dir.path() + "/dev/" + tty);
            f.open(QIODevice::WriteOnly);
        }
    }
};

} // namespace

class TestCh341 : public QObject {
    Q_OBJECT
private slots:
    void portNumbers_data();
    void portNumbers();
    void recognisesCh341Ttys();
    void trackerTurnsEventsIntoValues_data();
    void trackerTurnsEventsIntoValues();
    void mappedPortsCountWhileTheirPathExists();
    void mappedPathComingAndGoingNotifies();
};

void TestCh341::portNumbers_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("COM1") << "\\\\.\\COM1" << 1;
    QTest::newRow("COM21") << "\\\\.\\COM21" << 21;
    QTest::newRow("no prefix") << "COM3" << 0;
    QTest::newRow("COM0") << "\\\\.\\COM0" << 0;
    QTest::newRow("leading zero") << "\\\\.\\COM03" << 0;
    QTest::newRow("trailing text") << "\\\\.\\COM3x" << 0;
}

void TestCh341::portNumbers() {
    QFETCH(QString, name);
    QFETCH(int, number);
    QCOMPARE(ConverterPortNumber(name.toStdString()), number);
}

void TestCh341::recognisesCh341Ttys() {
    FakeTree tree;
    tree.add("ttyUSB0", "ch341-uart");
    tree.add("ttyUSB1", "ftdi_sio");
    tree.add("ttyUSB2", "ch341-uart", false); // sysfs without a device node
    QVERIFY(IsCh341Tty(tree.layout, "ttyUSB0"));
    QVERIFY(!IsCh341Tty(tree.layout, "ttyUSB1"));
    QVERIFY(!IsCh341Tty(tree.layout, "ttyUSB2"));
    QVERIFY(!IsCh341Tty(tree.layout, "ttyUSB3"));

    QTemporaryDir cfg;
    config::SetConfigPath(cfg.filePath("config.ini"));
    TLinuxConverterLibrary library(tree.layout);
    QVERIFY(library.CH341PtNameIsCH341("\\\\.\\COM1"));
    QVERIFY(!library.CH341PtNameIsCH341("\\\\.\\COM2"));
    QVERIFY(!library.CH341PtNameIsCH341("COM1"));
}

void TestCh341::trackerTurnsEventsIntoValues_data() {
    QTest::addColumn<QStringList>("events"); // action:sysname:ch341
    QTest::addColumn<QList<int>>("values");
    QTest::newRow("plug and unplug")
        << QStringList{"add:ttyUSB6:1", "remove:ttyUSB6:0"} << QList<int>{6, -7};
    QTest::newRow("other converter ignored")
        << QStringList{"add:ttyUSB1:0", "remove:ttyUSB1:0"} << QList<int>{};
    QTest::newRow("not a USB serial tty")
        << QStringList{"add:ttyS0:1", "remove:ttyS0:0"} << QList<int>{};
    QTest::newRow("seeded at start") << QStringList{"remove:ttyUSB2:0"} << QList<int>{-3};
    QTest::newRow("removed once") << QStringList{"remove:ttyUSB2:0", "remove:ttyUSB2:0"}
                                  << QList<int>{-3};
    QTest::newRow("change events ignored") << QStringList{"change:ttyUSB2:1"} << QList<int>{};
}

void TestCh341::trackerTurnsEventsIntoValues() {
    QFETCH(QStringList, events);
    QFETCH(QList<int>, values);
    TPlugTracker tracker;
    tracker.Seed(2);
    QList<int> got;
    for (const QString& e : events) {
        const QStringList p = e.split(':');
        if (const auto v = tracker.Handle({p[0].toStdString(), p[1].toStdString(), p[2] == "1"}))
            got << *v;
    }
    QCOMPARE(got, values);
}

void TestCh341::mappedPortsCountWhileTheirPathExists() {
    QTemporaryDir cfg;
    config::SetConfigPath(cfg.filePath("config.ini"));
    const QString link = cfg.filePath("splicer");
    config::WriteConfigString("ports", "COM3", link);
    config::WriteConfigString("ports", "COM4", "relative/path");
    TLinuxConverterLibrary library(TSysfsLayout{"/nonexistent/dev", "/nonexistent/sys"});
    QVERIFY(!library.CH341PtNameIsCH341("\\\\.\\COM3"));
    QFile::link("/dev/null", link);
    QVERIFY(library.CH341PtNameIsCH341("\\\\.\\COM3"));
    QVERIFY(!library.CH341PtNameIsCH341("\\\\.\\COM4"));

    InstallPortMapping();
    QCOMPARE(serial::ResolvePortPath("COM3"), link.toStdString());
    QCOMPARE(serial::ResolvePortPath("COM5"), std::string("/dev/ttyUSB4"));
    QCOMPARE(serial::ResolvePortPath("/dev/pts/9"), std::string("/dev/pts/9"));
    serial::SetPortPathResolver(nullptr);
}

void TestCh341::mappedPathComingAndGoingNotifies() {
    QTemporaryDir cfg;
    config::SetConfigPath(cfg.filePath("config.ini"));
    const QString link = cfg.filePath("splicer");
    config::WriteConfigString("ports", "COM3", link);
    TLinuxConverterLibrary library(TSysfsLayout{"/nonexistent/dev", "/nonexistent/sys"});
    library.CH341PtSetDevNotify(nullptr, &recordNotification);
    QFile::link("/dev/null", link);
    QTRY_COMPARE_WITH_TIMEOUT(notifications(), QList<int>{0}, 2000);
    QFile::remove(link);
    QTRY_COMPARE_WITH_TIMEOUT(notifications(), (QList<int>{0, -3}), 2000);
    // Cancelling joins the monitor thread: nothing can arrive afterwards.
    library.CH341PtSetDevNotify(nullptr, nullptr);
    QFile::link("/dev/null", link);
    QCOMPARE(notifications(), (QList<int>{0, -3}));
}

QTEST_GUILESS_MAIN(TestCh341)
#include "tst_ch341.moc"
