#include "record/Schema.h"

namespace record {

const std::vector<QStringList>& SchemaSteps() {
    // Every record carries its own identity (uuid), time with its offset from UTC (at) and the
    // same time in milliseconds since 1970 UTC (at_utc, for order and filters), the user, the
    // program version, the port and the splicer's identifier as received.
    static const std::vector<QStringList> steps = {
        {QStringLiteral("CREATE TABLE visit ("
                        " uuid TEXT PRIMARY KEY, at TEXT NOT NULL, at_utc INTEGER NOT NULL,"
                        " user TEXT NOT NULL, program TEXT NOT NULL, port TEXT NOT NULL,"
                        " device_id BLOB NOT NULL, firmware INTEGER NOT NULL,"
                        " fusion_count INTEGER NOT NULL, current_group INTEGER NOT NULL)"),
         QStringLiteral("CREATE INDEX visit_by_device ON visit (device_id, at_utc)"),
         QStringLiteral("CREATE TABLE operation ("
                        " uuid TEXT PRIMARY KEY, at TEXT NOT NULL, at_utc INTEGER NOT NULL,"
                        " user TEXT NOT NULL, program TEXT NOT NULL, port TEXT NOT NULL,"
                        " device_id BLOB NOT NULL, visit TEXT REFERENCES visit (uuid),"
                        " kind TEXT NOT NULL, outcome TEXT NOT NULL, reason TEXT NOT NULL,"
                        " before BLOB NOT NULL, sent BLOB NOT NULL, after BLOB NOT NULL,"
                        " detail TEXT NOT NULL)"),
         QStringLiteral("CREATE INDEX operation_by_visit ON operation (visit, at_utc)")},
    };
    return steps;
}

} // namespace record
