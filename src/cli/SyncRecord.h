#pragma once

#include <QString>

namespace cli {

// --sync-record: sends the local service record's pending rows to the team's server named in
// config.ini and prints how many; with init (--init) first creates or brings up to date the
// server's schema. Returns ExitDone, or ExitFailed with the reason on standard error (no server
// configured, none reached, a login or a right refused, no schema).
int SyncRecord(const QString& localRecord, bool init);

} // namespace cli
