#pragma once

#include <QString>

#include <optional>

namespace teamrecord {

// How long a connection attempt to the team's server may take, in seconds; libpq waits at least 2.
constexpr int kConnectTimeoutSeconds = 2;

// The team's server as config.ini's "[record] server=" names it: a libpq connection string
// ("host=db.example dbname=service") or URI ("postgresql://tech@db.example/service?sslmode=
// require"), turned into the key/value form Qt's driver passes to libpq, with a connection
// time-out unless one is given. A password in it is refused: it comes from ~/.pgpass,
// PGPASSWORD or a service file, never from a file others may read. Raises ETeamRecord.
QString ConnectionString(const QString& setting);

// The connection string of the configured server; none when config.ini names none.
std::optional<QString> ConfiguredServer();

} // namespace teamrecord
