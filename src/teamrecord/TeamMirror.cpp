#include "teamrecord/TeamMirror.h"

#include "record/ServiceDb.h"
#include "teamrecord/ServerSchema.h"
#include "teamrecord/TeamError.h"
#include "teamrecord/TeamServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>

namespace teamrecord {
namespace {

// A row is stamped with the start of the transaction that sent it, which may commit after
// rows stamped later: the next copy looks back this far.
constexpr int kLateCommitMinutes = 10;

[[noreturn]] void fail(const QString& path, const QSqlError& e) {
    throw ETeamRecord(QCoreApplication::translate("TeamRecord", "团队记录副本 %1：%2")
                          .arg(QDir::toNativeSeparators(path), e.text()));
}

// The mirror's own connection, on the calling thread, for as long as the copy runs.
class TMirrorConnection {
public:
    explicit TMirrorConnection(const QString& path) {
        static std::atomic<unsigned> serial{0};
        name_ = QStringLiteral("team-mirror-%1").arg(serial++);
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(path);
        if (!db_.open())
            fail(path, db_.lastError());
    }
    ~TMirrorConnection() {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase& Db() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

} // namespace

QString TeamMirrorPath(const QString& localRecord) {
    return QFileInfo(localRecord).dir().filePath(QStringLiteral("team.db"));
}

void PullTeam(TTeamServer& server, const QString& mirrorPath) {
    // The service record's own code makes the file and its tables, as for a local record.
    try {
        record::TServiceDb(mirrorPath).Splicers();
    } catch (const record::ERecord& e) {
        throw ETeamRecord(QString::fromUtf8(e.what()));
    }
    TMirrorConnection mirror(mirrorPath);
    QSqlDatabase& db = mirror.Db();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS team_pulled (upto TEXT NOT NULL)")) ||
        !q.exec(QStringLiteral("SELECT upto FROM team_pulled")))
        fail(mirrorPath, q.lastError());
    const QString since = q.next() ? q.value(0).toString() : QStringLiteral("-infinity");
    q.finish();
    const QString upto =
        server.Select(QStringLiteral("SELECT coalesce(max(received), '-infinity')::text FROM "
                                     "(SELECT received FROM visit UNION ALL"
                                     " SELECT received FROM operation) AS r"),
                      {})
            .at(0)
            .at(0)
            .toString();
    db.transaction();
    for (const QString& table : SharedTables()) {
        QStringList columns;
        const QSqlRecord fields = db.record(table);
        for (int i = 0; i < fields.count(); ++i)
            columns << '"' + fields.fieldName(i) + '"';
        const auto rows = server.Select(
            QStringLiteral("SELECT %1 FROM %2 WHERE received > ?::timestamptz - interval '%3 minutes'")
                .arg(columns.join(QStringLiteral(", ")), table)
                .arg(kLateCommitMinutes),
            {since});
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT OR IGNORE INTO %1 (%2) VALUES (%3)")
                           .arg(table, columns.join(QStringLiteral(", ")),
                                QStringList(columns.size(), QStringLiteral("?"))
                                    .join(QStringLiteral(", "))));
        for (const QVariantList& row : rows) {
            for (const QVariant& value : row)
                insert.addBindValue(value);
            if (!insert.exec()) {
                db.rollback();
                fail(mirrorPath, insert.lastError());
            }
        }
    }
    if (!q.exec(QStringLiteral("DELETE FROM team_pulled")) ||
        !q.prepare(QStringLiteral("INSERT INTO team_pulled (upto) VALUES (?)"))) {
        db.rollback();
        fail(mirrorPath, q.lastError());
    }
    q.addBindValue(upto);
    if (!q.exec() || !db.commit()) {
        db.rollback();
        fail(mirrorPath, q.lastError());
    }
}

} // namespace teamrecord
