// Finding the splicer among converter ports, plug and unplug notifications, closing.
#include "connhelp/frmConnectionHelp.h"
#include "kit/DistinctBlock.h"
#include "kit/PtyPair.h"
#include "kit/Row.h"
#include "kit/WindowFixture.h"
#include "main/SpinEdit.h"
#include "serial/ComError.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

QAction* connectAction(const WindowFixture& f) {
    return f.window->findChild<QAction*>("actDevConnect");
}

SimulatedSplicer::Options silent() {
    SimulatedSplicer::Options o;
    o.silent = true;
    return o;
}

const QString kNotFound = QStringLiteral("未发现有设备连接！");

} // namespace

class TestWindowDiscovery : public QObject {
    Q_OBJECT
private slots:
    void findsSplicerOnSecondConverter() {
        WindowFixture f;
        SimulatedSplicer::Options late;
        late.answerDelayMs = 500; // too late for the 200 ms wait
        SimulatedSplicer& com3 = f.AddSplicer(3, late);
        SimulatedSplicer& com7 = f.AddSplicer(7);
        f.Connect(7);
        QCOMPARE(FrameTexts(com3), QStringList{"5A 4A 02 45 08 A5"});
        QVERIFY(MsBetween(com3.Frames()[0], com7.Frames()[0]) >= 200 - kStampJitterMs);
        QCOMPARE(f.Link().ComPort().Port(), std::string("COM7"));
        QCOMPARE(f.window->StatusText(0), QString("已连接设备"));
        QVERIFY(connectAction(f)->isChecked());
        QCOMPARE(FrameTexts(com7).last(), QString("5A 4A 02 40 00 A5"));
        QCOMPARE(f.converter.notifyRequests, 2); // each port the search opened asked for them
        QVERIFY(f.boxes.shown.isEmpty());
        serial::TComPort other; // the search let COM3 go, so another program can have it
        other.SetPort(com3.SlavePath());
        QVERIFY_THROWS_NO_EXCEPTION(other.Open());
    }

    void noConverterUpToCom21ShowsNotFound() {
        WindowFixture f;
        f.AddSplicer(22); // never tried, though it would answer
        f.window->FindDevice();
        QCOMPARE(f.boxes.Texts(), QStringList{kNotFound});
        QCOMPARE(f.window->StatusText(0), QString("Ready"));
        QCOMPARE(f.window->StatusNote(), QString("没有熔接机：见 工具 → 连接帮助"));
        QVERIFY(!connectAction(f)->isChecked());
        QCOMPARE(f.converter.notifyRequests, 0); // no port opened, no notification asked for
    }

    void unplugNotifications_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("stillConnected");
        QTest::newRow("own port -7") << -7 << false;
        QTest::newRow("other port -3") << -3 << true;
    }

    void unplugNotifications() {
        QFETCH(int, value);
        QFETCH(bool, stillConnected);
        WindowFixture f;
        f.AddSplicer(7);
        f.Connect(7);
        TfrmMain::DeviceNotifyCallback(value);
        QCoreApplication::processEvents();
        QCOMPARE(f.Link().ComPort().Connected(), stillConnected);
        QCOMPARE(f.Link().State().HandshakeSeen, stillConnected);
        QCOMPARE(f.window->StatusText(0), QString(stillConnected ? "已连接设备" : "已断开设备"));
        QCOMPARE(connectAction(f)->isChecked(), stillConnected);
        QCOMPARE(f.window->StatusText(1), QString("V1.34")); // kept after a disconnect

        // After a menu disconnect the unplug of the old port changes nothing.
        f.window->actDevDisConnectExecute();
        QSignalSpy disconnected(&f.Link(), &SplicerLink::deviceDisconnected);
        TfrmMain::DeviceNotifyCallback(-7);
        QCoreApplication::processEvents();
        QCOMPARE(f.window->StatusText(0), QString("已断开设备"));
        QCOMPARE(disconnected.count(), 0);
    }

    void plugWhileDisconnectedSearches() {
        WindowFixture f;
        SimulatedSplicer& sim = f.AddSplicer(2);
        f.window->MSG_CH341(0);
        QVERIFY(f.Link().State().HandshakeSeen);
        QCOMPARE(f.Link().State().PortNumber, 2);
        QCOMPARE(FrameTexts(sim).first(), QString("5A 4A 02 45 08 A5"));
    }

    void plugWhileConnectedKeepsConnection() {
        WindowFixture f;
        SimulatedSplicer& com2 = f.AddSplicer(2, silent());
        SimulatedSplicer& com5 = f.AddSplicer(5);
        f.Connect(5);
        com2.ClearFrames();
        com5.ClearFrames();
        f.window->MSG_CH341(4);
        QCOMPARE(f.Link().ComPort().Port(), std::string("COM5"));
        QVERIFY(f.Link().ComPort().Connected());
        // Nothing went to either port.
        QCOMPARE(f.SentSoFar(5), QStringList());
        QVERIFY(com2.Frames().empty());
    }

    // A write, restore or load caught in a wait by the command goes on to the splicer found.
    void connectCommandWhileConnectedSearchesAgainFromCom1_data() {
        QTest::addColumn<QString>("during");
        QTest::addColumn<QStringList>("after"); // frames after the search's read, 4 bytes each
        QTest::addColumn<QStringList>("boxes");
        row("idle", "", QStringList(), QStringList());
        row("write", "btnWrite", QStringList{"5A 4A 02 C7", "5A 4B 26 70"},
            QStringList{"你确定要写入数据到设备？"});
        row("restore", "btnGetDefault", QStringList{"5A 4A 02 40"},
            QStringList{"你确定要恢复出厂设置数据到设备？"});
        row("load", "btnOpen", QStringList(), QStringList{"参数加载完毕！"});
    }

    void connectCommandWhileConnectedSearchesAgainFromCom1() {
        QFETCH(QString, during);
        QFETCH(QStringList, after);
        QFETCH(QStringList, boxes);
        WindowFixture f(kDistinctSet);
        SimulatedSplicer& com1 = f.AddSplicer(1, silent());
        SimulatedSplicer& com4 = f.AddSplicer(4);
        f.Connect(4);
        com1.ClearFrames();
        com4.ClearFrames();
        // Seen during the wait on COM1: the connection was dropped before the search.
        QString duringSearch;
        bool handshakeDuringSearch = true;
        QTimer::singleShot(50, [&] {
            duringSearch = f.window->StatusText(0);
            handshakeDuringSearch = f.Link().State().HandshakeSeen;
        });
        if (during.isEmpty()) {
            f.window->actDevConnectExecute();
        } else { // in the wait after the operation's first frame, once the splicer has it
            QObject::connect(
                &f.Link(), &FrameFeed::frameSent, connectAction(f),
                [&f, &com4] {
                    com4.WaitForFrames(1, 2000);
                    QTimer::singleShot(0, connectAction(f), &QAction::trigger);
                },
                Qt::SingleShotConnection);
            f.Button(qPrintable(during))->click();
        }
        QCOMPARE(duringSearch, QString("已断开设备"));
        QVERIFY(!handshakeDuringSearch);
        QCOMPARE(FrameTexts(com1), QStringList{"5A 4A 02 45 08 A5"});
        const qsizetype search = during.isEmpty() ? 0 : 1; // after the operation's first frame
        com4.WaitForFrames(size_t(search + 6 + after.size()), 2000);
        const QStringList sent = FrameTexts(com4);
        QCOMPARE(sent.value(search), QString("5A 4A 02 45 08 A5"));
        QStringList rest;
        for (const QString& frame : sent.mid(search + 6))
            rest << frame.section(' ', 0, 3);
        QCOMPARE(rest, after);
        QCOMPARE(f.boxes.Texts(), boxes);
        QVERIFY(f.Link().State().HandshakeSeen);
        QCOMPARE(f.window->StatusText(0), QString("已连接设备"));
        QVERIFY(connectAction(f)->isChecked());
    }

    void disconnectCommandWhileDisconnectedChangesNothing() {
        WindowFixture f;
        f.window->actDevDisConnectExecute();
        QCOMPARE(f.window->StatusText(0), QString("Ready"));
        QVERIFY(!connectAction(f)->isChecked());
    }

    void portHeldByAnotherProgramStopsSearch() {
        WindowFixture f;
        f.AddSplicer(2, silent());
        SimulatedSplicer& com6 = f.AddSplicer(6);
        f.Connect(6); // the handshake seen there must not count for a port opened later
        com6.ClearFrames();
        serial::TComPort other;
        other.SetPort(f.splicers.at(2)->SlavePath());
        other.Open();
        try {
            f.window->FindDevice();
            QFAIL("no error");
        } catch (const serial::EComPort& e) {
            QCOMPARE(e.Code(), 1);
            QVERIFY(QString(e.what()).startsWith("Unable to open com port (win error code: "));
        }
        QVERIFY(!f.Link().ComPort().Connected());
        QVERIFY(f.boxes.shown.isEmpty()); // no "not found" message
        f.window->btnReadClick();         // and COM6 was never tried
        QVERIFY(com6.Frames().empty());
        other.Close();
        f.window->FindDevice();
        QCOMPARE(f.Link().State().PortNumber, 6);
    }

    void searchRequestedDuringSearchRunsAfterIt() {
        WindowFixture f;
        SimulatedSplicer& com3 = f.AddSplicer(3, silent());
        QTimer::singleShot(50, [] { TfrmMain::DeviceNotifyCallback(0); });
        f.window->FindDevice();
        // Two searches, one after the other: the second handshake came after the first wait ended.
        const auto frames = com3.Frames();
        QCOMPARE(frames.size(), size_t(2));
        QVERIFY(MsBetween(frames[0], frames[1]) >= 200 - kStampJitterMs);
        QCOMPARE(f.boxes.Texts(), (QStringList{kNotFound, kNotFound}));
    }

    void connectCommandDuringSearchReconnectsAfterIt() {
        WindowFixture f;
        SimulatedSplicer& com3 = f.AddSplicer(3, silent());
        SimulatedSplicer& com5 = f.AddSplicer(5);
        QTimer::singleShot(50, [&] { f.window->actDevConnectExecute(); });
        f.window->FindDevice();
        // The first search connected on COM5; the command then disconnected and searched again.
        QCOMPARE(FrameTexts(com3), (QStringList{"5A 4A 02 45 08 A5", "5A 4A 02 45 08 A5"}));
        QCOMPARE(FrameTexts(com5).count("5A 4A 02 45 08 A5"), 2);
        QVERIFY(f.Link().State().HandshakeSeen);
        QCOMPARE(f.Link().State().PortNumber, 5);
    }

    void closingShowsNothing_data() {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("titleBar"); // or 退出
        QTest::addColumn<QString>("status");
        QTest::newRow("without splicer") << false << false << "Ready";
        QTest::newRow("connected, 退出") << true << false << "已断开设备";
        QTest::newRow("connected, title bar") << true << true << "已断开设备";
    }

    void closingShowsNothing() {
        QFETCH(bool, connected);
        QFETCH(bool, titleBar);
        QFETCH(QString, status);
        WindowFixture f;
        f.AddSplicer(3);
        if (connected)
            f.Connect(3);
        QCloseEvent close;
        if (titleBar)
            QCoreApplication::sendEvent(f.window.get(), &close);
        else
            f.window->findChild<QAction*>("mExit")->trigger();
        f.window->btnReadClick(); // a late handler shows nothing either
        f.window->MSG_CH341(0);   // nor a plug notification queued before the close
        QVERIFY(f.boxes.shown.isEmpty());
        QVERIFY(!f.Link().ComPort().Connected());
        QCOMPARE(f.window->StatusText(0), status);
        QCOMPARE(f.converter.notifyCancels, 1);
        QVERIFY(f.converter.routine == nullptr);
    }

    void closingDuringSearchEndsIt() {
        WindowFixture f;
        f.AddSplicer(2, silent());
        SimulatedSplicer& com9 = f.AddSplicer(9);
        QTimer::singleShot(50, [&] { f.window->close(); });
        f.window->FindDevice();
        QVERIFY(com9.Frames().empty()); // no later port was tried
        QVERIFY(f.boxes.shown.isEmpty());
        QVERIFY(!f.Link().ComPort().Connected());
    }

    void connectionHelpExplainsPortsAndSearches() {
        WindowFixture f;
        SimulatedSplicer& sim = f.AddSplicer(3);
        QVERIFY(WriteFile(f.ConfigPath(), "[ports]\nCOM3=" + QByteArray(sim.SlavePath().c_str()) +
                                              "\nCOM5=" + f.dir.filePath("gone").toUtf8() + '\n'));
        f.window->findChild<QAction*>("mConnectionHelp")->trigger();
        auto* help = f.window->findChild<TfrmConnectionHelp*>();
        QVERIFY(help && help->isVisible());
        const auto state = [help](const QString& com) {
            const auto rows =
                help->findChild<QTreeWidget*>("twPorts")->findItems(com, Qt::MatchExactly);
            return rows.size() == 1 ? rows[0]->text(3) : QString("%1 rows").arg(rows.size());
        };
        QCOMPARE(state("COM3"), QString("可以打开"));
        QCOMPARE(state("COM5"), QString("设备不存在"));
        QVERIFY(sim.Frames().empty()); // looking opens, but sends nothing

        QTest::mouseClick(help->findChild<QPushButton*>("btnConnect"), Qt::LeftButton);
        QCOMPARE(f.Link().State().PortNumber, 3);
        QCOMPARE(FrameTexts(sim).first(), QString("5A 4A 02 45 08 A5"));
        QCOMPARE(state("COM3"), QString("本程序已连接在这里"));
        QVERIFY(help->findChild<QLabel*>("lblConnection")->text().startsWith("已连接：COM3"));
        QVERIFY(f.window->StatusNote().contains("已连接：COM3（" +
                                                  QString::fromStdString(sim.SlavePath())));
    }

    void notificationRoutinePostsToWindow() {
        WindowFixture f;
        f.AddSplicer(7);
        f.Connect(7);
        std::thread other([] { TfrmMain::DeviceNotifyCallback(-7); });
        other.join();
        QVERIFY(f.Link().ComPort().Connected()); // posted, not handled on that thread
        QTRY_VERIFY_WITH_TIMEOUT(!f.Link().ComPort().Connected(), 2000);
    }
};

QTEST_MAIN(TestWindowDiscovery)
#include "tst_window_discovery.moc"
