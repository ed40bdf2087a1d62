// The team record against a real PostgreSQL server (scripts/with-postgres gives one in
// SPLICEON_TEST_PGSERVER; without it the tests that need it skip).
#include "config/Config.h"
#include "kit/Row.h"
#include "record/ServiceDb.h"
#include "teamrecord/PendingRecords.h"
#include "teamrecord/SendPending.h"
#include "teamrecord/ServerAddress.h"
#include "teamrecord/TeamError.h"
#include "teamrecord/TeamMirror.h"
#include "teamrecord/TeamServer.h"
#include "teamrecord/TeamSync.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace teamrecord;

constexpr const char* kNoServer =
    "no PostgreSQL server given (SPLICEON_TEST_PGSERVER; scripts/with-postgres)";

class TestTeamRecord : public QObject {
    Q_OBJECT

    QString admin_; // the cluster's superuser
    QString server_; // this run's own database on it
    QTemporaryDir dir_;

    // A laptop's local record with one visit and two operations of it.
    QString laptop(const QString& name) {
        const QString path = dir_.filePath(name + QStringLiteral(".db"));
        record::Visit visit{record::NewStamp(QStringLiteral("/dev/ttyUSB0"), "SPL2026001"), 134,
                            1234, 3};
        record::TServiceDb(path).AddVisit(visit);
        for (const record::Kind kind : {record::Kind::Read, record::Kind::Write})
            addOperation(path, visit.stamp.uuid, kind);
        return path;
    }

    static void addOperation(const QString& path, const QString& visit, record::Kind kind) {
        record::Operation o;
        o.stamp = record::NewStamp(QStringLiteral("/dev/ttyUSB0"), "SPL2026001");
        o.visit = visit;
        o.kind = kind;
        o.after = QByteArray(38, '\x11'); // before and sent stay empty, as after a read
        record::TServiceDb(path).AddOperation(o);
    }

    int send(const QString& path) {
        TTeamServer server(server_);
        return SendPending(path, server);
    }

    int onServer(const QString& table) {
        TTeamServer server(server_);
        return server.Select(QStringLiteral("SELECT count(*) FROM %1").arg(table), {})
            .at(0).at(0).toInt();
    }

    int pending(const QString& path) {
        TPendingRecords local(path);
        return int(local.Next(QStringLiteral("visit"), 100).values.size() +
                   local.Next(QStringLiteral("operation"), 100).values.size());
    }

    void serverCluster(const char* action) {
        const QString pgctl = qEnvironmentVariable("SPLICEON_TEST_PGCTL");
        QStringList words = pgctl.split(' ', Qt::SkipEmptyParts);
        QVERIFY(!words.isEmpty());
        QCOMPARE(QProcess::execute(words.takeFirst(), words << QString::fromLatin1(action)), 0);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        config::SetConfigPath(dir_.filePath(QStringLiteral("config.ini")));
        admin_ = qEnvironmentVariable("SPLICEON_TEST_PGSERVER");
        if (admin_.isEmpty())
            return;
        const QString name = QStringLiteral("spliceon_test_%1").arg(QCoreApplication::applicationPid());
        {
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
            admin.setConnectOptions(admin_);
            QVERIFY2(admin.open(), qPrintable(admin.lastError().text()));
            QSqlQuery q(admin);
            QVERIFY(q.exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name)));
            QVERIFY(q.exec(QStringLiteral("CREATE DATABASE %1").arg(name)));
        }
        server_ = ConnectionString(admin_ + QStringLiteral(" dbname=") + name);
        TTeamServer(server_).Init();
    }

    void connectionString_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("expected"); // empty: refused
        row("key/value", QStringLiteral("host=db dbname = 'my ''s'"), QStringLiteral(""));
        row("key/value quoted", QStringLiteral("host=db dbname='a b\\'c'"),
            QStringLiteral("host='db' dbname='a b\\'c' connect_timeout='2'"));
        row("uri", QStringLiteral("postgresql://tech@db.example:5433/service?sslmode=require"),
            QStringLiteral("host='db.example' port='5433' user='tech' dbname='service'"
                           " sslmode='require' connect_timeout='2'"));
        row("own time-out", QStringLiteral("host=db connect_timeout=5"),
            QStringLiteral("host='db' connect_timeout='5'"));
        row("password", QStringLiteral("host=db password=secret"), QStringLiteral(""));
        row("uri password", QStringLiteral("postgresql://tech:secret@db/service"), QStringLiteral(""));
        row("uri query password", QStringLiteral("postgres://db/service?password=x"), QStringLiteral(""));
        row("unquoted end", QStringLiteral("host='db"), QStringLiteral(""));
    }
    void connectionString() {
        QFETCH(QString, setting);
        QFETCH(QString, expected);
        try {
            QCOMPARE(ConnectionString(setting), expected);
            QVERIFY(!expected.isEmpty());
        } catch (const ETeamRecord& e) {
            QVERIFY2(expected.isEmpty(), e.what());
            QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("[record] server=")));
        }
    }

    // Two laptops send into one server; a send repeated, a mark lost: each record once.
    void twoLaptopsEachRecordOnce() {
        if (server_.isEmpty())
            QSKIP(kNoServer);
        const QString a = laptop(QStringLiteral("a"));
        const QString b = laptop(QStringLiteral("b"));
        QCOMPARE(send(a), 3);
        QCOMPARE(send(b), 3);
        QCOMPARE(send(a), 0);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("a"));
            db.setDatabaseName(a);
            QVERIFY(db.open() && QSqlQuery(db).exec(QStringLiteral("DELETE FROM team_sent")));
        }
        QCOMPARE(send(a), 3);
        QCOMPARE(onServer(QStringLiteral("visit")), 2);
        QCOMPARE(onServer(QStringLiteral("operation")), 4);
    }

    // The server stops between two operations, or keeps the table locked: the record waits and
    // goes when the server answers again.
    void serverStoppedMidRun() {
        if (server_.isEmpty())
            QSKIP(kNoServer);
        const QString c = laptop(QStringLiteral("c"));
        QCOMPARE(send(c), 3);
        serverCluster("stop");
        addOperation(c, QString(), record::Kind::Save);
        QVERIFY_THROWS_EXCEPTION(ETeamRecord, send(c));
        QCOMPARE(pending(c), 1);
        serverCluster("start");
        // Up again but the table held by another session: the send gives up, the record waits.
        {
            QSqlDatabase holder =
                QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("holder"));
            holder.setConnectOptions(server_);
            QVERIFY(holder.open() && holder.transaction());
            QVERIFY(QSqlQuery(holder).exec(QStringLiteral("LOCK TABLE operation")));
            QVERIFY_THROWS_EXCEPTION(ETeamRecord, send(c));
            QVERIFY(holder.rollback());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        QCOMPARE(pending(c), 1);
        QCOMPARE(send(c), 1);
        QCOMPARE(pending(c), 0);
    }

    // A login refused is told once, however often the thread tries; the records stay. A team's
    // copy that cannot be written is told as well, and ends nothing.
    void loginRefusedToldOnce() {
        if (server_.isEmpty())
            QSKIP(kNoServer);
        const QString d = laptop(QStringLiteral("d"));
        config::WriteConfigString(QStringLiteral("record"), QStringLiteral("server"),
                                  server_ + QStringLiteral(" user=nobody_here"));
        TTeamSync sync(d);
        QSignalSpy fault(&sync, &TTeamSync::fault);
        QSignalSpy reached(&sync, &TTeamSync::reached);
        sync.Start();
        QVERIFY(fault.wait());
        sync.Nudge();
        sync.Nudge();
        QVERIFY(!fault.wait(500) && reached.isEmpty());
        QVERIFY(fault.at(0).at(0).toString().contains(QStringLiteral("nobody_here")));
        QCOMPARE(pending(d), 3);

        // The server answers, but the team's copy beside the record is a newer program's.
        const QString e = laptop(QStringLiteral("newer/e"));
        {
            QSqlDatabase copy = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "copy");
            copy.setDatabaseName(TeamMirrorPath(e));
            QVERIFY(copy.open() && QSqlQuery(copy).exec(QStringLiteral("PRAGMA user_version=99")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("copy"));
        config::WriteConfigString(QStringLiteral("record"), QStringLiteral("server"), server_);
        TTeamSync newer(e);
        QSignalSpy copyFault(&newer, &TTeamSync::fault);
        newer.Start();
        QVERIFY(copyFault.wait());
        QVERIFY(copyFault.at(0).at(0).toString().contains(TeamMirrorPath(e)));
    }
};

QTEST_GUILESS_MAIN(TestTeamRecord)
#include "tst_teamrecord.moc"
