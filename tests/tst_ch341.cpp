#include "ch341/Ch341Recognition.h"
#include "ch341/LinuxConverterLibrary.h"
#include "ch341/PortMap.h"
#include "config/Config.h"
#include "kit/FailingCall.h"
#include "kit/FakeTree.h"
#include "kit/Files.h"
#include "kit/Row.h"
#include "serial/PortName.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
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

// The process's open files and threads.
QPair<int, int> resourcesInUse() {
    return {int(QDir("/proc/self/fd").entryList(QDir::System).size()),
            int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size())};
}

} // namespace

class TestCh341 : public QObject {
    Q_OBJECT
private slots:
    void init() {
        std::lock_guard lock(notifiedMutex);
        notified.clear();
    }

    void portNumbers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        row("COM1", "\\\\.\\COM1", 1);
        row("COM21", "\\\\.\\COM21", 21);
        row("no prefix", "COM3", 0);
        row("COM0", "\\\\.\\COM0", 0);
        row("leading zero", "\\\\.\\COM03", 0);
        row("trailing text", "\\\\.\\COM3x", 0);
    }

    void portNumbers() {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(ConverterPortNumber(name.toStdString()), number);
    }

    void recognisesCh341Ttys() {
        FakeTree tree;
        tree.add("ttyUSB0", "ch341-uart");
        tree.add("ttyUSB1", "ftdi_sio");
        tree.add("ttyUSB2", "ch341-uart", false); // sysfs without a device node
        QVERIFY(IsCh341Tty(tree.layout, "ttyUSB0"));
        QVERIFY(!IsCh341Tty(tree.layout, "ttyUSB1"));
        QVERIFY(!IsCh341Tty(tree.layout, "ttyUSB2"));
        QVERIFY(!IsCh341Tty(tree.layout, "ttyUSB3"));

        QTemporaryDir cfg;
        const TPortMap ports(cfg.filePath("config.ini"));
        TLinuxConverterLibrary library(ports, tree.layout);
        QVERIFY(library.CH341PtNameIsCH341("\\\\.\\COM1"));
        QVERIFY(!library.CH341PtNameIsCH341("\\\\.\\COM2"));
        QVERIFY(!library.CH341PtNameIsCH341("COM1"));
    }

    void trackerTurnsEventsIntoValues_data() {
        QTest::addColumn<QStringList>("events"); // action:sysname:ch341
        QTest::addColumn<QList<int>>("values");
        row("plug and unplug", QStringList{"add:ttyUSB6:1", "remove:ttyUSB6:0"}, QList<int>{6, -7});
        row("other converter ignored", QStringList{"add:ttyUSB1:0", "remove:ttyUSB1:0"},
            QList<int>{});
        row("not a USB serial tty", QStringList{"add:ttyS0:1", "remove:ttyS0:0"}, QList<int>{});
        row("seeded at start", QStringList{"remove:ttyUSB2:0"}, QList<int>{-3});
        row("removed once", QStringList{"remove:ttyUSB2:0", "remove:ttyUSB2:0"}, QList<int>{-3});
        row("change events ignored", QStringList{"change:ttyUSB2:1"}, QList<int>{});
        row("a leading zero is another name", QStringList{"add:ttyUSB01:1", "add:ttyUSB0:1"},
            QList<int>{0});
    }

    void trackerTurnsEventsIntoValues() {
        QFETCH(QStringList, events);
        QFETCH(QList<int>, values);
        TPlugTracker tracker;
        tracker.Seed(2);
        QList<int> got;
        for (const QString& e : events) {
            const QStringList p = e.split(':');
            if (const auto v =
                    tracker.Handle({p[0].toStdString(), p[1].toStdString(), p[2] == "1"}))
                got << *v;
        }
        QCOMPARE(got, values);
    }

    void mappedPortsCountWhileTheirPathExists() {
        QTemporaryDir cfg;
        config::SetConfigPath(cfg.filePath("config.ini"));
        const TPortMap ports(config::ConfigPath());
        const QString link = cfg.filePath("splicer");
        config::WriteConfigString("ports", "COM3", link);
        config::WriteConfigString("ports", "COM21", link); // the last COM number
        // A relative path is refused even where it exists: it would depend on the current folder.
        config::WriteConfigString("ports", "COM4", "splicer");
        const QString current = QDir::currentPath();
        QDir::setCurrent(cfg.path());
        TLinuxConverterLibrary library(ports, TSysfsLayout{"/nonexistent/dev", "/nonexistent/sys"});
        QVERIFY(!library.CH341PtNameIsCH341("\\\\.\\COM3"));
        QFile::link("/dev/null", link);
        QVERIFY(library.CH341PtNameIsCH341("\\\\.\\COM3"));
        QVERIFY(library.CH341PtNameIsCH341("\\\\.\\COM21"));
        QVERIFY(!library.CH341PtNameIsCH341("\\\\.\\COM4"));

        QCOMPARE(library.PortPath("COM3"), link.toStdString());
        QCOMPARE(library.PortPath("COM21"), link.toStdString());
        QCOMPARE(library.PortPath("COM4"), std::string("/dev/ttyUSB3"));
        QDir::setCurrent(current);
        QCOMPARE(library.PortPath("COM5"), std::string("/dev/ttyUSB4"));
        QCOMPARE(library.PortPath("/dev/pts/9"), std::string("/dev/pts/9"));
        // An edit counts from the next question; the file is parsed again only then.
        config::WriteConfigString("ports", "COM5", link);
        QCOMPARE(library.PortPath("COM5"), link.toStdString());
    }

    void mappedPathComingAndGoingNotifies() {
        QTemporaryDir cfg;
        config::SetConfigPath(cfg.filePath("config.ini"));
        const TPortMap ports(config::ConfigPath());
        const QString link = cfg.filePath("splicer");
        config::WriteConfigString("ports", "COM3", link);
        TLinuxConverterLibrary library(ports, TSysfsLayout{"/nonexistent/dev", "/nonexistent/sys"});
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

    void mappedPathFollowedWhileItsFolderComesAndGoes_data() {
        QTest::addColumn<QString>("mapped"); // below a scratch folder
        QTest::addColumn<QString>("folder"); // the folder that comes and goes with the path
        row("its own folder", "by-id/splicer", "by-id");
        row("two folders", "serial/by-id/splicer", "serial");
    }

    void mappedPathFollowedWhileItsFolderComesAndGoes() {
        QFETCH(QString, mapped);
        QFETCH(QString, folder);
        QTemporaryDir cfg;
        config::SetConfigPath(cfg.filePath("config.ini"));
        const TPortMap ports(config::ConfigPath());
        const QString link = cfg.filePath(mapped);
        config::WriteConfigString("ports", "COM3", link);
        TLinuxConverterLibrary library(ports, TSysfsLayout{"/nonexistent/dev", "/nonexistent/sys"});
        library.CH341PtSetDevNotify(nullptr, &recordNotification);
        QList<int> expected;
        for (int cycle = 0; cycle < 3; ++cycle) {
            // Made at once: the path may be there before the folder is watched.
            QVERIFY(QDir().mkpath(QFileInfo(link).path()));
            QVERIFY(QFile::link("/dev/null", link));
            expected << 0;
            QTRY_COMPARE_WITH_TIMEOUT(notifications(), expected, 2000);
            QVERIFY(QFile::remove(link));
            QVERIFY(QDir(cfg.filePath(folder)).removeRecursively());
            expected << -3;
            QTRY_COMPARE_WITH_TIMEOUT(notifications(), expected, 2000);
        }
        library.CH341PtSetDevNotify(nullptr, nullptr);
        QCOMPARE(notifications(), expected);
    }

    void monitorWithoutResourcesLeaksNothing_data() {
        QTest::addColumn<QByteArray>("call");
        QTest::addColumn<QString>("line"); // on standard error
        row("eventfd", QByteArray("eventfd"), "notifications are off: eventfd: ");
        row("netlink socket", QByteArray("socket"), "notifications from udev are off: ");
        row("inotify", QByteArray("inotify_init1"),
            "Mapped ports are not watched: inotify_init1: ");
        row("thread", QByteArray("pthread_create"), "notifications are off: ");
    }

    void monitorWithoutResourcesLeaksNothing() {
        if (!FailingCall::Works)
            QSKIP("calls cannot be made to fail under ThreadSanitizer");
        QFETCH(QByteArray, call);
        QFETCH(QString, line);
        QTemporaryDir cfg;
        config::SetConfigPath(cfg.filePath("config.ini"));
        const TPortMap ports(config::ConfigPath());
        config::WriteConfigString("ports", "COM3", cfg.filePath("splicer"));
        const auto before = resourcesInUse();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(line)));
        {
            TLinuxConverterLibrary library(ports,
                                           TSysfsLayout{"/nonexistent/dev", "/nonexistent/sys"});
            {
                const FailingCall failing(call.constData());
                library.CH341PtSetDevNotify(nullptr, &recordNotification);
            }
            library.CH341PtSetDevNotify(nullptr, nullptr); // returns: nothing waits for a stop
        }
        // An ended thread leaves /proc/self/task a moment after its join returns.
        QTRY_COMPARE_WITH_TIMEOUT(resourcesInUse(), before, 2000);
    }
};

QTEST_GUILESS_MAIN(TestCh341)
#include "tst_ch341.moc"
