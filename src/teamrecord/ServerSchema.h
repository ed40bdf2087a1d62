#pragma once

#include <QStringList>

#include <vector>

namespace teamrecord {

// The statements that bring the team's server from schema version v to v + 1, for each v from 0:
// the first creates it. A later version appends a step and never changes an earlier one. The
// tables take the local record's columns by name, and the time each row reached the server.
const std::vector<QStringList>& ServerSchemaSteps();
int ServerSchemaVersion();
// The tables the server shares with the local record, in the order rows are sent.
const QStringList& SharedTables();

} // namespace teamrecord
