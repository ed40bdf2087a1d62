#pragma once

#include "teamrecord/TeamServer.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace teamrecord {

// The local service record's rows the team's server does not have yet. A row is pending until
// its uuid is in the table team_sent, which lives in the same file and is made here; nothing of
// the record itself is changed, so a row is never lost to sending. Its own connection, on the
// calling thread; a file that does not exist yet is not made. Raises ETeamRecord.
class TPendingRecords {
public:
    explicit TPendingRecords(QString path);
    ~TPendingRecords();
    TPendingRecords(const TPendingRecords&) = delete;
    TPendingRecords& operator=(const TPendingRecords&) = delete;

    // Up to limit pending rows of a table, oldest first; none when the table is not there.
    Rows Next(const QString& table, int limit);
    // The server has these rows of the table now.
    void MarkSent(const Rows& rows);

private:
    bool open();

    QString path_;
    QString connection_;
    QSqlDatabase db_;
};

} // namespace teamrecord
