#include "teamrecord/ServerSchema.h"

namespace teamrecord {

const std::vector<QStringList>& ServerSchemaSteps() {
    // The uuid is the key that makes a second send of a record insert nothing. "user" is a
    // reserved word in PostgreSQL: every column is quoted where rows are sent.
    static const std::vector<QStringList> steps = {
        {QStringLiteral("CREATE TABLE spliceon_schema (version integer PRIMARY KEY,"
                        " applied timestamptz NOT NULL DEFAULT now())"),
         QStringLiteral("CREATE TABLE visit ("
                        " uuid uuid PRIMARY KEY, at text NOT NULL, at_utc bigint NOT NULL,"
                        " \"user\" text NOT NULL, program text NOT NULL, port text NOT NULL,"
                        " device_id bytea NOT NULL, firmware integer NOT NULL,"
                        " fusion_count integer NOT NULL, current_group integer NOT NULL,"
                        " received timestamptz NOT NULL DEFAULT now())"),
         QStringLiteral("CREATE INDEX visit_by_device ON visit (device_id, at_utc)"),
         QStringLiteral("CREATE TABLE operation ("
                        " uuid uuid PRIMARY KEY, at text NOT NULL, at_utc bigint NOT NULL,"
                        " \"user\" text NOT NULL, program text NOT NULL, port text NOT NULL,"
                        " device_id bytea NOT NULL, visit uuid, kind text NOT NULL,"
                        " outcome text NOT NULL, reason text NOT NULL, before bytea NOT NULL,"
                        " sent bytea NOT NULL, after bytea NOT NULL, detail text NOT NULL,"
                        " received timestamptz NOT NULL DEFAULT now())"),
         QStringLiteral("CREATE INDEX operation_by_visit ON operation (visit, at_utc)")},
    };
    return steps;
}

int ServerSchemaVersion() {
    return int(ServerSchemaSteps().size());
}

const QStringList& SharedTables() {
    static const QStringList tables = {QStringLiteral("visit"), QStringLiteral("operation")};
    return tables;
}

} // namespace teamrecord
