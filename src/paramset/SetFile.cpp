#include "paramset/SetFile.h"

#include "config/IniFile.h"
#include "paramset/ParamSet.h"
#include "protocol/Firmware.h"
#include "protocol/IntText.h"
#include "protocol/ParamScale.h"
#include "protocol/PrintableText.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>

namespace params {
namespace {

const QString& kDevice = kDeviceSection;
const QString& kFirmware = kFirmwareKey;
const QString kBlock = QStringLiteral("Block");
const QString kId = QStringLiteral("ID");
const QString kFusionCount = QStringLiteral("FusionCount");
const QString kDate = QStringLiteral("Date");
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

ESetFile refused(const SetFile& set, const QString& text) {
    //: The set's file name, and what is wrong with the set.
    return ESetFile(
        QCoreApplication::translate("SetFile", "%1：%2").arg(set.name, text).toStdString());
}

QString range(int minimum, int maximum) {
    return QCoreApplication::translate("SetFile", "允许 %1 到 %2").arg(minimum).arg(maximum);
}

// The one integer a key gives (count: how often it stands in its section); the range only goes
// into the message.
int32_t integer(const SetFile& set, const QString& where, int count, const QString& text,
                int minimum, int maximum) {
    if (count != 1)
        throw refused(
            set,
            count == 0
                ? QCoreApplication::translate("SetFile", "缺少 %1（%2）")
                      .arg(where, range(minimum, maximum))
                : QCoreApplication::translate("SetFile", "%1 出现了 %2 次").arg(where).arg(count));
    const std::optional<int32_t> value = TryStrToInt(text);
    if (!value)
        throw refused(set, QCoreApplication::translate("SetFile", "%1=%2 不是整数（%3）")
                               .arg(where, PrintableText(text.toUtf8()), range(minimum, maximum)));
    return *value;
}

// The block of section "Device": at most its 38 bytes, two hexadecimal digits each.
QByteArray hexBlock(const SetFile& set, const config::IniDocument& ini) {
    static const QRegularExpression hex(
        QStringLiteral("^([0-9A-Fa-f]{2}){0,%1}$").arg(FusionParams::kSize));
    const QString where = '[' + kDevice + "] " + kBlock;
    if (const int n = ini.Count(kDevice, kBlock); n != 1)
        throw refused(
            set, n == 0
                     ? QCoreApplication::translate("SetFile", "缺少 %1").arg(where)
                     : QCoreApplication::translate("SetFile", "%1 出现了 %2 次").arg(where).arg(n));
    const QString text = ini.Value(kDevice, kBlock);
    if (!hex.match(text).hasMatch())
        throw refused(
            set,
            QCoreApplication::translate("SetFile", "%1=%2 不是参数块（至多 %3 字节，十六进制）")
                .arg(where, PrintableText(text.toUtf8()), QString::number(FusionParams::kSize)));
    return QByteArray::fromHex(text.toLatin1());
}

// shown: the value as the file has it, and what it became.
void checkRange(const SetFile& set, const QString& key, int64_t value, int minimum, int maximum,
                const QString& shown) {
    if (value < minimum || value > maximum)
        throw refused(set, QCoreApplication::translate("SetFile", "%1=%2 超出范围（%3）")
                               .arg(key, shown, range(minimum, maximum)));
}

// The set gives the field's value: read from a block that held it, or saved from the window.
bool supplies(const SetFile& set, const Field& f) {
    return !set.source || f.HeldIn(int(set.source->block.size()));
}

// The JSON document --read --json prints: its first byte other than a blank is "{". An editor's
// UTF-8 byte order mark counts as blank, as the JSON reader skips it too.
bool isJson(const QByteArray& content) {
    const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
    const QByteArray text = content.startsWith(bom) ? content.sliced(bom.size()) : content;
    return text.trimmed().startsWith('{');
}

// A JSON value as an INI value: an integer as its digits, anything else in its JSON form
// (which no integer check takes), never with a line break.
QString iniValue(const QJsonValue& value) {
    if (value.isDouble() && value.toDouble() == double(value.toInteger()))
        return QString::number(value.toInteger());
    if (value.isString() && !value.toString().contains('\n') && !value.toString().contains('\r'))
        return value.toString();
    const QJsonDocument wrapped(QJsonArray{value});
    return QString::fromUtf8(wrapped.toJson(QJsonDocument::Compact)).chopped(1).mid(1);
}

// The members of one object of the document as an INI section; keys that are no INI name (none
// of the set's keys is) are left out. A member that is not an object gives no section.
QString iniSection(const QString& section, const QJsonValue& members) {
    static const QRegularExpression plainKey(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!members.isObject())
        return {};
    QString text = '[' + section + "]\n";
    const QJsonObject object = members.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (plainKey.match(it.key()).hasMatch())
            text += it.key() + '=' + iniValue(it.value()) + '\n';
    return text;
}

// The document as the INI text --read prints: "source" as [Device], "params" as [Param]. name
// is the set's in messages.
QByteArray iniFromJson(const QString& name, const QByteArray& content) {
    const SetFile set{name, {}, std::nullopt};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (!document.isObject())
        throw refused(set, QCoreApplication::translate("SetFile", "不是 JSON 对象：%1")
                               .arg(error.error == QJsonParseError::NoError
                                        ? QCoreApplication::translate("SetFile", "顶层不是对象")
                                        : error.errorString()));
    const QJsonObject root = document.object();
    const QJsonValue source = root.value(QStringLiteral("source"));
    QJsonObject device;
    for (const auto& [key, member] : {std::pair(kFirmware, "firmware"), std::pair(kBlock, "block")})
        if (source.toObject().contains(QLatin1String(member)))
            device.insert(key, source.toObject().value(QLatin1String(member)));
    return (iniSection(kDevice, source.isObject() ? QJsonValue(device) : QJsonValue()) +
            iniSection(kParamSection, root.value(QStringLiteral("params"))))
        .toUtf8();
}

} // namespace

QString DeviceSectionText(const SetSource& source) {
    return QStringLiteral("[%1]\n%2=%3\n%4=%5\n")
        .arg(kDevice, kFirmware, QString::number(source.firmware), kBlock,
             QString::fromLatin1(source.block.toHex().toUpper()));
}

QByteArray SetFileAsIni(const QByteArray& content) {
    return isJson(content) ? iniFromJson(QString(), content) : content;
}

QString DeviceFactsText(const SetFacts& facts) {
    return QStringLiteral("%1=%2\n%3=%4\n%5=%6\n")
        .arg(kId, facts.id, kFusionCount, QString::number(facts.fusionCount), kDate,
             facts.when.toString(kDateFormat));
}

SetFacts DeviceFactsOf(const QByteArray& content) {
    const config::IniDocument ini(SetFileAsIni(content));
    return {ini.Value(kDevice, kId), 0,
            QDateTime::fromString(ini.Value(kDevice, kDate), kDateFormat)};
}

SetFile ParseSetFile(const QString& name, const QByteArray& content) {
    SetFile set{name, {}, std::nullopt};
    const config::IniDocument ini(isJson(content) ? iniFromJson(name, content) : content);
    const ParamSection params = ReadParamSection(ini);
    if (params.count == 0)
        throw refused(set,
                      QCoreApplication::translate("SetFile", "没有 [%1] 节").arg(kParamSection));
    // Only the first of repeated sections is read: a key standing in a repeat would seem set.
    for (const auto& [section, n] :
         {std::pair(kParamSection, params.count), std::pair(kDevice, ini.SectionCount(kDevice))})
        if (n > 1)
            throw refused(
                set,
                QCoreApplication::translate("SetFile", "[%1] 节出现了 %2 次").arg(section).arg(n));
    for (const Field& f : kFields) {
        const ParamSection::Entry& entry = params.entries[IndexOf(f)];
        set.values[IndexOf(f)] = integer(set, '[' + kParamSection + "] " + QLatin1String(f.key),
                                         entry.count, entry.text, f.minimum, f.maximum);
    }
    if (ini.HasSection(kDevice)) {
        const QString where = '[' + kDevice + "] " + kFirmware;
        const int32_t firmware = integer(set, where, ini.Count(kDevice, kFirmware),
                                         ini.Value(kDevice, kFirmware), 0, 65535);
        checkRange(set, where, firmware, 0, 65535, QString::number(firmware));
        set.source = SetSource{uint16_t(firmware), hexBlock(set, ini)};
    }
    // Every value lies in its field's range in the file's own scale, whatever scale the splicer
    // counts in: checked before the splicer is contacted. A value kept in either scale is checked
    // again once converted.
    for (size_t i = 0; i < kFields.size(); ++i) {
        const Field& f = kFields[i];
        if (supplies(set, f))
            checkRange(set, QLatin1String(f.key), set.values[i], f.minimum, f.maximum,
                       QString::number(set.values[i]));
    }
    return set;
}

ConvertedSet ConvertForFirmware(const SetFile& set, std::optional<uint16_t> firmware) {
    ConvertedSet converted;
    const bool fine = FineScale(firmware);
    const std::optional<bool> sourceFine =
        set.source ? std::optional(FineScale(set.source->firmware)) : std::nullopt;
    for (const Field& f : kFields) {
        const int32_t fileValue = set.values[IndexOf(f)];
        if (!supplies(set, f))
            continue;
        int32_t value = fileValue;
        if (f.coarseLimit != 0 && firmware) {
            value = ToFirmwareScale(f, value, sourceFine, fine);
            QString shown = QString::number(fileValue);
            if (value != fileValue)
                shown += QCoreApplication::translate("SetFile", "（换算到固件 %1 是 %2）")
                             .arg(*firmware)
                             .arg(value);
            checkRange(set, QLatin1String(f.key), value, f.minimum, f.maximum, shown);
        }
        converted[IndexOf(f)] = {true, value, fileValue};
    }
    return converted;
}

FusionParams BlockForSplicer(const SetFile& set, uint16_t firmware, const FusionParams& current) {
    FusionParams block = current;
    block.FixedOne = 1;
    const ConvertedSet converted = ConvertForFirmware(set, firmware);
    const FusionParams read = FusionParams::Decode(set.source ? set.source->block : QByteArray());
    const TParamSet asRead = SetFromBlock(read);
    for (const Field& f : kFields) {
        const ConvertedField& c = converted[IndexOf(f)];
        if (!c.supplied)
            continue;
        // Left as read: the splicer's own value (which lies in range, as the value shown does).
        // A check box goes out as 0 or 1 whatever byte came in; a value kept in either scale is
        // not rounded anyway.
        if (set.source && !f.IsFlag() && f.coarseLimit == 0 &&
            asRead.Text(f) == QString::number(c.value)) {
            f.Set(block, f.Get(read));
            continue;
        }
        f.Set(block, ToBlock(f.scale, c.value));
    }
    return block;
}

} // namespace params
