#include "paramset/SetFile.h"

#include "config/IniFile.h"
#include "paramset/ParamSet.h"
#include "protocol/Firmware.h"
#include "protocol/IntText.h"
#include "protocol/ParamScale.h"
#include "protocol/PrintableText.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace params {
namespace {

const QString kDevice = QStringLiteral("Device");
const QString kFirmware = QStringLiteral("Firmware");
const QString kBlock = QStringLiteral("Block");

ESetFile refused(const SetFile& set, const QString& text) {
    //: The set's file name, and what is wrong with the set.
    return ESetFile(
        QCoreApplication::translate("SetFile", "%1：%2").arg(set.name, text).toStdString());
}

QString range(int minimum, int maximum) {
    return QCoreApplication::translate("SetFile", "允许 %1 到 %2").arg(minimum).arg(maximum);
}

// The key's one integer in the section; the range only goes into the message.
int32_t integer(const SetFile& set, const config::IniDocument& ini, const QString& section,
                const QString& key, int minimum, int maximum) {
    const QString where = '[' + section + "] " + key;
    if (const int n = ini.Count(section, key); n != 1)
        throw refused(
            set, n == 0
                     ? QCoreApplication::translate("SetFile", "缺少 %1（%2）")
                           .arg(where, range(minimum, maximum))
                     : QCoreApplication::translate("SetFile", "%1 出现了 %2 次").arg(where).arg(n));
    const QString text = ini.Value(section, key);
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
        throw refused(set, QCoreApplication::translate("SetFile",
                                                       "%1=%2 不是参数块（至多 %3 字节，十六进制）")
                               .arg(where, PrintableText(text.toUtf8()),
                                    QString::number(FusionParams::kSize)));
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

// Exact: the value is known to be in the source's scale.
int32_t rescaled(int32_t value, bool sourceFine, bool targetFine) {
    if (sourceFine == targetFine)
        return value;
    return targetFine ? firmware::ToFine(value) : firmware::ToCoarse(value);
}

} // namespace

QString DeviceSectionText(const SetSource& source) {
    return QStringLiteral("[%1]\n%2=%3\n%4=%5\n")
        .arg(kDevice, kFirmware, QString::number(source.firmware), kBlock,
             QString::fromLatin1(source.block.toHex().toUpper()));
}

SetFile ParseSetFile(const QString& name, const QByteArray& content) {
    SetFile set{name, {}, std::nullopt};
    const config::IniDocument ini(content);
    if (!ini.HasSection(kParamSection))
        throw refused(set, QCoreApplication::translate("SetFile", "没有 [%1] 节").arg(kParamSection));
    // Only the first of repeated sections is read: a key standing in a repeat would seem set.
    for (const QString& section : {kParamSection, kDevice})
        if (const int n = ini.SectionCount(section); n > 1)
            throw refused(set, QCoreApplication::translate("SetFile", "[%1] 节出现了 %2 次")
                                   .arg(section)
                                   .arg(n));
    for (size_t i = 0; i < kFields.size(); ++i) {
        const Field& f = kFields[i];
        set.values[i] = integer(set, ini, kParamSection, QLatin1String(f.key), f.minimum, f.maximum);
    }
    if (ini.HasSection(kDevice)) {
        const int32_t firmware = integer(set, ini, kDevice, kFirmware, 0, 65535);
        checkRange(set, '[' + kDevice + "] " + kFirmware, firmware, 0, 65535,
                   QString::number(firmware));
        set.source = SetSource{uint16_t(firmware), hexBlock(set, ini)};
    }
    // Ranges that hold in every firmware's scale are checked before the splicer is contacted.
    for (size_t i = 0; i < kFields.size(); ++i) {
        const Field& f = kFields[i];
        if (f.coarseLimit == 0 && supplies(set, f))
            checkRange(set, QLatin1String(f.key), set.values[i], f.minimum, f.maximum,
                       QString::number(set.values[i]));
    }
    return set;
}

FusionParams BlockForSplicer(const SetFile& set, uint16_t firmware, const FusionParams& current) {
    FusionParams block = current;
    block.FixedOne = 1;
    const bool fine = FineScale(firmware);
    const FusionParams read = FusionParams::Decode(set.source ? set.source->block : QByteArray());
    const TParamSet asRead = SetFromBlock(read);
    for (size_t i = 0; i < kFields.size(); ++i) {
        const Field& f = kFields[i];
        if (!supplies(set, f))
            continue;
        // Left as read: the splicer's own value (which lies in range, as the value shown does).
        // A check box goes out as 0 or 1 whatever byte came in; a value kept in either scale is
        // not rounded anyway.
        if (set.source && !f.IsFlag() && f.coarseLimit == 0 &&
            asRead.Text(f) == QString::number(set.values[i])) {
            f.Set(block, f.Get(read));
            continue;
        }
        int32_t value = set.values[i];
        if (f.coarseLimit != 0) {
            value = set.source ? rescaled(value, FineScale(set.source->firmware), fine)
                               : ToFirmwareScale(f, value, fine);
            QString shown = QString::number(set.values[i]);
            if (value != set.values[i])
                shown += QCoreApplication::translate("SetFile", "（换算到固件 %1 是 %2）")
                             .arg(firmware)
                             .arg(value);
            checkRange(set, QLatin1String(f.key), value, f.minimum, f.maximum, shown);
        }
        f.Set(block, ToBlock(f.scale, value));
    }
    return block;
}

} // namespace params
