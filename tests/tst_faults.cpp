// Faults from outside the program, against the simulated splicer on pseudo-terminals: requests
// that arrive while received data is being handled, searches that fail or outlive the window,
// the splicer's line hung up in the middle of an operation, and many connections in a row.
#include "kit/WindowFixture.h"
#include "protocol/Frames.h"
#include "serial/ComError.h"

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <filesystem>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define SPLICEON_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SPLICEON_ASAN 1
#endif
#endif

namespace {

const QString kNotFound = SplicerLink::kNotFound;
const QString kNotConnected = SplicerLink::kNotConnected;
#ifdef SPLICEON_ASAN
constexpr bool kMemoryMeasurable = false; // its quarantine keeps freed memory resident
#else
constexpr bool kMemoryMeasurable = true;
#endif

// Runs act once a frame that starts with these bytes passes the link: inside that frame's
// hand-off when it was received, once the splicer has it when it was sent (closing the port
// discards what it has not read).
void onFrame(WindowFixture& f, const SimulatedSplicer& sim, const QString& start,
             const std::function<void()>& act) {
    auto fired = std::make_shared<bool>(false);
    const auto check = [start, act, fired](const QByteArray& frame) {
        if (*fired || !Hex(frame).startsWith(start))
            return;
        *fired = true;
        act();
    };
    auto sent = std::make_shared<size_t>(sim.Frames().size());
    QObject::connect(&f.Link(), &FrameFeed::frameReceived, check);
    QObject::connect(&f.Link(), &FrameFeed::frameSent,
                     [&sim, check, sent, fired](const QByteArray& b) {
                         if (!*fired && sim.WaitForFrames(++*sent, 2000))
                             check(b);
                     });
}

// The command code of every command frame the splicer received ("45" for the handshake).
QStringList commandCodes(const SimulatedSplicer& sim) {
    QStringList codes;
    for (const QString& frame : FrameTexts(sim))
        codes << frame.section(' ', 3, 3);
    return codes;
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Lets the event loop run for the time given (the program idles in it, as after an action).
void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

qsizetype entries(const char* folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

qint64 residentKb() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void requestsInsideHandOff_data();
    void requestsInsideHandOff();
    void failedSearchLeavesNothingPending();
    void hangUp_data();
    void hangUp();
    void connectionCyclesLeaveNothingBehind();
};

void TestFaults::requestsInsideHandOff_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("during");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("connectedAfter");
    const QString paramAnswer = "55 2A 40";
    const QStringList sequence = {"45", "C1", "49", "44", "48"};
    QTest::newRow("connect command during a read's answer")
        << true << paramAnswer << QStringList{"actDevConnect"}
        << QStringList{"40"} + sequence + QStringList{"40"} << QStringList() << true;
    // Inside the handshake answer's hand-off, the disconnect ends the search it interrupted: no
    // more queries, no "not found".
    QTest::newRow("disconnect command during the query sequence")
        << false << "5A 4A 02 C1" << QStringList{"actDevDisConnect"} << QStringList{"45", "C1"}
        << QStringList() << false;
    // The connect command closed the port at once; the disconnect still drops its search.
    QTest::newRow("connect then disconnect command during a read's answer")
        << true << paramAnswer << QStringList{"actDevConnect", "actDevDisConnect"}
        << QStringList{"40"} << QStringList() << false;
    QTest::newRow("window closed after a connect command during a read's answer")
        << true << paramAnswer << QStringList{"actDevConnect", "mExit"} << QStringList{"40"}
        << QStringList() << false;
    QTest::newRow("unplug and plug during a read's answer")
        << true << paramAnswer << QStringList{"-3", "0"}
        << QStringList{"40"} + sequence + QStringList{"40"} << QStringList() << true;
    QTest::newRow("window closed during the query sequence")
        << false << "5A 4A 02 C1" << QStringList{"mExit"} << QStringList{"45", "C1"}
        << QStringList() << false;
    QTest::newRow("window closed during the last port's wait")
        << false << "5A 4A 02 45" << QStringList{"mExit"} << QStringList{"45"} << QStringList()
        << false;
}

// A connect or search asked for while received data is handled runs once that hand-off has
// returned, a disconnect at once; none runs, and nothing is shown, once the window has closed.
void TestFaults::requestsInsideHandOff() {
    QFETCH(bool, connected);
    QFETCH(QString, during);
    QFETCH(QStringList, actions);
    QFETCH(QStringList, sent);
    QFETCH(QStringList, boxes);
    QFETCH(bool, connectedAfter);
    WindowFixture f;
    const int port = connected ? 3 : 21; // the last port a search tries
    SimulatedSplicer& sim = f.AddSplicer(port);
    if (connected)
        f.Connect(port);
    sim.ClearFrames();
    // Queued one after the other: the window's actions, and a number as the converter
    // library's plug or unplug notification with that value.
    onFrame(f, sim, during, [&f, actions] {
        for (const QString& name : actions) {
            bool isNumber = false;
            if (const int value = name.toInt(&isNumber); isNumber)
                TfrmMain::DeviceNotifyCallback(value);
            else
                QTimer::singleShot(0, f.window->findChild<QAction*>(name), &QAction::trigger);
        }
    });
    if (connected)
        f.Link().QueryParams();
    else
        f.window->FindDevice();
    QTRY_COMPARE_WITH_TIMEOUT(commandCodes(sim), sent, 5000);
    QTRY_COMPARE(f.Link().Connected(), connectedAfter);
    QCOMPARE(f.boxes.Texts(), boxes);
}

void TestFaults::failedSearchLeavesNothingPending() {
    WindowFixture f;
    SimulatedSplicer::Options silent;
    silent.silent = true;
    SimulatedSplicer& com2 = f.AddSplicer(2, silent);
    f.AddSplicer(4, silent);
    serial::TComPort other; // holds COM4, so the search ends in an error there
    other.SetPort(f.splicers.at(4)->SlavePath());
    other.Open();
    TfrmMain::DeviceNotifyCallback(0); // handled during the wait on COM2: a search for later
    QVERIFY_THROWS_EXCEPTION(serial::EComPort, f.window->FindDevice());
    other.Close();
    f.window->FindDevice();
    QCOMPARE(commandCodes(com2), (QStringList{"45", "45"}));
    QCOMPARE(f.boxes.Texts(), QStringList{kNotFound});
}

void TestFaults::hangUp_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("at");
    QTest::addColumn<bool>("answersHandshake");
    QTest::addColumn<int>("waitsMs");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("by"); // the user's action instead of the converter pulled
    const QString dropped = QStringLiteral("已断开设备"), disconnect = "actDevDisConnect";
    const QString write = QStringLiteral("你确定要写入数据到设备？"),
                  restore = QStringLiteral("你确定要恢复出厂设置数据到设备？");
    QTest::newRow("write, between its queries and the block")
        << "write"
        << "5A 4A 02 C7" << true << 700 << QStringList{write, kNotConnected} << dropped << ""
        << "";
    // The unplug closes the port inside the handshake answer's hand-off, and the query
    // sequence stops there: nothing is written to the hung-up line. The candidate was never
    // told connected, so the status keeps its text.
    QTest::newRow("query sequence")
        << "search"
        << "5A 4A 02 49" << true << 700 << QStringList{kNotFound} << "Ready"
        << ""
        << "";
    QTest::newRow("factory restore's wait")
        << "restore"
        << "5A 0A 83 C6" << true << 500 << QStringList{restore, kNotConnected} << dropped << ""
        << "";
    // A candidate that never answered was never connected: the status keeps its text.
    QTest::newRow("search's wait")
        << "search"
        << "5A 4A 02 45" << false << 200 << QStringList{kNotFound} << "Ready"
        << ""
        << "";
    // The user's disconnect ends the work it interrupts quietly: no block, no read, no further
    // port, and no box about a closed port. It closed the port, also a search's candidate.
    QTest::newRow("write, disconnected before the block")
        << "write"
        << "5A 4A 02 C7" << true << 700 << QStringList{write} << dropped << "" << disconnect;
    QTest::newRow("factory restore, disconnected in its wait")
        << "restore"
        << "5A 0A 83 C6" << true << 500 << QStringList{restore} << dropped << "" << disconnect;
    QTest::newRow("search, disconnected in a candidate's wait")
        << "search"
        << "5A 4A 02 45" << false << 200 << QStringList() << dropped << "" << disconnect;
}

// The converter is pulled in the middle of an action (its line hangs up, then the converter
// library reports the unplug), or the user disconnects. The action ends in time, only its own boxes
// appear, nothing keeps the processor busy afterwards, and plugging the converter in again
// reconnects.
void TestFaults::hangUp() {
    QFETCH(QString, action);
    QFETCH(QString, at);
    QFETCH(bool, answersHandshake);
    QFETCH(int, waitsMs);
    QFETCH(QStringList, boxes);
    QFETCH(QString, status);
    QFETCH(QString, warning);
    QFETCH(QString, by);
    const std::map<QString, std::function<void(TfrmMain&)>> actions = {
        {"write", &TfrmMain::btnWriteClick},
        {"restore", &TfrmMain::btnGetDefaultClick},
        {"search", &TfrmMain::FindDevice},
    };
    WindowFixture f;
    SimulatedSplicer::Options options;
    if (!answersHandshake)
        options.unanswered = {frames::CmdHandshake};
    SimulatedSplicer& sim = f.AddSplicer(3, options);
    if (action != "search")
        f.Connect(3);
    sim.ClearFrames();
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    // Hung up on the spot, the unplug queued before the wait that follows the frame begins.
    onFrame(f, sim, at, [&f, &sim, by] {
        if (!by.isEmpty()) {
            QTimer::singleShot(0, f.window->findChild<QAction*>(by), &QAction::trigger);
            return;
        }
        sim.HangUp();
        TfrmMain::DeviceNotifyCallback(-3);
    });
    QElapsedTimer took;
    took.start();
    actions.at(action)(*f.window);
    QVERIFY2(took.elapsed() <= waitsMs + 1000, qPrintable(QString::number(took.elapsed())));
    QVERIFY(!f.Link().ComPort().Connected());
    const double before = cpuMs();
    idle(2000);
    const double used = cpuMs() - before;
    QVERIFY2(used < 20, qPrintable(QString("%1 ms of CPU in 2 s").arg(used)));
    QCOMPARE(f.boxes.Texts(), boxes);
    QCOMPARE(f.window->StatusText(0), status);
    QCOMPARE(f.window->findChild<QAction*>("actDevConnect")->isChecked(), false);

    f.AddSplicer(3); // plugged in again
    QVERIFY(f.converter.routine);
    f.converter.routine(0);
    QTRY_VERIFY_WITH_TIMEOUT(f.Link().Connected(), 3000);
    QCOMPARE(f.boxes.Texts(), boxes);
}

// Connecting and disconnecting many times leaves no file descriptor, thread or memory behind.
void TestFaults::connectionCyclesLeaveNothingBehind() {
    // Every wait a tenth as long, so that many connections take little time.
    WindowFixture f({}, [](int ms) { SplicerLink::WaitPumping(ms / 10); });
    SimulatedSplicer::Options fast;
    fast.pacing = false;
    SimulatedSplicer& sim = f.AddSplicer(3, fast);
    int connections = 0, retries = 0;
    // A loaded machine may miss a shortened handshake wait now and then: such a connect is
    // tried again, a few times at most.
    const auto cycles = [&](int count) {
        for (int i = 0; i < count; ++i) {
            for (int attempt = 0; attempt < 5 && !f.Link().Connected(); ++attempt) {
                retries += attempt > 0;
                f.window->actDevConnectExecute();
            }
            connections += f.Link().Connected();
            f.window->actDevDisConnectExecute();
            sim.ClearFrames();
        }
    };
    cycles(20); // caches and pools fill up first
    const qsizetype fds = entries("/proc/self/fd"), threads = entries("/proc/self/task");
    const qint64 resident = residentKb();
    connections = retries = 0;
    cycles(200);
    QCOMPARE(entries("/proc/self/fd"), fds);
    QCOMPARE(entries("/proc/self/task"), threads);
    if (kMemoryMeasurable)
        QVERIFY2(residentKb() - resident < 1024,
                 qPrintable(QString("resident memory grew by %1 kB").arg(residentKb() - resident)));
    QVERIFY2(
        connections == 200,
        qPrintable(
            QString("%1 of 200 connected, %2 connects tried again").arg(connections).arg(retries)));
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
