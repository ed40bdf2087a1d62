#include "teamrecord/SendPending.h"

#include "teamrecord/PendingRecords.h"
#include "teamrecord/ServerSchema.h"
#include "teamrecord/TeamServer.h"

#include <optional>

namespace teamrecord {
namespace {

// Rows per transaction: a first send of a long field trip neither holds one huge transaction
// nor pays a round trip per commit.
constexpr int kBatchRows = 200;

} // namespace

int SendPending(const QString& localRecord, const QString& connectionString) {
    TPendingRecords local(localRecord);
    std::optional<TTeamServer> server;
    int sent = 0;
    for (const QString& table : SharedTables()) {
        for (Rows rows = local.Next(table, kBatchRows); !rows.values.empty();
             rows = local.Next(table, kBatchRows)) {
            if (!server) {
                server.emplace(connectionString);
                server->RequireSchema();
            }
            server->Insert(rows);
            local.MarkSent(rows);
            sent += int(rows.values.size());
        }
    }
    return sent;
}

} // namespace teamrecord
