#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <vector>

namespace teamrecord {

// Rows of one of the record's tables, by column name.
struct Rows {
    QString table;
    QStringList columns;
    std::vector<QVariantList> values;
};

// One connection to the team's PostgreSQL server, opened by the constructor on the calling
// thread and used only there. Opening waits at most the connection string's connect_timeout
// for an unreachable host. Everything that fails raises ETeamRecord with the server's reason.
class TTeamServer {
public:
    explicit TTeamServer(const QString& connectionString);
    ~TTeamServer();
    TTeamServer(const TTeamServer&) = delete;
    TTeamServer& operator=(const TTeamServer&) = delete;

    // Creates the schema or brings it up to date; needs the right to create tables.
    void Init();
    // Raises when the server has no schema or an older one than this program sends.
    void RequireSchema();
    // Inserts the rows that are not there yet, in one transaction: a row whose uuid the server
    // has already is left as it is.
    void Insert(const Rows& rows);
    // Rows of a query, by position.
    std::vector<QVariantList> Select(const QString& sql, const QVariantList& values);

private:
    QSqlQuery run(const QString& sql, const QVariantList& values = {});
    int version();

    QString connection_;
    QSqlDatabase db_;
};

} // namespace teamrecord
