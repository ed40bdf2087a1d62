#pragma once

#include <QDateTime>
#include <QString>

namespace record {
class TServiceDb;
class TRecorder;
struct Operation;
} // namespace record

// The service record from the command line: what the runs recorded, and the report of a visit.
namespace cli {

class TSplicerExchange;
struct TWriteResult;

// --read and --write record as the window does: the connection as a visit with its parameter
// read, once it is made, and the write with its outcome.
void RecordConnection(record::TRecorder& recorder, const TSplicerExchange& exchange);
record::Operation RecordWrite(record::TRecorder& recorder, const TWriteResult& write);

// --history [DEVICE-ID]: the visits of one splicer or of all, numbered per splicer from the
// oldest, from since on (invalid: all), as text or JSON, to outPath (empty or "-": standard
// output).
int History(record::TServiceDb& db, const QString& deviceId, const QDateTime& since, bool json,
            const QString& outPath);
// --report DEVICE-ID: the report of visit number visit (0: the latest) to outPath, a PDF or
// HTML by its suffix.
int Report(record::TServiceDb& db, const QString& deviceId, int visit, const QString& outPath);

} // namespace cli
