#include "teamrecord/TeamServer.h"

#include "teamrecord/ServerSchema.h"
#include "teamrecord/ColumnValue.h"
#include "teamrecord/TeamError.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace teamrecord {
namespace {

// PostgreSQL's SQLSTATE for a table that does not exist.
const QString kUndefinedTable = QStringLiteral("42P01");
// Serialises two --init runs on one server; any number of the program's own.
constexpr int kInitLock = 0x53504c49; // "SPLI"
// A server that takes the login and then keeps a statement waiting (a table locked, a machine
// overloaded) fails it after this long instead of holding the program.
constexpr int kStatementTimeoutMs = 5000;

[[noreturn]] void fail(const QSqlError& e) {
    const QString reason = (e.databaseText().isEmpty() ? e.driverText() : e.databaseText()).trimmed();
    if (e.nativeErrorCode() == kUndefinedTable)
        throw ETeamRecord(QCoreApplication::translate(
            "TeamRecord", "团队服务器上还没有服务记录的表：请先运行 spliceon --sync-record --init"));
    throw ETeamRecord(QCoreApplication::translate("TeamRecord", "团队服务器：%1").arg(reason));
}

QString quotedName(const QString& name) {
    return '"' + QString(name).replace('"', QStringLiteral("\"\"")) + '"';
}

} // namespace

TTeamServer::TTeamServer(const QString& connectionString) {
    static std::atomic<unsigned> serial{0};
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        throw ETeamRecord(QCoreApplication::translate(
                              "TeamRecord", "没有 Qt 的 PostgreSQL 驱动（%1），团队记录不能发送")
                              .arg(QStringLiteral("libqt6sql6-psql")));
    connection_ = QStringLiteral("team-record-%1").arg(serial++);
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection_);
    db_.setConnectOptions(connectionString);
    QSqlError e;
    if (!db_.open())
        e = db_.lastError();
    else if (QSqlQuery q(db_);
             !q.exec(QStringLiteral("SET statement_timeout = %1").arg(kStatementTimeoutMs)))
        e = q.lastError();
    if (e.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
        fail(e);
    }
}

TTeamServer::~TTeamServer() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

QSqlQuery TTeamServer::run(const QString& sql, const QVariantList& values) {
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    // PostgreSQL prepares no schema statements: those, with nothing to bind, run as they are.
    if (values.isEmpty() ? !q.exec(sql) : !q.prepare(sql))
        fail(q.lastError());
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!values.isEmpty() && !q.exec())
        fail(q.lastError());
    return q;
}

int TTeamServer::version() {
    QSqlQuery q = run(QStringLiteral("SELECT coalesce(max(version), 0) FROM spliceon_schema"));
    return q.next() ? q.value(0).toInt() : 0;
}

void TTeamServer::Init() {
    db_.transaction();
    try {
        run(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kInitLock));
        QSqlQuery exists = run(QStringLiteral("SELECT to_regclass('spliceon_schema') IS NOT NULL"));
        const int from = exists.next() && exists.value(0).toBool() ? version() : 0;
        const auto& steps = ServerSchemaSteps();
        for (int v = from; v < ServerSchemaVersion(); ++v) {
            for (const QString& sql : steps.at(size_t(v)))
                run(sql);
            run(QStringLiteral("INSERT INTO spliceon_schema (version) VALUES (?)"), {v + 1});
        }
        if (!db_.commit())
            fail(db_.lastError());
    } catch (const ETeamRecord&) {
        db_.rollback();
        throw;
    }
}

void TTeamServer::RequireSchema() {
    // A newer schema only adds: this program's rows still fit.
    if (const int v = version(); v < ServerSchemaVersion())
        throw ETeamRecord(
            QCoreApplication::translate("TeamRecord",
                                        "团队服务器上的服务记录格式较旧（%1）：请运行 "
                                        "spliceon --sync-record --init")
                .arg(v));
}

void TTeamServer::Insert(const Rows& rows) {
    QStringList names;
    for (const QString& c : rows.columns)
        names << quotedName(c);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (uuid) DO NOTHING")
                            .arg(quotedName(rows.table), names.join(QStringLiteral(", ")),
                                 QStringList(rows.columns.size(), QStringLiteral("?"))
                                     .join(QStringLiteral(", ")));
    db_.transaction();
    try {
        for (const QVariantList& values : rows.values)
            run(sql, values);
        if (!db_.commit())
            fail(db_.lastError());
    } catch (const ETeamRecord&) {
        db_.rollback();
        throw;
    }
}

std::vector<QVariantList> TTeamServer::Select(const QString& sql, const QVariantList& values) {
    QSqlQuery q = run(sql, values);
    std::vector<QVariantList> rows;
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << ColumnValue(q, i);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace teamrecord
