#include "cli/JsonFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {
namespace {

const char* statusWord(PortStatus status) {
    switch (status) {
    case PortStatus::Opens:
        return "opens";
    case PortStatus::NoPermission:
        return "no-permission";
    case PortStatus::Held:
        return "held";
    case PortStatus::Missing:
        return "missing";
    case PortStatus::NotSerial:
        return "not-serial";
    case PortStatus::OpenFailed:
        return "open-failed";
    case PortStatus::NoTty:
        return "no-tty";
    case PortStatus::NoDeviceNode:
        return "no-device-node";
    case PortStatus::BeyondSearch:
        break;
    }
    return "beyond-search";
}

const char* sourceWord(PortSource source) {
    switch (source) {
    case PortSource::PortMap:
        return "config.ini";
    case PortSource::Ch341Driver:
        return "ch341-uart";
    case PortSource::UsbBus:
        break;
    }
    return "usb-bus";
}

const char* outcomeWord(TProbeResult::Outcome outcome) {
    switch (outcome) {
    case TProbeResult::Outcome::Answered:
        return "answered";
    case TProbeResult::Outcome::Silent:
        break;
    case TProbeResult::Outcome::Failed:
        return "failed";
    }
    return "silent";
}

// The text, or null where there is none.
QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue probeObject(const std::optional<TProbeResult>& probe) {
    if (!probe)
        return {};
    return QJsonObject{{"outcome", outcomeWord(probe->outcome)},
                       {"firmware", probe->firmware ? QJsonValue(*probe->firmware) : QJsonValue()},
                       {"error", textOrNull(probe->error)}};
}

QJsonObject portObject(const TPortReport& report) {
    return QJsonObject{
        {"com", report.comNumber ? QJsonValue(report.comNumber) : QJsonValue()},
        {"path", textOrNull(report.path)},
        {"source", sourceWord(report.source)},
        {"usbId", textOrNull(report.usbId)},
        {"status", statusWord(report.state.status)},
        {"errno", report.state.osError ? QJsonValue(report.state.osError) : QJsonValue()},
        {"group", textOrNull(report.state.facts.group)},
        {"usbDevice", textOrNull(report.state.usbDevice)},
        {"probe", probeObject(report.probe)}};
}

// One "key":value member as Qt's JSON writer writes it.
QString member(const QString& key, const QJsonValue& value) {
    const QByteArray object =
        QJsonDocument(QJsonObject{{key, value}}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(object.mid(1, object.size() - 2));
}

// An object whose members keep the order given, one a line: a QJsonObject sorts its keys.
QString orderedObject(const QStringList& members, const QString& indent) {
    const QString inner = indent + QStringLiteral("    ");
    return "{\n" + inner + members.join(",\n" + inner) + '\n' + indent + '}';
}

// The values are decimal integers; a text that is none stays a text rather than becoming 0.
QJsonValue numberOrText(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number);
    return number ? QJsonValue(value) : QJsonValue(text);
}

} // namespace

QString TJsonFormat::PortList(const std::vector<TPortReport>& reports) const {
    QJsonArray ports;
    for (const TPortReport& report : reports)
        ports.append(portObject(report));
    // Qt would indent an empty array over two lines.
    if (ports.isEmpty())
        return QStringLiteral("[]\n");
    return QString::fromUtf8(QJsonDocument(ports).toJson(QJsonDocument::Indented));
}

QString TJsonFormat::ReadResult(const TReadResult& result) const {
    QStringList params;
    for (const auto& [key, value] : params::SavedEntries(result.set))
        params << member(key, numberOrText(value));
    const QDateTime when = result.when.toOffsetFromUtc(result.when.offsetFromUtc());
    const QStringList read{
        member(QStringLiteral("device"), QJsonObject{{"id", result.device.id},
                                                     {"firmware", result.device.firmware},
                                                     {"fusionCount", result.device.fusionCount}}),
        member(QStringLiteral("time"), when.toString(Qt::ISODate)),
        member(QStringLiteral("source"),
               QJsonObject{{"firmware", result.source.firmware},
                           {"block", QString::fromLatin1(result.source.block.toHex().toUpper())}}),
        QStringLiteral("\"params\":") + orderedObject(params, QStringLiteral("    "))};
    return orderedObject(read, {}) + '\n';
}

QString TJsonFormat::DiffResult(const TDiffResult& result) const {
    QJsonArray differences, notHeld, notInSet, converted;
    for (const params::CompareRow& row : result.rows) {
        const QString key = QString::fromLatin1(row.field->key);
        if (row.Differs())
            differences.append(QJsonObject{{"key", key},
                                           {"unit", QString::fromLatin1(row.field->unit)},
                                           {"splicer", numberOrText(row.splicer)},
                                           {"file", numberOrText(row.file)}});
        if (!row.held)
            notHeld.append(key);
        if (!row.supplied)
            notInSet.append(key);
        if (row.converted)
            converted.append(
                QJsonObject{{"key", key}, {"from", row.fileValue}, {"to", numberOrText(row.file)}});
    }
    const QJsonObject diff{{"firmware", result.firmware}, {"equal", differences.isEmpty()},
                           {"differences", differences},  {"notHeld", notHeld},
                           {"notInSet", notInSet},        {"converted", converted}};
    return QString::fromUtf8(QJsonDocument(diff).toJson(QJsonDocument::Indented));
}

} // namespace cli
