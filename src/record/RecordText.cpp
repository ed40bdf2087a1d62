#include "record/RecordText.h"

#include "paramset/FieldCaptions.h"
#include "protocol/FusionParams.h"
#include "protocol/ResponseText.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace record {
namespace {

constexpr const char* kKindCaptions[] = {
    QT_TRANSLATE_NOOP("ServiceRecord", "读出参数"),
    QT_TRANSLATE_NOOP("ServiceRecord", "写入"),
    QT_TRANSLATE_NOOP("ServiceRecord", "恢复出厂参数"),
    QT_TRANSLATE_NOOP("ServiceRecord", "放电测试"),
    QT_TRANSLATE_NOOP("ServiceRecord", "复位测试"),
    QT_TRANSLATE_NOOP("ServiceRecord", "重置原点"),
    QT_TRANSLATE_NOOP("ServiceRecord", "查询"),
    QT_TRANSLATE_NOOP("ServiceRecord", "保存参数到文件"),
    QT_TRANSLATE_NOOP("ServiceRecord", "从文件加载参数"),
};

} // namespace

QString KindCaption(Kind kind) {
    return QCoreApplication::translate("ServiceRecord", kKindCaptions[size_t(kind)]);
}

QString OutcomeCaption(const Operation& o) {
    switch (o.outcome) {
    case Outcome::Verified:
        return QCoreApplication::translate("ServiceRecord", "已写入并核对");
    case Outcome::Sent:
        return QCoreApplication::translate("ServiceRecord", "已发送");
    case Outcome::Done:
        return QCoreApplication::translate("ServiceRecord", "完成");
    case Outcome::Failed:
        return o.reason.isEmpty()
                   ? QCoreApplication::translate("ServiceRecord", "失败")
                   : QCoreApplication::translate("ServiceRecord", "失败：%1").arg(o.reason);
    }
    return {};
}

QString Summary(const Operation& o) {
    QString text = QCoreApplication::translate("ServiceRecord", "%1 %2：%3")
                       .arg(o.stamp.time.toString(QStringLiteral("HH:mm")), KindCaption(o.kind),
                            OutcomeCaption(o));
    if (o.kind == Kind::Write && !o.before.isEmpty() && !o.sent.isEmpty()) {
        const int changed = int(Changes(o.before, o.sent).size());
        text += QCoreApplication::translate("ServiceRecord", "，%n 项改变", nullptr, changed);
    }
    return text;
}

QString DeviceText(const QByteArray& deviceId) {
    return DeviceIdText(deviceId);
}

std::vector<FieldChange> Changes(const QByteArray& before, const QByteArray& after) {
    const int held = int(std::min(before.size(), after.size()));
    const FusionParams a = FusionParams::Decode(before);
    const FusionParams b = FusionParams::Decode(after);
    std::vector<FieldChange> changes;
    for (const params::Field& f : params::kFields)
        if (f.HeldIn(held) && f.Get(a) != f.Get(b))
            changes.push_back({QString::fromLatin1(f.key), params::FieldCaption(f),
                               params::FieldUnit(f), f.WindowText(a), f.WindowText(b)});
    return changes;
}

std::vector<FieldChange> WriteChanges(const Operation& write) {
    if (!write.before.isEmpty())
        return Changes(write.before, write.sent);
    std::vector<FieldChange> fields;
    const FusionParams sent = FusionParams::Decode(write.sent);
    for (const params::Field& f : params::kFields)
        if (f.HeldIn(int(write.sent.size())))
            fields.push_back({QString::fromLatin1(f.key), params::FieldCaption(f),
                              params::FieldUnit(f), QString(), f.WindowText(sent)});
    return fields;
}

QString ChangesLine(const std::vector<FieldChange>& changes) {
    QStringList parts;
    for (const FieldChange& c : changes)
        parts << QStringLiteral("%1 %2 → %3%4")
                     .arg(c.caption, c.before.isEmpty() ? QStringLiteral("?") : c.before, c.after,
                          c.unit.isEmpty() ? QString() : ' ' + c.unit);
    return parts.join(QStringLiteral("; "));
}

QString DetailText(const Operation& o) {
    const QJsonObject& d = o.detail;
    switch (o.kind) {
    case Kind::ArcTest:
        return QCoreApplication::translate("ServiceRecord", "电流 %1，时长 %2 × 0.1s")
            .arg(d.value(QStringLiteral("current")).toInt())
            .arg(d.value(QStringLiteral("time")).toInt());
    case Kind::Query: {
        const QString code =
            QStringLiteral("%1").arg(d.value(QStringLiteral("code")).toInt(), 2, 16, QChar('0'));
        const QString answer = d.value(QStringLiteral("answer")).toString();
        return answer.isNull()
                   ? QCoreApplication::translate("ServiceRecord", "命令 0x%1，没有应答")
                         .arg(code.toUpper())
                   : QCoreApplication::translate("ServiceRecord", "命令 0x%1，应答 %2")
                         .arg(code.toUpper(),
                              QString::fromLatin1(
                                  QByteArray::fromHex(answer.toLatin1()).toHex(' ').toUpper()));
    }
    case Kind::Load:
    case Kind::Save: {
        const int count = int(d.value(QStringLiteral("set")).toObject().size());
        return QCoreApplication::translate("ServiceRecord", "%n 个参数", nullptr, count);
    }
    default:
        return {};
    }
}

} // namespace record
