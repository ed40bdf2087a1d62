#pragma once

#include "record/Records.h"

#include <QSqlDatabase>
#include <QString>

#include <stdexcept>
#include <vector>

namespace record {

// A record that could not be written or read, with why.
class ERecord : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A splicer the record knows, as it was last seen.
struct Splicer {
    QByteArray deviceId;
    uint16_t firmware = 0;
    uint16_t fusionCount = 0;
    QDateTime lastSeen;
    int visits = 0;
};

// The service record in one SQLite file, opened at its first use and kept open. The schema's
// version is the file's user_version; an older file is brought up to date when opened, a newer
// one is left alone. The journal is a write-ahead log, every record its own transaction
// committed and synced before the call returns, and a lock held by another program is waited
// for a short time only. A file that is damaged or no database at all is renamed beside the new
// one (service.db.damaged-<time>, with its log), never deleted. Everything that fails raises
// ERecord with the file and why.
class TServiceDb {
public:
    static constexpr int kSchemaVersion = 1;
    static constexpr int kBusyTimeoutMs = 250;

    explicit TServiceDb(QString path);
    ~TServiceDb();
    TServiceDb(const TServiceDb&) = delete;
    TServiceDb& operator=(const TServiceDb&) = delete;

    const QString& Path() const { return path_; }
    // Where a damaged file went in this run; empty when none was found.
    const QString& RenamedDamaged() const { return renamed_; }

    void AddVisit(const Visit& visit);
    void AddOperation(const Operation& operation);

    // Newest first. deviceId empty: every splicer.
    std::vector<Splicer> Splicers();
    // Oldest first; deviceId empty: every splicer; since invalid: from the start.
    std::vector<Visit> Visits(const QByteArray& deviceId, const QDateTime& since);
    // In the order they were done; visitUuid empty: those done with no splicer connected.
    std::vector<Operation> Operations(const QString& visitUuid);
    Visit VisitOf(const QString& visitUuid);

private:
    QSqlDatabase& database();
    void open();
    void prepare();
    void migrate(int from);
    void renameDamaged();
    template <class F> void writing(F&& write);

    QString path_;
    QString connection_;
    QSqlDatabase db_;
    QString renamed_;
};

} // namespace record
