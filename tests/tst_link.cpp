// The link to the splicer without a window, against the simulated splicer on a pseudo-terminal.
#include "kit/FakeConverter.h"
#include "kit/Hex.h"
#include "kit/MsTaken.h"
#include "kit/PtyPair.h"
#include "kit/ScriptedBoxes.h"
#include "protocol/Frames.h"
#include "protocol/SplicerLink.h"
#include "sim/SimulatedSplicer.h"

#include <QTest>
#include <QTimer>

#include <optional>

namespace {

// A link whose port is open on a simulated splicer, without the search.
struct LinkFixture {
    explicit LinkFixture(SimulatedSplicer::Options options = {}) : sim(options) {
        link.ComPort().SetPort(sim.SlavePath());
        link.ComPort().Open();
    }
    ScriptedBoxes boxes;
    FakeConverter converter;
    SimulatedSplicer sim;
    SplicerLink link{boxes, converter, nullptr};
};

using Answer = std::optional<uint16_t>;

} // namespace

class TestLink : public QObject {
    Q_OBJECT
private slots:
    void waitPumpingNeverShorter() {
        QVERIFY(MsTaken([] { SplicerLink::WaitPumping(120); }) >= 120);
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        SplicerLink::WaitPumping(0);
        SplicerLink::WaitPumping(-5);
        QVERIFY(!ran); // returned without processing events
        // A long handler inside the wait holds it.
        QVERIFY(MsTaken([] {
                    QTimer::singleShot(10, [] { QTest::qSleep(150); });
                    SplicerLink::WaitPumping(50);
                }) >= 150);
    }

    void answerChangesNothing_data() {
        QTest::addColumn<bool>("sequenceActive");
        QTest::addColumn<QByteArray>("frame");
        // Each answer one byte short of what its code carries.
        QTest::newRow("version, 1 byte") << true << QByteArray::fromHex("5505C186AA");
        QTest::newRow("device ID, 9 bytes")
            << true << QByteArray::fromHex("550D4853504C323032363030AA");
        QTest::newRow("fusion count, 1 byte") << true << QByteArray::fromHex("550549D2AA");
        QTest::newRow("current group, none") << true << QByteArray::fromHex("550444AA");
        QTest::newRow("block length, 1 byte") << true << QByteArray::fromHex("5505C726AA");
        QTest::newRow("handshake C1") << false << QByteArray::fromHex("550545C1AA");
        QTest::newRow("device ID outside the sequence")
            << false << QByteArray::fromHex("550E4853504C32303236303031AA");
        QTest::newRow("fusion count outside the sequence")
            << false << QByteArray::fromHex("550649D204AA");
        QTest::newRow("current group outside the sequence")
            << false << QByteArray::fromHex("55054403AA");
    }

    void answerChangesNothing() {
        QFETCH(bool, sequenceActive);
        QFETCH(QByteArray, frame);
        SimulatedSplicer::Options silent;
        silent.silent = true;
        LinkFixture f(silent);
        // A group of 7, so that an answer read without its byte shows as 0.
        const QByteArray handshake = QByteArray::fromHex("550545C0AA"),
                         group7 = QByteArray::fromHex("55054407AA"),
                         version7 = QByteArray::fromHex("5506C10700AA");
        f.link.ComDataPacket1Packet(f.link.ComDataPacket1(),
                                    (sequenceActive ? handshake + group7 : QByteArray()) + version7);
        QCOMPARE(f.link.State().QuerySequenceActive, sequenceActive);
        const DeviceState before = f.link.State();
        f.link.ComDataPacket1Packet(f.link.ComDataPacket1(), frame);
        QVERIFY(f.link.State() == before); // a query sequence started would show here too
    }

    void askReturnsTheAnswerOrNone_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<Answer>("version");
        QTest::addColumn<Answer>("length");
        QTest::newRow("answered") << false << Answer(134) << Answer(38);
        QTest::newRow("silent") << true << Answer() << Answer();
    }

    void askReturnsTheAnswerOrNone() {
        QFETCH(bool, silent);
        QFETCH(Answer, version);
        QFETCH(Answer, length);
        SimulatedSplicer::Options o;
        o.silent = silent;
        LinkFixture f(o);
        // A length received earlier is no answer.
        f.link.ComDataPacket1Packet(f.link.ComDataPacket1(), QByteArray::fromHex("5506C71E00AA"));
        QCOMPARE(f.link.AskVersion(), version);
        QCOMPARE(f.link.State().FirmwareVersion, version.value_or(0));
        QCOMPARE(f.link.AskBlockLength(), length);
    }

    void framesSentAndReceivedAreSignalled() {
        LinkFixture f;
        QStringList sent, received;
        connect(&f.link, &SplicerLink::frameSent, [&](const QByteArray& b) { sent << Hex(b); });
        connect(&f.link, &SplicerLink::frameReceived,
                [&](const QByteArray& b) { received << Hex(b); });
        f.link.QueryVersion();
        QCOMPARE(sent, QStringList{"5A 4A 02 C1 00 A5"});
        QCOMPARE(received, QStringList{"55 06 C1 86 00 AA"});
        f.link.ComPort().Close();
        f.link.SendCommand(frames::CmdVersion, 0); // not sent, so not signalled
        QCOMPARE(sent.size(), 1);
        QCOMPARE(f.boxes.Texts(), QStringList{SplicerLink::kNotConnected});
    }

    void searchWithoutRoutineAsksForNoNotifications() {
        SimulatedSplicer sim(SimulatedSplicer::Options{});
        ScriptedBoxes boxes;
        FakeConverter converter;
        converter.AddPort(4, sim.SlavePath());
        SplicerLink link{boxes, converter, nullptr};
        link.FindDevice();
        QVERIFY(link.Connected());
        QCOMPARE(converter.notifyRequests + converter.notifyCancels, 0);
    }

    void connectPortNeedsAnAnswerOnThatPort() {
        LinkFixture f;
        f.link.ConnectPort(f.sim.SlavePath());
        QVERIFY(f.link.Connected());
        // The port closes by itself (a hang-up): the flag of its handshake stays.
        f.link.ComPort().Close();
        PtyPair silent;
        QVERIFY(!f.link.ConnectPort(silent.SlavePath()));
        // Nor does a search take a silent candidate for it.
        f.link.ConnectPort(f.sim.SlavePath());
        f.link.ComPort().Close();
        f.converter.AddPort(2, silent.SlavePath());
        f.link.FindDevice();
        QVERIFY(!f.link.Connected());
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
