#pragma once

#include <QString>

namespace teamrecord {

class TTeamServer;

// The team's records as last read from the server, in a service record file of their own beside
// the local one (team.db): the record window reads it as it reads the local record.
QString TeamMirrorPath(const QString& localRecord);

// Copies the rows the server received since the last copy (and a margin, for transactions that
// committed late) into the mirror; a row the mirror has is left. Raises ETeamRecord.
void PullTeam(TTeamServer& server, const QString& mirrorPath);

} // namespace teamrecord
