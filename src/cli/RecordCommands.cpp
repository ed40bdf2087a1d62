#include "cli/RecordCommands.h"

#include "cli/Console.h"
#include "cli/OutputFile.h"
#include "cli/Results.h"
#include "cli/SplicerExchange.h"
#include "protocol/ResponseText.h"
#include "record/RecordText.h"
#include "record/Recorder.h"
#include "record/Report.h"
#include "record/ServiceDb.h"
#include "record/Technician.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include <stdexcept>

namespace cli {
namespace {

// "-" and no --out both mean standard output.
void writeOut(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty() || path == QStringLiteral("-"))
        PrintResult(QString::fromUtf8(bytes));
    else
        WriteOutputFile(path, bytes);
}

// The visits of the splicers whose identifier reads as deviceId (all when empty), each with
// its number among its splicer's visits from the oldest.
struct NumberedVisit {
    int number;
    record::Visit visit;
};
std::vector<NumberedVisit> numberedVisits(record::TServiceDb& db, const QString& deviceId) {
    std::vector<NumberedVisit> found;
    for (const record::Splicer& s : db.Splicers()) {
        if (!deviceId.isEmpty() && record::DeviceText(s.deviceId) != deviceId)
            continue;
        int number = 0;
        for (record::Visit& v : db.Visits(s.deviceId, QDateTime()))
            found.push_back({++number, std::move(v)});
    }
    return found;
}

QJsonObject operationJson(const record::Operation& o) {
    QJsonArray changes;
    if (o.kind == record::Kind::Write)
        for (const record::FieldChange& c : record::WriteChanges(o))
            changes.append(
                QJsonObject{{QStringLiteral("key"), c.key},
                            {QStringLiteral("before"),
                             c.before.isEmpty() ? QJsonValue() : QJsonValue(c.before.toInt())},
                            {QStringLiteral("after"), c.after.toInt()}});
    return {{QStringLiteral("uuid"), o.stamp.uuid},
            {QStringLiteral("time"), o.stamp.time.toString(Qt::ISODate)},
            {QStringLiteral("kind"), record::KindName(o.kind)},
            {QStringLiteral("outcome"), record::OutcomeName(o.outcome)},
            {QStringLiteral("reason"), o.reason},
            {QStringLiteral("changes"), changes},
            {QStringLiteral("detail"), o.detail}};
}

QString visitLine(const NumberedVisit& n) {
    const record::Visit& v = n.visit;
    return QCoreApplication::translate("RecordCommands", "%1 #%2  %3  %4  熔接次数 %5  %6  %7")
        .arg(record::DeviceText(v.stamp.deviceId))
        .arg(n.number)
        .arg(v.stamp.time.toString(Qt::ISODate), VersionText(v.firmware))
        .arg(v.fusionCount)
        .arg(v.stamp.port, v.stamp.user);
}

QString operationLine(const record::Operation& o) {
    QString line = QStringLiteral("  %1  %2  %3")
                       .arg(o.stamp.time.toString(QStringLiteral("HH:mm:ss")),
                            record::KindCaption(o.kind), record::OutcomeCaption(o));
    const QString detail = o.kind == record::Kind::Write
                               ? record::ChangesLine(record::WriteChanges(o))
                               : record::DetailText(o);
    return detail.isEmpty() ? line : line + QStringLiteral("  ") + detail;
}

std::runtime_error failure(const QString& text) {
    return std::runtime_error(text.toStdString());
}

} // namespace

void RecordConnection(record::TRecorder& recorder, const TSplicerExchange& exchange) {
    recorder.Connected(QString::fromStdString(exchange.Port()));
    recorder.Learnt(exchange.State(), true);
    recorder.RecordConnectionRead();
}

record::Operation RecordWrite(record::TRecorder& recorder, const TWriteResult& write) {
    // Nothing read back after the block went out: the line failed after it.
    const bool droppedAfter = write.outcome == ExitDiffers && write.readBack.isEmpty();
    return recorder.RecordWrite(
        write.before, write.sent,
        write.readBack.isEmpty() ? std::nullopt : std::optional<QByteArray>(write.readBack),
        droppedAfter);
}

int History(record::TServiceDb& db, const QString& deviceId, const QDateTime& since, bool json,
            const QString& outPath) {
    QJsonArray visits;
    QStringList lines;
    for (const NumberedVisit& n : numberedVisits(db, deviceId)) {
        const record::Visit& v = n.visit;
        if (since.isValid() && v.stamp.time < since)
            continue;
        const std::vector<record::Operation> operations = db.Operations(v.stamp.uuid);
        if (!json) {
            lines << visitLine(n);
            for (const record::Operation& o : operations)
                lines << operationLine(o);
            continue;
        }
        QJsonArray ops;
        for (const record::Operation& o : operations)
            ops.append(operationJson(o));
        visits.append(
            QJsonObject{{QStringLiteral("device"),
                         QJsonObject{{QStringLiteral("id"), record::DeviceText(v.stamp.deviceId)},
                                     {QStringLiteral("firmware"), v.firmware},
                                     {QStringLiteral("fusionCount"), v.fusionCount}}},
                        {QStringLiteral("visit"), n.number},
                        {QStringLiteral("uuid"), v.stamp.uuid},
                        {QStringLiteral("time"), v.stamp.time.toString(Qt::ISODate)},
                        {QStringLiteral("port"), v.stamp.port},
                        {QStringLiteral("user"), v.stamp.user},
                        {QStringLiteral("program"), v.stamp.program},
                        {QStringLiteral("operations"), ops}});
    }
    writeOut(outPath, json ? QJsonDocument(visits).toJson()
                           : (lines.join('\n') + (lines.isEmpty() ? "" : "\n")).toUtf8());
    return ExitDone;
}

int Report(record::TServiceDb& db, const QString& deviceId, int visit, const QString& outPath) {
    const std::vector<NumberedVisit> visits = numberedVisits(db, deviceId);
    if (visits.empty())
        throw failure(
            QCoreApplication::translate("RecordCommands", "服务记录里没有设备 %1").arg(deviceId));
    if (visit < 0 || visit > int(visits.size()))
        throw failure(
            QCoreApplication::translate("RecordCommands", "设备 %1 只有 %2 次连接，没有第 %3 次")
                .arg(deviceId)
                .arg(visits.size())
                .arg(visit));
    const record::Visit& v = visits.at(size_t(visit == 0 ? visits.size() : visit) - 1).visit;
    const record::ReportData data{v, db.Operations(v.stamp.uuid), record::TechnicianName()};
    WriteOutputFile(outPath, record::ReportBytes(data, record::WantsPdf(outPath)));
    return ExitDone;
}

} // namespace cli
