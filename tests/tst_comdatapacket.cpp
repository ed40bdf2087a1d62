#include "kit/PtyPair.h"
#include "kit/Row.h"
#include "serial/ComDataPacket.h"
#include "serial/ComPort.h"

#include <QTest>

#include <climits>

using namespace serial;

// What a row sets beyond strings and size: hooks that give a fixed position, and the limit.
struct Options {
    static constexpr int NoHook = INT_MIN;
    int startHook = NoHook;
    int stopHook = NoHook;
    int maxBufferSize = 1024;
};
Q_DECLARE_METATYPE(Options)

// A packet detector that records every packet and discard, in the order they happen.
struct Recorded {
    TComDataPacket p;
    QStringList log;
    Recorded() {
        p.OnPacket = [this](TComDataPacket&, const QByteArray& s) {
            log << "P:" + QString::fromLatin1(s.toHex());
        };
        p.OnDiscard = [this](TComDataPacket&, const QByteArray& s) {
            log << "D:" + QString::fromLatin1(s.toHex());
        };
    }
};

class TestComDataPacket : public QObject {
    Q_OBJECT
private slots:
    void cuts_data() {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("stop");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("include");
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QByteArray>("leftInBuffer");
        QTest::addColumn<bool>("inPacket");
        QTest::addColumn<Options>("options");

        using L = QList<QByteArray>;
        row("pass-through keeps chunks and NULs", QByteArray(), QByteArray(), 0, false,
            L{"abc", QByteArray("d\0e\0fgh", 7)}, QStringList{"P:616263", "P:640065006667 68"},
            QByteArray(), false, Options{});
        row("start string alone passes through", QByteArray("S"), QByteArray(), 0, false,
            L{"xxSyy"}, QStringList{"P:7878537979"}, QByteArray(), false, Options{});
        row("stop byte across chunks", QByteArray(), QByteArray("E"), 0, false, L{"ab", "dE"},
            QStringList{"P:616264"}, QByteArray(), true,
            Options{}); // no start string: a packet begins at once
        row("start and stop, two packets in one chunk", QByteArray("S"), QByteArray("E"), 0, false,
            L{"xxS1EyyS2E"}, QStringList{"D:7878", "P:31", "D:7979", "P:32"}, QByteArray(), false,
            Options{});
        row("include strings keeps them", QByteArray("S"), QByteArray("E"), 0, true, L{"S1E"},
            QStringList{"P:533145"}, QByteArray(), false, Options{});
        row("fixed size cuts once that many are in, the rest inside a packet", QByteArray(),
            QByteArray(), 4, false, L{"0123456789", "ab"},
            QStringList{"P:30313233", "P:34353637", "P:38396162"}, QByteArray(), true, Options{});
        row("NUL as stop byte", QByteArray(), QByteArray("\0", 1), 0, false,
            L{QByteArray("a\0b\0", 4)}, QStringList{"P:61", "P:62"}, QByteArray(), true, Options{});
        row("size cuts first, the stop string below it", QByteArray(), QByteArray("E"), 4, false,
            L{"aE", "bcEdefE"}, QStringList{"P:61", "P:62634564", "P:6566"}, QByteArray(), true,
            Options{});
        for (const int hook : {0, -2}) {
            const QByteArray at = QByteArray::number(hook);
            row(qPrintable("start hook at " + at + " changes nothing"), QByteArray("S"),
                QByteArray("E"), 0, false, L{"xS1E"}, QStringList(), QByteArray("xS1E"), false,
                Options{.startHook = hook});
            row(qPrintable("stop hook at " + at + " waits, size and stop string aside"),
                QByteArray(), QByteArray("E"), 2, false, L{"abE"}, QStringList(), QByteArray("abE"),
                true, Options{.stopHook = hook});
            row(qPrintable("buffer limit " + at + " keeps everything"), QByteArray(),
                QByteArray("E"), 0, false, L{QByteArray(1500, 'a')}, QStringList(),
                QByteArray(1500, 'a'), true, Options{.maxBufferSize = hook});
        }
    }

    void cuts() {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, stop);
        QFETCH(int, size);
        QFETCH(bool, include);
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, expected);
        QFETCH(QByteArray, leftInBuffer);
        QFETCH(bool, inPacket);
        QFETCH(Options, options);

        Recorded r;
        r.p.SetStartString(start);
        r.p.SetStopString(stop);
        r.p.SetSize(size);
        r.p.SetIncludeStrings(include);
        r.p.SetMaxBufferSize(options.maxBufferSize);
        const auto hook = [](int at) {
            return [at](TComDataPacket&, const QByteArray&, int& pos) { pos = at; };
        };
        if (options.startHook != Options::NoHook)
            r.p.OnCustomStart = hook(options.startHook);
        if (options.stopHook != Options::NoHook)
            r.p.OnCustomStop = hook(options.stopHook);
        for (const QByteArray& c : chunks)
            r.p.AddData(c);
        for (QString& e : expected)
            e.remove(' ');
        QCOMPARE(r.log, expected);
        QCOMPARE(r.p.Buffer(), leftInBuffer);
        QCOMPARE(r.p.InPacket(), inPacket);
    }

    void changingStopStringDiscardsBuffer() {
        Recorded r;
        r.p.SetStopString("E");
        r.p.AddData("abc");
        r.p.SetStopString("F");
        QCOMPARE(r.log, QStringList{"D:616263"});
        QVERIFY(r.p.Buffer().isEmpty());
        QVERIFY(!r.p.InPacket());
    }

    void bufferLimitDiscards() {
        Recorded r;
        r.p.SetStopString("E");
        r.p.AddData(QByteArray(1023, 'a'));
        QVERIFY(r.log.isEmpty());
        r.p.AddData("b");
        QCOMPARE(r.log.size(), 1);
        QVERIFY(r.log.first().startsWith("D:"));
        QVERIFY(r.p.Buffer().isEmpty());

        // The limit is checked also when the packet handler fails: what the packet leaves behind
        // goes to OnDiscard, and the handler's error travels on.
        r.log.clear();
        r.p.OnPacket = [](TComDataPacket&, const QByteArray&) { throw std::runtime_error("boom"); };
        const QByteArray rest(1100, 'c');
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, r.p.AddData("1E" + rest));
        QCOMPARE(r.log, QStringList{"D:" + QString::fromLatin1(rest.toHex())});
        QVERIFY(r.p.Buffer().isEmpty());
        QVERIFY(!r.p.InPacket());
    }

    void customHooksFindStartAndStop() {
        Recorded r;
        r.p.OnCustomStart = [](TComDataPacket&, const QByteArray& s, int& pos) {
            pos = int(s.indexOf('<')) + 1;
        };
        r.p.OnCustomStop = [](TComDataPacket&, const QByteArray& s, int& pos) {
            pos = int(s.indexOf('>')) + 1;
        };
        r.p.AddData("ab<cd>e");
        QCOMPARE(r.log, (QStringList{"D:6162", "P:3c63643e"}));
    }

    void caseInsensitiveMatchesLetters() {
        Recorded r;
        r.p.SetStartString("go");
        r.p.SetStopString("END");
        r.p.SetCaseInsensitive(true);
        r.p.AddData("xGO12end");
        QCOMPARE(r.log, (QStringList{"D:78", "P:3132"}));
    }

    void passesChunksThroughTheRealPort() {
        PtyPair pty;
        TComPort port;
        TComDataPacket p;
        p.SetComPort(&port);
        QList<QByteArray> got;
        p.OnPacket = [&](TComDataPacket&, const QByteArray& s) { got << s; };
        port.SetPort(pty.SlavePath());
        port.Open();
        pty.Write("abc");
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 1, 2000);
        pty.Write(QByteArray("\0\x55\0bcdef", 8));
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), 2, 2000);
        QCOMPARE(got, (QList<QByteArray>{"abc", QByteArray("\0\x55\0bcdef", 8)}));
    }
};

QTEST_GUILESS_MAIN(TestComDataPacket)
#include "tst_comdatapacket.moc"
