#include "kit/FailingCall.h"
#include "kit/FakeLineDevice.h"
#include "kit/Files.h"
#include "kit/MsTaken.h"
#include "kit/PtyPair.h"
#include "kit/Row.h"
#include "serial/ComDataPacket.h"
#include "serial/ComError.h"
#include "serial/ComHandOff.h"
#include "serial/ComPort.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <tuple>
#include <unistd.h>

// Under the sanitizers the resident size says nothing about leaks (quarantine, shadow memory).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SPLICEON_SANITIZED
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SPLICEON_SANITIZED
#endif
#endif

using namespace serial;

using Setup = std::function<void(TComPort&)>;
Q_DECLARE_METATYPE(Setup)

namespace {

void openOn(TComPort& port, const PtyPair& pty) {
    port.SetPort(pty.SlavePath());
    port.Open();
}

// Collects what a link receives, one entry per hand-off.
struct Receiver {
    TComLink link;
    QList<QByteArray> chunks;
    Receiver() {
        link.OnRxBuf = [this](TCustomComPort&, const uint8_t* b, int n) {
            chunks.append(QByteArray(reinterpret_cast<const char*>(b), n));
        };
    }
    QByteArray all() const { return chunks.join(); }
};

// A port open on a pseudo-terminal, with a receiving link attached.
struct Opened {
    PtyPair pty;
    TComPort port;
    Receiver rx;
    Opened() {
        port.AttachLink(&rx.link);
        openOn(port, pty);
    }
};

// The EComPort that call throws, as "code os-code text"; empty when it throws none.
template <class Call> QString comError(Call call) {
    try {
        call();
    } catch (const EComPort& e) {
        return QString("%1 %2 %3").arg(e.Code()).arg(e.OsCode()).arg(e.what());
    }
    return {};
}

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU seconds this process uses while its event loop idles for ms milliseconds.
double cpuWhileIdle(int ms) {
    const double before = processCpuSeconds();
    QEventLoop idle;
    QTimer::singleShot(ms, &idle, &QEventLoop::quit);
    idle.exec();
    return processCpuSeconds() - before;
}

// Blocks the GUI thread (no event processing) until cond holds or the time is up.
template <class F> bool waitWithoutEvents(F cond, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeoutMs)
            return false;
        std::this_thread::yield();
    }
    return true;
}

int bytesWaiting(const TComPort& port) {
    int n = 0;
    ioctl(port.Handle(), FIONREAD, &n);
    return n;
}

// Open file descriptors (/proc/self/fd) or threads (/proc/self/task) of this process.
int entries(const char* folder) {
    return int(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// The terminal settings in force on fd that matter to the splicer's line, by name.
QString appliedFlags(int fd) {
    termios t{};
    tcgetattr(fd, &t);
    const std::tuple<tcflag_t termios::*, tcflag_t, const char*> known[] = {
        {&termios::c_lflag, ICANON, "ICANON"},   {&termios::c_lflag, ECHO, "ECHO"},
        {&termios::c_oflag, OPOST, "OPOST"},     {&termios::c_iflag, ICRNL, "ICRNL"},
        {&termios::c_cflag, CSTOPB, "CSTOPB"},   {&termios::c_cflag, PARENB, "PARENB"},
        {&termios::c_iflag, INPCK, "INPCK"},     {&termios::c_iflag, IGNPAR, "IGNPAR"},
        {&termios::c_cflag, CRTSCTS, "CRTSCTS"}, {&termios::c_iflag, IXON, "IXON"}};
    QStringList names{(t.c_cflag & CSIZE) == CS8 ? "CS8" : "not CS8"};
    for (const auto& [field, flag, name] : known)
        if (t.*field & flag)
            names << name;
    const bool b9600 = cfgetospeed(&t) == B9600 && cfgetispeed(&t) == B9600;
    return (names << (b9600 ? "B9600" : "not B9600")).join(' ');
}

long residentKb() {
    long size = 0, pages = 0;
    std::ifstream("/proc/self/statm") >> size >> pages;
    return pages * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

class TestComPort : public QObject {
    Q_OBJECT
private slots:
    void defaults() {
        TComPort port;
        QCOMPARE(port.Port(), std::string("COM1"));
        QVERIFY(port.BaudRate() == TBaudRate::br9600);
        QVERIFY(port.Events() == AllComEvents);
        QCOMPARE(port.Timeouts().ReadInterval(), -1);
        QCOMPARE(port.Timeouts().WriteTotalMultiplier(), 100);
        QCOMPARE(port.Buffer().InputSize(), 1024);
        QVERIFY(port.FlowControl().FlowControl() == TFlowControl::fcNone);
        QVERIFY(!port.Connected());
        QCOMPARE(int(TBaudRate::br256000), 15);
        QCOMPARE(int(TComEvent::evRx80Full), 9);
    }

    void oddBufferSizeStoresOneLess_data() {
        QTest::addColumn<int>("given");
        QTest::addColumn<int>("stored");
        QTest::newRow("odd") << 1025 << 1024;
        QTest::newRow("even") << 2048 << 2048;
        QTest::newRow("one") << 1 << 0;
        QTest::newRow("negative odd kept") << -3 << -3;
    }

    void oddBufferSizeStoresOneLess() {
        QFETCH(int, given);
        QFETCH(int, stored);
        TComPort port;
        port.Buffer().SetInputSize(given);
        port.Buffer().SetOutputSize(given);
        QCOMPARE(port.Buffer().InputSize(), stored);
        QCOMPARE(port.Buffer().OutputSize(), stored);
    }

    void flowControlSummary_data() {
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("read");
        QTest::newRow("hardware") << int(TFlowControl::fcHardware) << int(TFlowControl::fcHardware);
        QTest::newRow("software") << int(TFlowControl::fcSoftware) << int(TFlowControl::fcSoftware);
        QTest::newRow("none") << int(TFlowControl::fcNone) << int(TFlowControl::fcNone);
    }

    void flowControlSummary() {
        QFETCH(int, written);
        QFETCH(int, read);
        TComFlowControl flow;
        flow.SetFlowControl(TFlowControl::fcHardware); // start from something else
        flow.SetFlowControl(TFlowControl(written));
        QCOMPARE(int(flow.FlowControl()), read);

        // Anything mixed reads as custom, and writing custom changes nothing.
        flow.SetOutDSRFlow(true);
        flow.SetControlRTS(TRTSFlowControl::rtsToggle);
        QVERIFY(flow.FlowControl() == TFlowControl::fcCustom);
        flow.SetFlowControl(TFlowControl::fcCustom);
        QVERIFY(flow.ControlRTS() == TRTSFlowControl::rtsToggle);
    }

    void writeTimeoutFollowsByteCount() {
        TComTimeouts t;
        QCOMPARE(t.WriteTimeoutMs(10), qint64(2000));
        t.SetWriteTotalMultiplier(0);
        t.SetWriteTotalConstant(0);
        QVERIFY(t.WriteTimeoutMs(10) < 0);
    }

    void opensTerminalsOnly_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        const QString open = "1 %1 Unable to open com port (win error code: %1)";
        row("pseudo-terminal", QString("pty"), QString());
        row("no such device", QString("missing"), open.arg(ENOENT));
        row("regular file, left unchanged", QString("file"), open.arg(ENOTTY));
        row("FIFO without a reader", QString("fifo"), open.arg(ENOTTY));
        row("directory", QString("directory"), open.arg(EISDIR));
        row("character device that is no terminal", QString("/dev/null"), open.arg(ENOTTY));
        const QString refused = "7 %1 SetCommState function failed (win error code: %1)";
        row("pseudo-terminal asked for parity", QString("pty parity"), refused.arg(EINVAL));
        row("pseudo-terminal asked for 7 data bits", QString("pty 7 bits"), refused.arg(EINVAL));
    }

    void opensTerminalsOnly() {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        PtyPair pty(PtyPair::Line::Cooked);
        const QString found = appliedFlags(pty.MasterFd());
        QTemporaryDir dir;
        QString path = dir.filePath("port");
        if (kind.startsWith("pty"))
            path = QString::fromStdString(pty.SlavePath());
        else if (kind == "file")
            WriteFile(path, "notes");
        else if (kind == "fifo")
            ::mkfifo(qPrintable(path), 0600);
        else if (kind == "directory")
            QDir().mkdir(path);
        else if (kind.startsWith('/'))
            path = kind;
        TComPort port;
        port.SetPort(path.toStdString());
        if (kind == "pty parity") // a pseudo-terminal has no parity bit to send
            port.Parity().SetBits(TParityBits::prEven);
        else if (kind == "pty 7 bits") // nor any size but 8
            port.SetDataBits(TDataBits::dbSeven);
        const int fds = entries("/proc/self/fd");
        QCOMPARE(comError([&] { port.Open(); }), error);
        QCOMPARE(port.Connected(), error.isEmpty());
        port.Close();
        QCOMPARE(entries("/proc/self/fd"), fds);
        QCOMPARE(appliedFlags(pty.MasterFd()), found); // a terminal is given back as found
        if (kind == "file")
            QCOMPARE(ReadFile(path), QByteArray("notes"));
    }

    void appliesLineSettings_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QString>("flags");
        row("the window's 9600 8N1", Setup([](TComPort&) {}), QString("CS8 B9600"));
        row("two stop bits", Setup([](TComPort& p) { p.SetStopBits(TStopBits::sbTwoStopBits); }),
            QString("CS8 CSTOPB B9600"));
        row("parity checked, bad bytes delivered",
            Setup([](TComPort& p) { p.Parity().SetCheck(true); }), QString("CS8 B9600"));
        row("parity checked, bad bytes replaced", Setup([](TComPort& p) {
                p.Parity().SetCheck(true);
                p.Parity().SetReplace(true);
            }),
            QString("CS8 INPCK B9600"));
        row("CTS output flow alone",
            Setup([](TComPort& p) { p.FlowControl().SetOutCTSFlow(true); }), QString("CS8 B9600"));
        row("hardware flow control",
            Setup([](TComPort& p) { p.FlowControl().SetFlowControl(TFlowControl::fcHardware); }),
            QString("CS8 CRTSCTS B9600"));
        row("XON/XOFF output", Setup([](TComPort& p) { p.FlowControl().SetXonXoffOut(true); }),
            QString("CS8 IXON B9600"));
    }

    // On a pseudo-terminal left cooked: what is read back is what the port set itself.
    void appliesLineSettings() {
        QFETCH(Setup, setup);
        QFETCH(QString, flags);
        PtyPair pty(PtyPair::Line::Cooked);
        TComPort port;
        Receiver rx;
        port.AttachLink(&rx.link);
        setup(port);
        openOn(port, pty);
        QCOMPARE(appliedFlags(port.Handle()), flags);
        if (flags.contains("IXON"))
            return; // XON and XOFF from the far end steer the line then
        // Line ends, an interrupt, XON, XOFF, an erase and NULs pass both ways unchanged.
        const QByteArray bytes = QByteArray::fromHex("5a000d0a0311137f00a5");
        pty.Write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(rx.all(), bytes, 2000);
        QCOMPARE(port.WriteStr(QByteArray()), 0);
        QCOMPARE(port.WriteStr(bytes), int(bytes.size()));
        // An echo of what came in would arrive before what went out.
        QCOMPARE(pty.ReadAtLeast(int(bytes.size()), 2000), bytes);
        QCOMPARE(pty.ReadAvailable(0), QByteArray());
    }

    void secondOpenOfSameDeviceFails() {
        PtyPair pty;
        TComPort first, second;
        second.SetPort(pty.SlavePath());
        openOn(first, pty);
        QVERIFY(comError([&] { second.Open(); }).contains(QRegularExpression("^1 [1-9]")));
        QVERIFY(!second.Connected());
        first.Close();
        second.Open(); // released by the close
        QVERIFY(second.Connected());
    }

    void openAndCloseAreIdempotent() {
        PtyPair pty;
        TComPort port;
        port.SetPort(pty.SlavePath());
        int opens = 0, closes = 0;
        port.OnAfterOpen = [&] { ++opens; };
        port.OnAfterClose = [&] { ++closes; };
        port.Close();
        port.Open();
        port.Open();
        port.SetConnected(true);
        QCOMPARE(opens, 1);
        port.Close();
        port.SetConnected(false);
        QCOMPARE(closes, 1);
    }

    void renameWhileOpenReopens() {
        PtyPair a, b;
        TComPort port;
        Receiver rx;
        port.AttachLink(&rx.link);
        openOn(port, a);
        port.SetPort(b.SlavePath());
        QVERIFY(port.Connected());
        port.WriteStr("x");
        QCOMPARE(b.ReadAtLeast(1, 2000), QByteArray("x"));
        QCOMPARE(a.ReadAvailable(0), QByteArray());
    }

    void failedReopenLeavesPortClosed() {
        PtyPair a;
        TComPort port;
        openOn(port, a);
        QVERIFY_THROWS_EXCEPTION(EComPort, port.SetPort("/dev/spliceon-no-such-device"));
        QVERIFY(!port.Connected());
    }

    void sameNameDoesNotReopen() {
        PtyPair a;
        TComPort port;
        int opens = 0;
        port.OnAfterOpen = [&] { ++opens; };
        openOn(port, a);
        port.SetPort(a.SlavePath());
        QCOMPARE(opens, 1);
    }

    void writeGivesUpAtItsTimeLimit() {
        Opened opened;
        auto& [pty, port, rx] = opened;
        port.Timeouts().SetWriteTotalMultiplier(0);
        port.Timeouts().SetWriteTotalConstant(200);
        // More than the pseudo-terminal's buffers hold, and nobody reads the far end.
        const QByteArray big(8 << 20, 'x');
        int written = 0;
        const qint64 ms = MsTaken([&] { written = opened.port.WriteStr(big); });
        QVERIFY(written > 0 && written < big.size());
        QVERIFY(ms >= 200 && ms < 2000);
    }

    void bytesArrivedBeforeHandOffComeAsOneChunk() {
        Opened opened;
        auto& [pty, port, rx] = opened;
        pty.Write("abc");
        // The event thread has asked for the hand-off; the GUI thread has not served it yet.
        QVERIFY(waitWithoutEvents([&] { return opened.port.HandOffPending(); }, 2000));
        pty.Write("defgh");
        QVERIFY(waitWithoutEvents([&] { return bytesWaiting(opened.port) == 8; }, 2000));
        QTRY_COMPARE_WITH_TIMEOUT(rx.chunks.size(), 1, 2000);
        QCOMPARE(rx.chunks.first(), QByteArray("abcdefgh"));
    }

    void noEventsMeansNoThread() {
        PtyPair pty;
        TComPort port;
        Receiver rx;
        port.AttachLink(&rx.link);
        port.SetEvents({});
        openOn(port, pty);
        pty.Write("abc");
        QVERIFY(waitWithoutEvents([&] { return bytesWaiting(port) == 3; }, 2000));
        QCoreApplication::processEvents();
        QVERIFY(!port.HandOffPending());
        QVERIFY(rx.chunks.isEmpty());
        QCOMPARE(bytesWaiting(port), 3); // nobody took them
    }

    void bytesLeftUnreadAreAnnouncedAgainOnlyWithMore() {
        PtyPair pty;
        TComPort port;
        QList<int> announced;
        port.OnRxChar = [&](int count) { announced << count; }; // reads nothing
        openOn(port, pty);
        pty.Write("abc");
        QTRY_COMPARE_WITH_TIMEOUT(announced, QList<int>{3}, 2000);
        QVERIFY2(cpuWhileIdle(500) < 0.05, "spins on bytes left unread");
        QCOMPARE(announced, QList<int>{3});
        pty.Write("de");
        QTRY_COMPARE_WITH_TIMEOUT(announced, (QList<int>{3, 5}), 2000);
        port.Close();
        port.Open();
        QCOMPARE(bytesWaiting(port), 0); // closing discarded what was left
    }

    void doubleAttachRaisesCodeEighteen() {
        TComPort port;
        Receiver rx;
        port.AttachLink(&rx.link);
        QCOMPARE(comError([&] { port.AttachLink(&rx.link); }),
                 "18 -1 Link (un)registration failed");
        port.DetachLink(&rx.link);
        QVERIFY_THROWS_EXCEPTION(EComPort, port.DetachLink(&rx.link));
    }

    void syncMethodCannotChangeWhileOpen() {
        Opened opened;
        auto& [pty, port, rx] = opened;
        QVERIFY_THROWS_EXCEPTION(EComPort, port.SetSyncMethod(TSyncMethod::smNone));
        port.SetSyncMethod(TSyncMethod::smThreadSync); // unchanged: allowed
    }

    void closeWhileHandOffWaitsDoesNotDeadlock() {
        Opened opened;
        auto& [pty, port, rx] = opened;
        pty.Write("abc");
        QVERIFY(waitWithoutEvents([&] { return opened.port.HandOffPending(); }, 2000));
        QVERIFY(MsTaken([&] { opened.port.Close(); }) < 1000);
        QVERIFY(!port.Connected());
        // The waiting hand-off was served while closing and still found the port open.
        QCOMPARE(rx.all(), QByteArray("abc"));
    }

    void closeFromInsideHandlerReturns() {
        PtyPair pty;
        TComPort port;
        TComLink link;
        int calls = 0;
        link.OnRxBuf = [&](TCustomComPort& p, const uint8_t*, int) {
            if (++calls > 1)
                return;
            p.Close();
            // Opened again, its new event thread asks while this handling runs: served after it.
            p.Open();
            pty.Write("y");
            QTRY_VERIFY_WITH_TIMEOUT(p.HandOffPending(), 2000);
            QCoreApplication::processEvents();
        };
        port.AttachLink(&link);
        openOn(port, pty);
        pty.Write("z");
        QTRY_COMPARE_WITH_TIMEOUT(calls, 2, 2000);
    }

    void closeAgainWhileClosingIsHarmless() {
        PtyPair pty;
        TComPort port;
        TComLink link;
        int calls = 0;
        link.OnRxBuf = [&](TCustomComPort& p, const uint8_t*, int) {
            ++calls;
            p.Close(); // runs inside the outer close's wait for the event thread
        };
        port.AttachLink(&link);
        openOn(port, pty);
        pty.Write("a");
        QVERIFY(waitWithoutEvents([&] { return port.HandOffPending(); }, 2000));
        port.Close();
        QCOMPARE(calls, 1);
        QVERIFY(!port.Connected());
    }

    void handlerErrorKeepsPortReceiving() {
        PtyPair pty;
        TComPort port;
        // The error goes to standard error only; an unseen message fails the test.
        QTest::ignoreMessage(QtWarningMsg, "serial port: error while handling received data: "
                                           "handler failed");
        TComLink link;
        QList<QByteArray> got;
        link.OnRxBuf = [&](TCustomComPort&, const uint8_t* b, int n) {
            got.append(QByteArray(reinterpret_cast<const char*>(b), n));
            if (got.size() == 1)
                throw std::runtime_error("handler failed");
        };
        port.AttachLink(&link);
        openOn(port, pty);
        pty.Write("1");
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 1, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!port.HandOffPending(), 2000);
        pty.Write("2");
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 2, 2000);
        QCOMPARE(got.last(), QByteArray("2"));
    }

    void hungUpDeviceDoesNotSpin_data() {
        QTest::addColumn<bool>("readFails");
        row("far end closed", false);
        row("a read fails with EIO", true);
    }

    // The device is gone; the port stays open.
    void hungUpDeviceDoesNotSpin() {
        QFETCH(bool, readFails);
        if (readFails && !FailingCall::Works)
            QSKIP("no call fails under ThreadSanitizer");
        auto pty = std::make_unique<PtyPair>();
        TComPort port;
        Receiver rx;
        port.AttachLink(&rx.link);
        openOn(port, *pty);
        const FailingCall failing(readFails ? "read" : ""); // the byte stays in the driver
        if (readFails)
            pty->Write("a");
        else
            pty.reset();
        QCoreApplication::processEvents();
        const double used = cpuWhileIdle(1000);
        QVERIFY2(used < 0.05, qPrintable(QString("CPU %1 s in 1 s").arg(used)));
        QVERIFY(port.Connected());
        QVERIFY(MsTaken([&] { port.Close(); }) < 1000);
    }

    // A converter's driver counts line errors and reports modem lines; a pseudo-terminal does
    // neither, and then only received data comes, with no thread left spinning.
    void lineEventsComeThroughTheHandOffInOrder_data() {
        QTest::addColumn<bool>("converter");
        QTest::addColumn<bool>("closeOnError");
        QTest::addColumn<QStringList>("afterErrors");
        QTest::addColumn<QStringList>("afterLines");
        row("converter", true, false, QStringList{"error 1001", "rx 1", "break", "report 2 1 -"},
            QStringList{"ring", "cts 1", "report 0 0 cts ring"});
        // The close tells CTS off; nothing after the error's handler finds the port open.
        row("converter, OnError closes the port", true, true, QStringList{"error 1001", "cts 0"},
            QStringList{});
        row("pseudo-terminal", false, false, QStringList{"rx 1"}, QStringList{});
    }

    void lineEventsComeThroughTheHandOffInOrder() {
        QFETCH(bool, converter);
        QFETCH(bool, closeOnError);
        QFETCH(QStringList, afterErrors);
        QFETCH(QStringList, afterLines);
        if (!FakeLineDevice::Works)
            QSKIP("ThreadSanitizer keeps the C library's ioctl");
        PtyPair pty;
        std::optional<FakeLineDevice> device;
        if (converter)
            device.emplace(pty.SlavePath());
        QStringList calls;
        TComPort port;
        port.SetTriggersOnRxChar(false); // OnRxBuf takes the bytes
        port.OnError = [&](TComErrors e) {
            calls << QString("error %1").arg(e.Bits(), 0, 2);
            if (closeOnError)
                port.Close();
        };
        port.OnRxBuf = [&](const uint8_t*, int n) { calls << QString("rx %1").arg(n); };
        port.OnBreak = [&] { calls << "break"; };
        port.OnRing = [&] { calls << "ring"; };
        port.OnCTSChange = [&](bool on) { calls << QString("cts %1").arg(on); };
        port.OnLineReport = [&](const TLineReport& r) {
            const QString lines =
                !r.modem ? QString("-")
                         : QString(r.modem->cts ? "cts " : "") + (r.modem->ring ? "ring" : "");
            calls << QString("report %1 %2 %3").arg(r.errors.frame).arg(r.errors.breaks).arg(lines);
        };
        openOn(port, pty);
        calls.clear(); // the lines as the open found them
        if (device)
            device->SetErrorCounts({.frame = 2, .breaks = 1});
        pty.Write(QByteArray(1, '\0')); // a byte with a frame error, or a break, arrives as NUL
        QTRY_COMPARE_WITH_TIMEOUT(calls, afterErrors, 2000);
        calls.clear();
        if (device && port.Connected()) {
            QTRY_VERIFY_WITH_TIMEOUT(device->Waiting(), 2000);
            device->SetModemLines({.cts = true, .ring = true});
            QTRY_COMPARE_WITH_TIMEOUT(calls, afterLines, 2000);
        }
        QVERIFY2(cpuWhileIdle(500) < 0.05, "spins");
        QCOMPARE(calls, afterLines);
        QVERIFY(MsTaken([&] { port.Close(); }) < 1000);
    }

    void emptyReadKeepsPortReceiving_data() {
        QTest::addColumn<bool>("handlerReads");
        QTest::newRow("another reader took the bytes before the hand-off") << false;
        QTest::newRow("OnRxChar handler reads until nothing is left") << true;
    }

    void emptyReadKeepsPortReceiving() {
        QFETCH(bool, handlerReads);
        PtyPair pty;
        TComPort port;
        Receiver rx;
        QByteArray read;
        int handlerCalls = 0;
        if (handlerReads)
            port.OnRxChar = [&](int) {
                ++handlerCalls;
                char b[4];
                for (int n; (n = port.Read(b, sizeof b)) > 0;)
                    read.append(b, n);
            };
        else
            port.AttachLink(&rx.link);
        openOn(port, pty);
        pty.Write("abcdef");
        if (!handlerReads) {
            QVERIFY(waitWithoutEvents([&] { return port.HandOffPending(); }, 2000));
            char b[8];
            QCOMPARE(::read(port.Handle(), b, sizeof b), ssize_t(6));
            read.append(b, 6);
            QTRY_VERIFY_WITH_TIMEOUT(!port.HandOffPending(), 2000);
            QVERIFY(rx.chunks.isEmpty()); // the hand-off found nothing: nobody was called
        }
        QTRY_COMPARE_WITH_TIMEOUT(read, QByteArray("abcdef"), 2000);
        pty.Write("gh");
        QTRY_COMPARE_WITH_TIMEOUT(read + rx.all(), QByteArray("abcdefgh"), 2000);
        QCOMPARE(handlerCalls, handlerReads ? 2 : 0);
    }

    void exhaustedSystemFailsOpenCleanly_data() {
        QTest::addColumn<bool>("outOfThreads");
        QTest::addColumn<int>("osCode");
        QTest::newRow("no descriptor for the stop signal") << false << EMFILE;
        QTest::newRow("no thread") << true << EAGAIN;
    }

    void exhaustedSystemFailsOpenCleanly() {
        QFETCH(bool, outOfThreads);
        QFETCH(int, osCode);
        if (outOfThreads && !FailingCall::Works)
            QSKIP("thread starts cannot be made to fail under ThreadSanitizer");
        PtyPair pty;
        TComPort port;
        Receiver rx;
        port.AttachLink(&rx.link);
        port.SetPort(pty.SlavePath());
        const int fds = entries("/proc/self/fd"), threads = entries("/proc/self/task");
        rlimit saved{};
        getrlimit(RLIMIT_NOFILE, &saved);
        {
            const auto restore = qScopeGuard([&] { setrlimit(RLIMIT_NOFILE, &saved); });
            std::optional<FailingCall> failing;
            if (outOfThreads) {
                failing.emplace("pthread_create");
            } else {
                // Room for the device's descriptor and no other.
                const int device = ::open("/dev/null", O_RDONLY),
                          next = ::open("/dev/null", O_RDONLY);
                ::close(device);
                ::close(next);
                rlimit tight = saved;
                tight.rlim_cur = rlim_t(next);
                setrlimit(RLIMIT_NOFILE, &tight);
            }
            QCOMPARE(comError([&] { port.Open(); }).section(' ', 0, 1),
                     QString("1 %1").arg(osCode));
        }
        QVERIFY(!port.Connected());
        QCOMPARE(entries("/proc/self/fd"), fds);
        // An ended thread leaves /proc/self/task a moment after its join returns.
        QTRY_COMPARE_WITH_TIMEOUT(entries("/proc/self/task"), threads, 2000);
        port.Close();
        port.Open();
        pty.Write("a");
        QTRY_COMPARE_WITH_TIMEOUT(rx.all(), QByteArray("a"), 2000);
    }

    void portDestroyedByHandlerWhileClosing_data() {
        QTest::addColumn<QString>("handler");
        QTest::newRow("received data, port open") << "rx open";
        QTest::newRow("received data served while joining the thread") << "rx";
        QTest::newRow("OnBeforeClose") << "before";
        QTest::newRow("link told of the disconnection") << "conn";
    }

    void portDestroyedByHandlerWhileClosing() {
        QFETCH(QString, handler);
        PtyPair pty;
        TComLink link;
        auto port = std::make_unique<TComPort>();
        const auto destroy = [&] { port.reset(); };
        QByteArray got;
        link.OnRxBuf = [&](TCustomComPort&, const uint8_t* b, int n) {
            got.append(reinterpret_cast<const char*>(b), n);
            if (handler.startsWith("rx"))
                destroy();
        };
        link.OnConn = [&](bool on) {
            if (!on && handler == "conn")
                destroy();
        };
        if (handler == "before")
            port->OnBeforeClose = destroy;
        port->AttachLink(&link);
        port->SetPort(pty.SlavePath());
        const int fds = entries("/proc/self/fd"), threads = entries("/proc/self/task");
        port->Open();
        pty.Write("a");
        QVERIFY(waitWithoutEvents([&] { return port->HandOffPending(); }, 2000));
        if (handler == "rx open")
            QTRY_VERIFY_WITH_TIMEOUT(!port, 2000);
        else
            port->Close();
        QVERIFY(!port);
        QCOMPARE(got, QByteArray("a"));
        QCOMPARE(entries("/proc/self/fd"), fds);
        // An ended thread leaves /proc/self/task a moment after its join returns.
        QTRY_COMPARE_WITH_TIMEOUT(entries("/proc/self/task"), threads, 2000);
    }

    void linkDestroyedByAnotherLinksHandler() {
        PtyPair pty;
        TComPort port;
        TComLink first;
        auto second = std::make_unique<TComDataPacket>();
        int firstCalls = 0, secondCalls = 0;
        first.OnRxBuf = [&](TCustomComPort&, const uint8_t*, int) {
            ++firstCalls;
            second.reset();
        };
        port.AttachLink(&first);
        second->SetComPort(&port);
        second->OnPacket = [&](TComDataPacket&, const QByteArray&) { ++secondCalls; };
        openOn(port, pty);
        pty.Write("a");
        QTRY_COMPARE_WITH_TIMEOUT(firstCalls, 1, 2000);
        QVERIFY(!second);
        pty.Write("b");
        QTRY_COMPARE_WITH_TIMEOUT(firstCalls, 2, 2000);
        QCOMPARE(secondCalls, 0);
    }

    void openCloseCyclesLeaveNothingBehind() {
        PtyPair pty;
        TComPort port;
        TComLink link;
        link.OnRxBuf = [](TCustomComPort&, const uint8_t*, int) {};
        port.AttachLink(&link);
        port.SetPort(pty.SlavePath());
        // A byte each time, so some closes find a hand-off waiting.
        const auto cycles = [&](int n) {
            for (int i = 0; i < n; ++i) {
                port.Open();
                pty.Write("x");
                port.Close();
            }
        };
        cycles(20); // allocator pools and the thread stack cache settle
        const int fds = entries("/proc/self/fd"), threads = entries("/proc/self/task");
        [[maybe_unused]] const long kb = residentKb();
        cycles(1000);
        QCOMPARE(entries("/proc/self/fd"), fds);
        // An ended thread leaves /proc/self/task a moment after its join returns.
        QTRY_COMPARE_WITH_TIMEOUT(entries("/proc/self/task"), threads, 2000);
#ifndef SPLICEON_SANITIZED
        QVERIFY2(residentKb() - kb < 1024,
                 qPrintable(QString("grew %1 kB").arg(residentKb() - kb)));
#endif
    }

    void detectorIsDetachedWhenPortIsDestroyed() {
        TComDataPacket packet;
        {
            TComPort port;
            packet.SetComPort(&port);
            QCOMPARE(packet.ComPort(), &port);
        }
        QVERIFY(packet.ComPort() == nullptr);
    }
};

QTEST_GUILESS_MAIN(TestComPort)
#include "tst_comport.moc"
