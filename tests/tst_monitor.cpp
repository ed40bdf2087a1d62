// The traffic monitor: its line limit, clear and save, the history it opens with, and what it
// shows of a connection.
#include "kit/WindowFixture.h"
#include "main/SpinEdit.h"
#include "monitor/frmMonitor.h"
#include "paramset/ParamFields.h"
#include "trace/FollowFeed.h"
#include "trace/FrameHistory.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QtEndian>

namespace {

// A version answer carrying value, so every line of a run is told apart by its meaning.
QByteArray versionAnswer(uint16_t value) {
    QByteArray f = QByteArray::fromHex("5506C10000AA");
    qToLittleEndian(value, f.data() + 3);
    return f;
}

QString meaning(const QString& line) {
    return line.section(QStringLiteral(" | "), 1);
}

// "TX 握手" from a trace line.
QString directionAndMeaning(const QString& line) {
    return line.section(' ', 2, 2, QString::SectionSkipEmpty) + ' ' + meaning(line);
}

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private slots:
    void keepsTheLastLines() {
        QWidget owner;
        FrameFeed feed;
        trace::TFrameHistory history(feed);
        TfrmMonitor monitor(history, &owner);
        const int total = TfrmMonitor::kMaxLines + 5;
        for (int i = 0; i < total; ++i)
            emit feed.frameReceived(versionAnswer(uint16_t(i)));
        const QStringList lines = monitor.Lines();
        QCOMPARE(lines.size(), TfrmMonitor::kMaxLines);
        QCOMPARE(meaning(lines.first()), QStringLiteral("版本 V0.05"));
        QCOMPARE(meaning(lines.last()), QStringLiteral("版本 V100.04"));
    }

    void clearAndSave() {
        QWidget owner;
        FrameFeed feed;
        trace::TFrameHistory history(feed);
        TfrmMonitor monitor(history, &owner);
        emit feed.frameSent(QByteArray::fromHex("5A4A02C100A5"));
        emit feed.frameReceived(versionAnswer(134));
        QTemporaryDir dir;
        const QString path = dir.filePath("traffic.txt");
        monitor.SaveTo(path);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), monitor.Lines().join('\n') + '\n');
        QCOMPARE(monitor.Lines().size(), 2);
        QCOMPARE(meaning(monitor.Lines()[1]), QStringLiteral("版本 V1.34"));

        monitor.Clear();
        QCOMPARE(monitor.Lines(), QStringList());
        monitor.SaveTo(path);
        saved.close();
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 monitor.SaveTo(dir.filePath("no/such/folder.txt")));
        QVERIFY(QFile::link(dir.path(), dir.filePath("via"))); // no link, even for a folder
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, monitor.SaveTo(dir.filePath("via/t.txt")));
        // The dialog's name: one without a suffix gets ".txt".
        QCOMPARE(TfrmMonitor::SavePath("/a.b/trace"), QString("/a.b/trace.txt"));
        QCOMPARE(TfrmMonitor::SavePath("/a.b/trace."), QString("/a.b/trace.txt"));
        QCOMPARE(TfrmMonitor::SavePath("/a.b/trace.log"), QString("/a.b/trace.log"));
    }

    // Opened late, or again, a monitor shows the last frames the history kept.
    void opensWithTheHistory() {
        QWidget owner;
        FrameFeed feed;
        trace::TFrameHistory history(feed);
        for (size_t i = 0; i < trace::TFrameHistory::kSize + 5; ++i)
            emit feed.frameReceived(versionAnswer(uint16_t(i)));
        QPointer<TfrmMonitor> monitor = TfrmMonitor::Open(history, &owner);
        QCOMPARE(TfrmMonitor::Open(history, &owner), monitor.data()); // one per owner
        QCOMPARE(monitor->Lines().size(), int(trace::TFrameHistory::kSize));
        QCOMPARE(meaning(monitor->Lines().first()), QStringLiteral("版本 V0.05"));
        monitor->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(monitor.isNull());
        emit feed.bytesDiscarded(QByteArray::fromHex("00FF"));
        const QStringList lines = TfrmMonitor::Open(history, &owner)->Lines();
        QCOMPARE(lines.size(), int(trace::TFrameHistory::kSize));
        QCOMPARE(meaning(lines.first()), QStringLiteral("版本 V0.06"));
        QVERIFY2(lines.last().endsWith(QStringLiteral(" RX 丢弃 2 字节 00 FF")),
                 qPrintable(lines.last()));
    }

    void listsTheConnectExchange() {
        WindowFixture f;
        f.AddSplicer(3);
        f.Connect(3); // opened afterwards, it still shows the connection
        QMenu* tools = f.window->findChild<QMenu*>(QStringLiteral("mTools"));
        QAction* entry = tools->actions().first();
        QCOMPARE(entry->text(), QStringLiteral("通讯记录(&L)"));
        entry->trigger();
        auto* monitor = f.window->findChild<TfrmMonitor*>();
        QVERIFY(monitor && monitor->isVisible());

        QTRY_COMPARE_WITH_TIMEOUT(monitor->Lines().size(), 12, 3000);
        const QStringList lines = monitor->Lines();
        QStringList sent, received;
        qint64 previous = 0;
        for (const QString& line : lines) {
            const qint64 ms = line.section(' ', 1, 1, QString::SectionSkipEmpty).toLongLong();
            QVERIFY(ms >= previous);
            previous = ms;
            (line.contains(QStringLiteral(" TX ")) ? sent : received) << directionAndMeaning(line);
        }
        QCOMPARE(directionAndMeaning(lines[0]), QStringLiteral("TX 握手"));
        QCOMPARE(directionAndMeaning(lines[1]), QStringLiteral("RX 握手应答"));
        QCOMPARE(sent, (QStringList{"TX 握手", "TX 版本查询", "TX 熔接次数查询", "TX 当前组别查询",
                                    "TX 设备ID查询", "TX 参数读取"}));
        QCOMPARE(received,
                 (QStringList{"RX 握手应答", "RX 版本 V1.34", "RX 熔接次数 1234", "RX 当前组别 3",
                              "RX 设备ID SPL2026001", "RX 参数块 38 字节"}));
        // Beside the window, on the screen, off the write and read buttons.
        const QWidget* buttons = f.window->findChild<QWidget*>("GroupBox8");
        const QRect keepClear(buttons->mapToGlobal(QPoint(0, 0)), buttons->size());
        QVERIFY(monitor->screen()->availableGeometry().contains(monitor->frameGeometry()));
        QVERIFY(!monitor->frameGeometry().intersects(keepClear));
        // The block's line opens to its fields, in the window's words.
        QVERIFY(monitor->BlockFields(0).isEmpty());
        const QList<QStringList> fields = monitor->BlockFields(int(lines.size()) - 1);
        QCOMPARE(fields.size(), int(params::kFields.size()));
        QCOMPARE(fields[0], (QStringList{"加热时间", f.Spin("edtHeat")->text(), "s"}));
        QCOMPARE(fields[6], (QStringList{"第一组熔接时长", f.Spin("edtTime1")->text(), "0.1s"}));
    }

    void followsNewLinesOnlyAtTheBottom() {
        QWidget owner;
        FrameFeed feed;
        trace::TFrameHistory history(feed);
        for (int i = 0; i < 200; ++i)
            emit feed.frameReceived(versionAnswer(uint16_t(i)));
        TfrmMonitor* monitor = TfrmMonitor::Open(history, &owner);
        QScrollBar* bar = monitor->findChild<QPlainTextEdit*>()->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        emit feed.frameReceived(versionAnswer(1));
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(10);
        emit feed.frameReceived(versionAnswer(2));
        QCOMPARE(bar->value(), 10);
    }
};

QTEST_MAIN(TestMonitor)
#include "tst_monitor.moc"
