// The service record: what the window records and shows in its record window, and records that
// cannot be written, which never stop the work.
#include "kit/Files.h"
#include "kit/Row.h"
#include "kit/WindowFixture.h"
#include "main/SpinEdit.h"
#include "record/Recorder.h"
#include "record/ServiceDb.h"
#include "record/frmRecord.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QTreeWidget>

namespace {

enum class Fault { None, NoFolder, Locked, NotADatabase, DamagedPages };

// Rows of a tree widget as "column 1 text|column 2 text", children indented by ">".
QStringList rows(const QTreeWidget& tree) {
    QStringList out;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(&tree)); *it; ++it)
        out << QString((*it)->parent() ? ">" : "") + (*it)->text(1) + '|' + (*it)->text(2);
    return out;
}

} // namespace

class TestRecord : public QObject {
    Q_OBJECT
private slots:
    void recordWindowShowsTheWindowsWork() {
        WindowFixture f;
        f.AddSplicer(3);
        f.Connect(3);
        QTRY_VERIFY(f.window->StatusNote().contains(QStringLiteral("读出参数：完成")));
        f.Spin("edtCurrent3")->setText("48");
        f.window->btnWriteClick();
        QVERIFY2(f.window->StatusNote().contains(QStringLiteral("写入：已发送，1 项改变")),
                 qPrintable(f.window->StatusNote()));
        QVERIFY(f.window->StatusNote().contains(QStringLiteral("已连接：COM3（")) &&
                f.window->StatusNote().endsWith(QStringLiteral("设备ID SPL2026001")));

        f.window->findChild<QAction*>("mRecord")->trigger();
        auto* window = f.window->findChild<TfrmRecord*>();
        QVERIFY(window && window->isVisible());
        const auto* splicers = window->findChild<QTreeWidget*>("lstSplicers");
        QCOMPARE(splicers->topLevelItemCount(), 1);
        QCOMPARE(splicers->topLevelItem(0)->text(0), QStringLiteral("SPL2026001"));
        QCOMPARE(splicers->topLevelItem(0)->text(1), QStringLiteral("V1.34"));
        QCOMPARE(window->findChild<QTreeWidget*>("lstVisits")->topLevelItemCount(), 1);
        QCOMPARE(rows(*window->findChild<QTreeWidget*>("lstOperations")),
                 QStringList({"读出参数|完成", "写入|已发送", ">第三组熔接电流|第三组熔接电流 45 → 48"}));

        // A filter that matches no splicer empties all three lists.
        window->findChild<QLineEdit*>("edtDevice")->setText("XYZ");
        QCOMPARE(splicers->topLevelItemCount(), 0);
        QCOMPARE(window->findChild<QTreeWidget*>("lstOperations")->topLevelItemCount(), 0);
    }

    void faultsNeverStopTheWork_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("stored");   // records found afterwards
        QTest::addColumn<bool>("renamed"); // the damaged file kept beside
        row("writable", Fault::None, 2, false);
        row("folder that cannot be made", Fault::NoFolder, 0, false);
        row("locked by another program", Fault::Locked, 0, false);
        row("not a database", Fault::NotADatabase, 2, true);
        row("damaged pages", Fault::DamagedPages, 2, true);
    }
    void faultsNeverStopTheWork() {
        QFETCH(Fault, fault);
        QFETCH(int, stored);
        QFETCH(bool, renamed);
        QTemporaryDir dir;
        QString path = dir.filePath("service.db");
        QSqlDatabase holder = QSqlDatabase::addDatabase("QSQLITE", "holder");
        switch (fault) {
        case Fault::None:
            break;
        case Fault::NoFolder: // /proc takes no new folder, not even from root
            path = "/proc/spliceon-record/service.db";
            break;
        case Fault::Locked:
            record::TServiceDb(path).Splicers(); // made, then held
            holder.setDatabaseName(path);
            QVERIFY(holder.open());
            QVERIFY(QSqlQuery(holder).exec("BEGIN EXCLUSIVE"));
            break;
        case Fault::NotADatabase:
            WriteFile(path, "technician's notes, not a database\n");
            break;
        case Fault::DamagedPages: {
            {
                record::TServiceDb db(path);
                db.Splicers();
            }
            QByteArray bytes = ReadFile(path);
            QVERIFY(bytes.size() > 4096);
            bytes.replace(4096, bytes.size() - 4096, QByteArray(bytes.size() - 4096, '\x5a'));
            WriteFile(path, bytes);
            break;
        }
        }
        const QByteArray before = QFileInfo::exists(path) ? ReadFile(path) : QByteArray();
        record::TServiceDb db(path);
        record::TRecorder recorder(db);
        QSignalSpy faults(&recorder, &record::TRecorder::fault);
        QSignalSpy recorded(&recorder, &record::TRecorder::recorded);
        qsizetype linesBeforeFault = -1;
        connect(&recorder, &record::TRecorder::fault, this,
                [&] { linesBeforeFault = recorded.size(); });
        recorder.RecordSet(record::Kind::Save, {{"Heat", "60"}});
        recorder.RecordSet(record::Kind::Load, {{"Heat", "70"}});
        // Both operations went on and were told, whatever the file did.
        QCOMPARE(recorded.size(), 2);
        QCOMPARE(faults.size(), fault == Fault::None ? 0 : 1);
        // After the first operation's line, which would hide it in the note panel.
        QCOMPARE(linesBeforeFault, fault == Fault::None ? -1 : 1);
        if (fault != Fault::None)
            QVERIFY2(faults.first().first().toString().contains(
                         renamed ? "已改名为" : "没有记入服务记录"),
                     qPrintable(faults.first().first().toString()));
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase("holder");
        if (stored > 0)
            QCOMPARE(int(record::TServiceDb(path).Operations(QString()).size()), stored);
        const QStringList kept = QDir(dir.path()).entryList({"service.db.damaged-*"});
        QCOMPARE(kept.filter(QRegularExpression("damaged-\\d{8}-\\d{6}$")).size(), renamed ? 1 : 0);
        if (renamed)
            QCOMPARE(ReadFile(dir.filePath(kept.filter(QRegularExpression("\\d$")).first())),
                     before);
    }
};

QTEST_MAIN(TestRecord)
#include "tst_record.moc"
