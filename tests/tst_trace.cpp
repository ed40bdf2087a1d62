// Frames as trace lines, and the trace file.
#include "kit/ErrorText.h"
#include "kit/Files.h"
#include "kit/PlantedPath.h"
#include "kit/Row.h"
#include "trace/FollowFeed.h"
#include "trace/FrameTrace.h"
#include "trace/Pcapng.h"
#include "trace/TraceFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using trace::Direction;

Q_DECLARE_METATYPE(Direction)

namespace {

QByteArray bytes(const char* hex) {
    return QByteArray::fromHex(hex);
}

// A frame with count payload bytes of 01 between head and tail.
QByteArray withPayload(const char* head, int count, const char* tail) {
    return bytes(head) + QByteArray(count, '\x01') + bytes(tail);
}

} // namespace

class TestTrace : public QObject {
    Q_OBJECT
private slots:
    void frameMeaning_data() {
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("meaning");
        const auto tx = [](const char* name, const QByteArray& frame, const char* meaning) {
            QTest::newRow(name) << Direction::Sent << frame << QString::fromUtf8(meaning);
        };
        const auto rx = [](const char* name, const QByteArray& frame, const char* meaning) {
            QTest::newRow(name) << Direction::Received << frame << QString::fromUtf8(meaning);
        };
        tx("handshake", bytes("5A4A024508A5"), "握手");
        tx("version", bytes("5A4A02C100A5"), "版本查询");
        tx("fusion count", bytes("5A4A024900A5"), "熔接次数查询");
        tx("current group", bytes("5A4A024400A5"), "当前组别查询");
        tx("device id", bytes("5A4A024800A5"), "设备ID查询");
        tx("read params", bytes("5A4A024000A5"), "参数读取");
        tx("block length", bytes("5A4A02C700A5"), "参数长度查询");
        tx("environment", bytes("5A4A024E00A5"), "环境状态查询");
        tx("core reset", bytes("5A4A024700A5"), "调芯复位");
        tx("origin", bytes("5A4A024600A5"), "重置原点");
        tx("read calibration", bytes("5A4A023000A5"), "校正参数读取");
        tx("other command", bytes("5A4A029900A5"), "未知命令 99");
        tx("write 32", withPayload("5A4B20", 32, "A5"), "参数写入 32 字节");
        tx("write 38", withPayload("5A4B26", 38, "A5"), "参数写入 38 字节");
        tx("write calibration", bytes("5A3A040A05FBF6A5"), "校正参数写入 10 5 -5 -10");
        tx("save as factory", bytes("5A0A83C50000000000A5"), "保存到出厂设置");
        tx("restore factory", bytes("5A0A83C60000000000A5"), "恢复出厂参数");
        tx("arc test", bytes("5A0A810004F4010000A5"), "放电测试 电流 1024 时长 500");
        tx("no end byte", bytes("5A4A024508"), "未知");
        tx("count does not fit", bytes("5A4A03450800A5"), "未知");
        tx("an answer sent", bytes("550545C0AA"), "未知");
        tx("a kind that is a record's code", bytes("5A8300A5"), "未知");
        tx("a record's code that is a kind", bytes("5A0A4B010203040506A5"), "未知");
        rx("handshake accepted", bytes("550545C0AA"), "握手应答");
        rx("handshake refused", bytes("550545C1AA"), "握手应答 C1（不接受）");
        rx("version 134", bytes("5506C18600AA"), "版本 V1.34");
        rx("version 140", bytes("5506C18C00AA"), "版本 V1.4");
        rx("version short", bytes("5505C186AA"), "版本（数据不足）");
        rx("block length", bytes("5506C72600AA"), "参数长度 38");
        rx("fusion count", bytes("550649D204AA"), "熔接次数 1234");
        rx("current group", bytes("55054403AA"), "当前组别 3");
        rx("device id", bytes("550E48") + "SPL202600\x07" + bytes("AA"), "设备ID SPL202600\\x07");
        // Nothing the splicer sends may steer a terminal or climb out of a folder.
        rx("device id, controls", bytes("550E48") + "../\x1B[2J\xC2\x9B\x7F" + bytes("AA"),
           "设备ID ../\\x1B[2J\\xC2\\x9B\\x7F");
        rx("device id, not UTF-8",
           bytes("550E48") + "\\\xFF\xE5\x8C\x97ok" + QByteArray(3, 0) + bytes("AA"),
           "设备ID \\\\\\xFF北ok\\x00\\x00\\x00");
        rx("device id, bidi and lines",
           bytes("550E48") + "a\xE2\x80\xAE\xE2\x80\xA8\r\n1" + bytes("AA"),
           "设备ID a\\xE2\\x80\\xAE\\xE2\\x80\\xA8\\x0D\\x0A1");
        rx("device id, paragraph separator and overlong forms",
           bytes("550E48") + "a \xE2\x80\xA9\xE0\x80\xAF\xC0\xAF" + bytes("AA"),
           "设备ID a \\xE2\\x80\\xA9\\xE0\\x80\\xAF\\xC0\\xAF");
        rx("environment", bytes("550C4E2D00FD00F4030501AA"), "环境 RH=45 T=25.30 P=1012 T=26.10");
        rx("params 38", withPayload("552A40", 38, "AA"), "参数块 38 字节");
        rx("params 32", withPayload("552440", 32, "AA"), "参数块 32 字节");
        rx("other answer", bytes("550477AA"), "未知应答 77");
        rx("answer to a command that has none", bytes("550447AA"), "未知应答 47");
        rx("wrong end byte", bytes("5506C18600AB"), "未知");
        rx("length does not fit", bytes("5507C18600AA"), "未知");
        rx("a command received", bytes("5A4A024508A5"), "未知");
    }

    void frameMeaning() {
        QFETCH(Direction, direction);
        QFETCH(QByteArray, frame);
        QFETCH(QString, meaning);
        QCOMPARE(trace::FrameMeaning(direction, frame), meaning);
    }

    void traceLineLayout() {
        const QTime t(9, 5, 7, 42);
        QCOMPARE(trace::TraceLine({1234, t, Direction::Received, bytes("5506C18600AA")}),
                 QStringLiteral("09:05:07.042     1234 RX 55 06 C1 86 00 AA | 版本 V1.34"));
        QCOMPARE(trace::TraceLine({123456789, t, Direction::Sent, bytes("5A4A02C100A5")}),
                 QStringLiteral("09:05:07.042 123456789 TX 5A 4A 02 C1 00 A5 | 版本查询"));
        QCOMPARE(trace::TraceLine({7, t, Direction::Received, bytes("00FF55"), true}),
                 QStringLiteral("09:05:07.042        7 RX 丢弃 3 字节 00 FF 55"));
    }

    // The blocks as the capture format lays them out, little-endian: type, length, body, length.
    void lineReportLines_data() {
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("overrun");
        QTest::addColumn<bool>("modem");
        QTest::addColumn<QString>("line");
        row("line errors", 2, 1, false, QString("线路错误：帧错误 2，溢出 1"));
        row("modem lines", 0, 0, true, QString("调制解调器线路：CTS 开，DSR 关，RI 关，DCD 开"));
    }

    void lineReportLines() {
        QFETCH(int, frame);
        QFETCH(int, overrun);
        QFETCH(bool, modem);
        QFETCH(QString, line);
        trace::FrameRecord r = trace::RecordNow(Direction::Received, {});
        r.line = serial::TLineReport{.errors = {.frame = frame, .overrun = overrun}};
        if (modem)
            r.line->modem = serial::TModemStatus{.cts = true, .rlsd = true};
        QCOMPARE(trace::TraceLine(r).section(" RX ", 1), line);
    }

    void pcapngBlocks_data() {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("expected");
        // Section header (byte-order magic, version 1.0, length unknown, comment "ab", end of
        // options), then the interface: link type USER0, no snapshot length.
        row("section", trace::PcapngSection("ab"),
            bytes("0A0D0D0A 28000000 4D3C2B1A 0100 0000 FFFFFFFFFFFFFFFF 0100 0200 61620000 "
                  "00000000 28000000 01000000 14000000 9300 0000 00000000 14000000"));
        // Interface 0, microseconds high and low word, lengths, the frame padded to four bytes,
        // epb_flags with the direction (outbound 2, inbound 1), end of options.
        row("sent", trace::PcapngPacket(0x104030201, Direction::Sent, bytes("5A4A02C100A5")),
            bytes("06000000 34000000 00000000 01000000 01020304 06000000 06000000 5A4A02C100A50000 "
                  "02000400 02000000 00000000 34000000"));
        row("received", trace::PcapngPacket(7, Direction::Received, bytes("550545C0AA")),
            bytes("06000000 34000000 00000000 00000000 07000000 05000000 05000000 550545C0AA000000 "
                  "02000400 01000000 00000000 34000000"));
        row("no padding", trace::PcapngPacket(7, Direction::Received, bytes("5506C18600AA0000")),
            bytes("06000000 34000000 00000000 00000000 07000000 08000000 08000000 5506C18600AA0000 "
                  "02000400 01000000 00000000 34000000"));
    }

    void pcapngBlocks() {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, expected);
        QCOMPARE(written.toHex(' '), expected.toHex(' '));
    }

    void traceFileAppendsWhileItLives() {
        QTemporaryDir dir;
        const QString path = dir.filePath("trace.txt");
        QVERIFY(WriteFile(path, "earlier run\n"));
        FrameFeed feed;
        std::optional<trace::TTraceFile> file(std::in_place, path, feed, "# this run");
        const qint64 before = trace::MsSinceStart();
        emit feed.frameSent(bytes("5A4A02C100A5"));
        emit feed.frameReceived(bytes("5506C18600AA"));
        emit feed.bytesDiscarded(bytes("00FF"));
        QFile written(path);
        QVERIFY(
            written.open(QIODevice::ReadOnly)); // readable before the sink closes: written through
        const QStringList lines = QString::fromUtf8(written.readAll()).split('\n');
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.mid(0, 2), (QStringList{"earlier run", "# this run"}));
        QCOMPARE(lines[2].section(" TX ", 1), QStringLiteral("5A 4A 02 C1 00 A5 | 版本查询"));
        QCOMPARE(lines[3].section(" RX ", 1), QStringLiteral("55 06 C1 86 00 AA | 版本 V1.34"));
        QCOMPARE(lines[4].section(" RX ", 1), QStringLiteral("丢弃 2 字节 00 FF"));
        QVERIFY(lines[2].section(' ', 1, 1, QString::SectionSkipEmpty).toLongLong() >= before);
        QCOMPARE(lines[5], QString());
        file->CheckComplete();
        file.reset();
        emit feed.frameSent(bytes("5A4A02C100A5"));
        written.seek(0);
        QCOMPARE(written.readAll().count('\n'), 5);
    }

    void traceFileRefusesWhatItMustNotWrite_data() {
        QTest::addColumn<QString>("planted"); // as PlantedPath makes it
        QTest::addColumn<QString>("reason");
        row("no such folder", QString("no folder"), QString("No such file or directory"));
        row("link", QString("link"), QString("这是符号链接，记录不跟随链接"));
        row("dangling link", QString("dangling link"), QString("这是符号链接，记录不跟随链接"));
        row("hard link", QString("hard link"), QString("文件还有别的硬链接"));
        row("pipe nobody reads", QString("pipe"), QString("管道没有读取方"));
        row("another's file", QString("another's file"), QString("文件属于别的用户"));
        row("a device refusing writes", QString("full device"),
            QString("No space left on device（记录不完整）"));
    }

    void traceFileRefusesWhatItMustNotWrite() {
        QFETCH(QString, planted);
        QFETCH(QString, reason);
        PlantedPath target(planted);
        if (!target.possible)
            QSKIP("making another user's file or writing a device of ours needs root");
        FrameFeed feed;
        QCOMPARE(ErrorText<std::runtime_error>(
                     [&] { trace::TTraceFile file(target.path, feed, "# run"); }),
                 QStringLiteral("无法写入记录文件 %1：%2").arg(target.path, reason));
        // None made where a link points, nothing added to a file with another name.
        QCOMPARE(QFile::exists(target.victim), planted == "link" || planted == "hard link");
        if (planted == "link" || planted == "hard link" || planted == "another's file")
            QCOMPARE(ReadFile(target.path), QByteArray("kept\n"));
    }
};

QTEST_GUILESS_MAIN(TestTrace)
#include "tst_trace.moc"
