#pragma once

#include <QString>

namespace cli {

// --sync-record: sends the local service record's pending rows to the team's server named in
// config.ini and prints how many; with init (--init) first creates or brings up to date the
// server's schema. Returns ExitDone, or ExitFailed with the reason on standard error (no server
// configured, none reached, a login or a right refused, no schema).
int SyncRecord(const QString& localRecord, bool init);

// After a run on the splicer, its records go to the team's server, if one is configured; one
// that does not answer within its connection time-out is told on standard error and the records
// wait for the next run.
void SendAfterRun(const QString& localRecord);

// The record --history and --report read: with a team's server configured and answering, the
// team's records, brought up to date (this computer's sent first); otherwise this computer's.
// Standard error says which, and why when the server was not reached.
QString RecordToRead(const QString& localRecord);

} // namespace cli
