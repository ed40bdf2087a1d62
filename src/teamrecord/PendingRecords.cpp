#include "teamrecord/PendingRecords.h"

#include "record/ServiceDb.h"
#include "teamrecord/ColumnValue.h"
#include "teamrecord/TeamError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace teamrecord {
namespace {

[[noreturn]] void fail(const QString& path, const QSqlError& e) {
    throw ETeamRecord(QCoreApplication::translate("TeamRecord", "本机服务记录 %1：%2")
                          .arg(QDir::toNativeSeparators(path), e.text()));
}

} // namespace

TPendingRecords::TPendingRecords(QString path)
    : path_(std::move(path)) {
    static std::atomic<unsigned> serial{0};
    connection_ = QStringLiteral("team-pending-%1").arg(serial++);
}

TPendingRecords::~TPendingRecords() {
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool TPendingRecords::open() {
    if (db_.isOpen())
        return true;
    if (!QFileInfo::exists(path_))
        return false;
    if (!db_.isValid())
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(record::TServiceDb::kBusyTimeoutMs));
    if (!db_.open())
        fail(path_, db_.lastError());
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS team_sent (uuid TEXT PRIMARY KEY)")))
        fail(path_, q.lastError());
    return true;
}

Rows TPendingRecords::Next(const QString& table, int limit) {
    Rows rows{table, {}, {}};
    if (!open() || !db_.tables().contains(table))
        return rows;
    const QSqlRecord fields = db_.record(table);
    for (int i = 0; i < fields.count(); ++i)
        rows.columns << fields.fieldName(i);
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT * FROM %1 WHERE uuid NOT IN (SELECT uuid FROM team_sent)"
                               " ORDER BY rowid LIMIT %2")
                    .arg(table)
                    .arg(limit)))
        fail(path_, q.lastError());
    while (q.next()) {
        QVariantList values;
        for (int i = 0; i < fields.count(); ++i)
            values << ColumnValue(q, i);
        rows.values.push_back(std::move(values));
    }
    return rows;
}

void TPendingRecords::MarkSent(const Rows& rows) {
    const qsizetype uuid = rows.columns.indexOf(QStringLiteral("uuid"));
    db_.transaction();
    QSqlQuery q(db_);
    q.prepare(QStringLiteral("INSERT OR IGNORE INTO team_sent (uuid) VALUES (?)"));
    for (const QVariantList& values : rows.values) {
        q.addBindValue(values.at(uuid));
        if (!q.exec()) {
            db_.rollback();
            fail(path_, q.lastError());
        }
    }
    if (!db_.commit())
        fail(path_, db_.lastError());
}

} // namespace teamrecord
