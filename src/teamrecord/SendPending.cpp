#include "teamrecord/SendPending.h"

#include "teamrecord/PendingRecords.h"
#include "teamrecord/ServerSchema.h"
#include "teamrecord/TeamServer.h"

namespace teamrecord {
namespace {

// Rows per transaction: a first send of a long field trip neither holds one huge transaction
// nor pays a round trip per commit.
constexpr int kBatchRows = 200;

} // namespace

int SendPending(const QString& localRecord, TTeamServer& server) {
    server.RequireSchema();
    TPendingRecords local(localRecord);
    int sent = 0;
    for (const QString& table : SharedTables()) {
        for (Rows rows = local.Next(table, kBatchRows); !rows.values.empty();
             rows = local.Next(table, kBatchRows)) {
            server.Insert(rows);
            local.MarkSent(rows);
            sent += int(rows.values.size());
        }
    }
    return sent;
}

} // namespace teamrecord
