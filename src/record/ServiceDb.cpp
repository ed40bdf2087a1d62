#include "record/ServiceDb.h"

#include "record/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>

namespace record {
namespace {

// SQLite's primary result codes that tell why.
enum : int {
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteReadOnly = 8,
    SqliteIoErr = 10,
    SqliteCorrupt = 11,
    SqliteFull = 13,
    SqliteCantOpen = 14,
    SqliteNotADb = 26,
};

int primaryCode(const QSqlError& e) {
    return e.nativeErrorCode().toInt() & 0xff;
}

bool damaged(const QSqlError& e) {
    const int code = primaryCode(e);
    return code == SqliteCorrupt || code == SqliteNotADb;
}

// A failure that means the file is damaged; caught where the file can be set aside.
class EDamaged : public ERecord {
public:
    using ERecord::ERecord;
};

QString why(const QSqlError& e) {
    const char* reason = nullptr;
    switch (primaryCode(e)) {
    case SqliteBusy:
    case SqliteLocked:
        reason = QT_TRANSLATE_NOOP("ServiceRecord", "另一个程序正占用它");
        break;
    case SqliteReadOnly:
        reason = QT_TRANSLATE_NOOP("ServiceRecord", "文件或它所在的文件夹只读");
        break;
    case SqliteFull:
        reason = QT_TRANSLATE_NOOP("ServiceRecord", "磁盘已满");
        break;
    case SqliteCantOpen:
        reason = QT_TRANSLATE_NOOP("ServiceRecord", "无法打开或建立该文件");
        break;
    case SqliteCorrupt:
    case SqliteNotADb:
        reason = QT_TRANSLATE_NOOP("ServiceRecord", "文件已损坏或不是数据库");
        break;
    case SqliteIoErr:
        reason = QT_TRANSLATE_NOOP("ServiceRecord", "读写出错");
        break;
    default:
        return e.text();
    }
    return QCoreApplication::translate("ServiceRecord", reason);
}

[[noreturn]] void fail(const QString& path, const QSqlError& e) {
    const std::string text = QCoreApplication::translate("ServiceRecord", "服务记录 %1：%2")
                                 .arg(QDir::toNativeSeparators(path), why(e))
                                 .toStdString();
    if (damaged(e))
        throw EDamaged(text);
    throw ERecord(text);
}

QSqlQuery run(QSqlDatabase& db, const QString& path, const QString& sql,
              const QVariantList& values = {}) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        fail(path, q.lastError());
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        fail(path, q.lastError());
    return q;
}

// Qt binds a null string or byte array as NULL; the columns take none.
QString text(const QString& s) {
    return s.isNull() ? QStringLiteral("") : s;
}

QByteArray bytes(const QByteArray& b) {
    return b.isNull() ? QByteArray("") : b;
}

QVariantList stampValues(const Stamp& s) {
    return {s.uuid,       s.time.toString(Qt::ISODate), s.time.toMSecsSinceEpoch(),
            text(s.user), text(s.program),              text(s.port),
            bytes(s.deviceId)};
}

const QString kStampColumns = QStringLiteral("uuid, at, at_utc, user, program, port, device_id");

Stamp stampAt(const QSqlQuery& q) {
    QDateTime time = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
    return {q.value(0).toString(), time,
            q.value(3).toString(), q.value(4).toString(),
            q.value(5).toString(), q.value(6).toByteArray()};
}

} // namespace

TServiceDb::TServiceDb(QString path)
    : path_(std::move(path)),
      connection_(QStringLiteral("service-record-%1").arg(quintptr(this), 0, 16)) {}

TServiceDb::~TServiceDb() {
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    }
}

QSqlDatabase& TServiceDb::database() {
    if (db_.isOpen())
        return db_;
    try {
        open();
    } catch (const EDamaged&) {
        renameDamaged();
        open();
    }
    return db_;
}

void TServiceDb::open() {
    if (!db_.isValid()) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        if (!db_.isValid())
            throw ERecord(QCoreApplication::translate("ServiceRecord",
                                                      "服务记录：没有 Qt 的 SQLite 驱动（%1）")
                              .arg(QStringLiteral("libqt6sql6-sqlite"))
                              .toStdString());
    }
    // The installed program's folder is the user's own; the portable one exists already.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    db_.setDatabaseName(path_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db_.open())
        fail(path_, db_.lastError());
    try {
        prepare();
    } catch (const ERecord&) {
        db_.close();
        throw;
    }
}

void TServiceDb::prepare() {
    // The version first: it is what tells a file that is no database.
    const int version = [this] {
        QSqlQuery q = run(db_, path_, QStringLiteral("PRAGMA user_version"));
        return q.next() ? q.value(0).toInt() : 0;
    }();
    if (version > kSchemaVersion)
        throw ERecord(QCoreApplication::translate("ServiceRecord",
                                                  "服务记录 %1 来自较新的程序版本（格式 %2），"
                                                  "这个版本不写入它")
                          .arg(QDir::toNativeSeparators(path_))
                          .arg(version)
                          .toStdString());
    run(db_, path_, QStringLiteral("PRAGMA journal_mode=WAL"));
    // Every commit is on the disk before the next operation on the splicer begins.
    run(db_, path_, QStringLiteral("PRAGMA synchronous=FULL"));
    if (version < kSchemaVersion)
        migrate(version);
}

void TServiceDb::migrate(int from) {
    // Another program may be doing the same: the write lock first, then look again.
    run(db_, path_, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        QSqlQuery q = run(db_, path_, QStringLiteral("PRAGMA user_version"));
        const int now = q.next() ? q.value(0).toInt() : from;
        q.finish();
        const auto& steps = SchemaSteps();
        for (int v = now; v < kSchemaVersion; ++v)
            for (const QString& sql : steps.at(size_t(v)))
                run(db_, path_, sql);
        run(db_, path_, QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion));
        run(db_, path_, QStringLiteral("COMMIT"));
    } catch (const ERecord&) {
        db_.rollback();
        throw;
    }
}

void TServiceDb::renameDamaged() {
    if (db_.isOpen())
        db_.close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString target = path_ + QStringLiteral(".damaged-") + stamp;
    // The log and the shared-memory index go with it: left behind, they would be replayed into
    // the new file.
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFileInfo::exists(path_ + suffix) && !QFile::rename(path_ + suffix, target + suffix))
            throw ERecord(
                QCoreApplication::translate("ServiceRecord", "服务记录 %1 已损坏，也无法改名")
                    .arg(QDir::toNativeSeparators(path_))
                    .toStdString());
    renamed_ = target;
}

template <class F> void TServiceDb::writing(F&& write) {
    try {
        write(database());
    } catch (const EDamaged&) {
        // Damaged while open: set it aside once and write into a new file.
        if (!renamed_.isEmpty())
            throw;
        renameDamaged();
        write(database());
    }
}

void TServiceDb::AddVisit(const Visit& v) {
    writing([&](QSqlDatabase& db) {
        QVariantList values = stampValues(v.stamp);
        values << v.firmware << v.fusionCount << v.currentGroup;
        run(db, path_,
            QStringLiteral("INSERT INTO visit (%1, firmware, fusion_count, current_group)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(kStampColumns),
            values);
    });
}

void TServiceDb::AddOperation(const Operation& o) {
    writing([&](QSqlDatabase& db) {
        QVariantList values = stampValues(o.stamp);
        values << (o.visit.isEmpty() ? QVariant() : QVariant(o.visit)) << KindName(o.kind)
               << OutcomeName(o.outcome) << text(o.reason) << bytes(o.before) << bytes(o.sent)
               << bytes(o.after)
               << QString::fromUtf8(QJsonDocument(o.detail).toJson(QJsonDocument::Compact));
        run(db, path_,
            QStringLiteral("INSERT INTO operation (%1, visit, kind, outcome, reason,"
                           " before, sent, after, detail)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(kStampColumns),
            values);
    });
}

std::vector<Splicer> TServiceDb::Splicers() {
    // SQLite takes the other columns from the row that holds the maximum.
    QSqlQuery q = run(database(), path_,
                      QStringLiteral("SELECT device_id, firmware, fusion_count, at, MAX(at_utc),"
                                     " COUNT(*) FROM visit GROUP BY device_id"
                                     " ORDER BY MAX(at_utc) DESC"));
    std::vector<Splicer> splicers;
    while (q.next())
        splicers.push_back(
            {q.value(0).toByteArray(), uint16_t(q.value(1).toUInt()), uint16_t(q.value(2).toUInt()),
             QDateTime::fromString(q.value(3).toString(), Qt::ISODate), q.value(5).toInt()});
    return splicers;
}

std::vector<Visit> TServiceDb::Visits(const QByteArray& deviceId, const QDateTime& since) {
    QString sql = QStringLiteral("SELECT %1, firmware, fusion_count, current_group FROM visit"
                                 " WHERE at_utc >= ?")
                      .arg(kStampColumns);
    QVariantList values{since.isValid() ? since.toMSecsSinceEpoch() : qint64(0)};
    if (!deviceId.isEmpty()) {
        sql += QStringLiteral(" AND device_id = ?");
        values << deviceId;
    }
    QSqlQuery q = run(database(), path_, sql + QStringLiteral(" ORDER BY at_utc"), values);
    std::vector<Visit> visits;
    while (q.next())
        visits.push_back({stampAt(q), uint16_t(q.value(7).toUInt()), uint16_t(q.value(8).toUInt()),
                          uint8_t(q.value(9).toUInt())});
    return visits;
}

Visit TServiceDb::VisitOf(const QString& visitUuid) {
    QSqlQuery q = run(database(), path_,
                      QStringLiteral("SELECT %1, firmware, fusion_count, current_group FROM visit"
                                     " WHERE uuid = ?")
                          .arg(kStampColumns),
                      {visitUuid});
    if (!q.next())
        throw ERecord(QCoreApplication::translate("ServiceRecord", "服务记录里没有这次连接：%1")
                          .arg(visitUuid)
                          .toStdString());
    return {stampAt(q), uint16_t(q.value(7).toUInt()), uint16_t(q.value(8).toUInt()),
            uint8_t(q.value(9).toUInt())};
}

std::vector<Operation> TServiceDb::Operations(const QString& visitUuid) {
    QSqlQuery q =
        run(database(), path_,
            QStringLiteral("SELECT %1, visit, kind, outcome, reason, before, sent, after,"
                           " detail FROM operation WHERE visit IS ? ORDER BY at_utc, rowid")
                .arg(kStampColumns),
            {visitUuid});
    std::vector<Operation> operations;
    while (q.next()) {
        Operation o;
        o.stamp = stampAt(q);
        o.visit = q.value(7).toString();
        o.kind = KindFromName(q.value(8).toString()).value_or(Kind::Query);
        o.outcome = OutcomeFromName(q.value(9).toString()).value_or(Outcome::Failed);
        o.reason = q.value(10).toString();
        o.before = q.value(11).toByteArray();
        o.sent = q.value(12).toByteArray();
        o.after = q.value(13).toByteArray();
        o.detail = QJsonDocument::fromJson(q.value(14).toString().toUtf8()).object();
        operations.push_back(std::move(o));
    }
    return operations;
}

} // namespace record
