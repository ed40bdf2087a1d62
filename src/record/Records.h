#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

// What the service record keeps: visits (one connection to a splicer each) and the operations
// done on a splicer, each with its own identity so that records can be gathered from several
// computers without clashing.
namespace record {

// What was done. The names are data (the database, --history --json): never translated.
enum class Kind { Read, Write, Restore, ArcTest, CoreReset, SetOrigin, Query, Save, Load };
// How it went: Verified (written and read back the same), Sent (went out, not checked), Done
// (nothing to send: a save or load), Failed (with a reason).
enum class Outcome { Verified, Sent, Done, Failed };

QString KindName(Kind kind);
QString OutcomeName(Outcome outcome);
std::optional<Kind> KindFromName(const QString& name);
std::optional<Outcome> OutcomeFromName(const QString& name);

// Who, where and with what, carried by every record.
struct Stamp {
    QString uuid;     // {8-4-4-4-12}
    QDateTime time;   // local time with its offset from UTC
    QString user;     // login name
    QString program;  // program version
    QString port;     // "COM3", a device path, or empty when no splicer was connected
    QByteArray deviceId; // as the splicer sent it
};

struct Visit {
    Stamp stamp;
    uint16_t firmware = 0;
    uint16_t fusionCount = 0;
    uint8_t currentGroup = 0;
};

struct Operation {
    Stamp stamp;
    QString visit; // the visit's uuid; empty when no splicer was connected
    Kind kind = Kind::Read;
    Outcome outcome = Outcome::Sent;
    QString reason;     // why it failed
    QByteArray before;  // the block the splicer held before a write, as last read
    QByteArray sent;    // the block or record sent
    QByteArray after;   // the block read (a read, a write's read-back)
    QJsonObject detail; // what else belongs to the kind: arc test values, a query and answer, a set
};

// A stamp for now, with a new identity.
Stamp NewStamp(const QString& port, const QByteArray& deviceId);

} // namespace record
