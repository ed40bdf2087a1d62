#pragma once

#include <QString>

namespace teamrecord {

class TTeamServer;

// Sends the local record's pending rows (visits before the operations that name them) to the
// server and marks them sent once the server has committed them. Returns how many were sent. A
// row sent twice is stored once. Raises ETeamRecord: rows not sent stay pending.
int SendPending(const QString& localRecord, TTeamServer& server);

} // namespace teamrecord
