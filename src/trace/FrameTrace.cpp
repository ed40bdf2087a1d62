#include "trace/FrameTrace.h"

#include "protocol/FrameView.h"
#include "protocol/KnownAnswer.h"
#include "protocol/PrintableText.h"
#include "protocol/ResponseText.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QStringList>

namespace trace {
namespace {

const QElapsedTimer startClock = [] {
    QElapsedTimer clock;
    clock.start();
    return clock;
}();

const QString kUnknown = QStringLiteral("未知");

QString hexByte(uint8_t byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString commandMeaning(uint8_t code) {
    if (const frames::CommandRow* row = frames::FindCommand(code))
        return QString::fromUtf8(row->name);
    return QStringLiteral("未知命令 ") + hexByte(code);
}

QString controlMeaning(uint8_t control) {
    switch (control) {
    case frames::ControlSaveAsFactory:
        return QStringLiteral("保存到出厂设置");
    case frames::ControlRestoreFactory:
        return QStringLiteral("恢复出厂参数");
    }
    return QStringLiteral("控制记录 ") + hexByte(control);
}

QString sentMeaning(const QByteArray& f) {
    const std::optional<frames::FrameView> view = frames::FrameView::Command(f);
    if (!view)
        return kUnknown;
    const QByteArray& payload = view->payload;
    switch (view->code) {
    case frames::RecordControl:
        return controlMeaning(uint8_t(payload[0]));
    case frames::RecordArcTest:
        return QStringLiteral("放电测试 电流 %1 时长 %2")
            .arg(frames::Le16(payload, 0))
            .arg(frames::Le16(payload, 2));
    case frames::KindCommand:
        return payload.size() == 2 ? commandMeaning(uint8_t(payload[0])) : kUnknown;
    case frames::KindParamBlock:
        return QStringLiteral("参数写入 %1 字节").arg(payload.size());
    case frames::KindCalibration: {
        QStringList values;
        for (const char byte : payload)
            values << QString::number(int8_t(byte));
        return QStringLiteral("校正参数写入 ") + values.join(' ');
    }
    }
    return kUnknown;
}

// The answer's value as the trace shows it; empty when its name says it all.
QString answerValue(frames::AnswerValue value, const QByteArray& p) {
    using frames::AnswerValue;
    switch (value) {
    case AnswerValue::Block:
        return QStringLiteral("%1 字节").arg(p.size());
    case AnswerValue::Acceptance:
        return uint8_t(p[0]) == frames::kHandshakeAccepted
                   ? QString()
                   : QStringLiteral("%1（不接受）").arg(hexByte(uint8_t(p[0])));
    case AnswerValue::Version:
        return VersionText(frames::Le16(p, 0), QLocale::c());
    case AnswerValue::BlockLength:
    case AnswerValue::FusionCount:
        return QString::number(frames::Le16(p, 0));
    case AnswerValue::CurrentGroup:
        return QString::number(uint8_t(p[0]));
    case AnswerValue::DeviceId:
        return PrintableText(p);
    case AnswerValue::Environment:
        return EnvironmentText(frames::Le16(p, 0), frames::Le16(p, 2), frames::Le16(p, 4),
                               frames::Le16(p, 6));
    case AnswerValue::None:
        break;
    }
    return {};
}

QString receivedMeaning(const QByteArray& f) {
    const std::optional<frames::FrameView> view = frames::FrameView::Answer(f);
    if (!view)
        return kUnknown;
    const frames::CommandRow* row = frames::FindCommand(view->code);
    if (!row || row->value == frames::AnswerValue::None)
        return QStringLiteral("未知应答 ") + hexByte(view->code);
    const QString name = QString::fromUtf8(row->answer);
    // An answer shorter than the bytes its code carries is ignored by the receiver; say so.
    const std::optional<frames::KnownAnswer> answer = frames::ReadKnownAnswer(f);
    if (!answer)
        return name + QStringLiteral("（数据不足）");
    // Bytes beyond those the code carries are not shown; a block carries whatever came.
    const QString value = answerValue(answer->value, answer->payload);
    return value.isEmpty() ? name : name + ' ' + value;
}

} // namespace

QString FrameMeaning(Direction direction, const QByteArray& frame) {
    return direction == Direction::Sent ? sentMeaning(frame) : receivedMeaning(frame);
}

FrameRecord RecordNow(Direction direction, const QByteArray& bytes, bool discarded) {
    return {MsSinceStart(), QTime::currentTime(), direction, bytes, discarded};
}

QString TraceLine(const FrameRecord& r) {
    const QString head =
        QStringLiteral("%1 %2 %3 ")
            .arg(r.timeOfDay.toString(QStringLiteral("HH:mm:ss.zzz")))
            .arg(r.ms, 8)
            .arg(r.direction == Direction::Sent ? QStringLiteral("TX") : QStringLiteral("RX"));
    const QString hex = QString::fromLatin1(r.bytes.toHex(' ').toUpper());
    if (r.discarded)
        return head + QStringLiteral("丢弃 %1 字节 ").arg(r.bytes.size()) + hex;
    return head + hex + QStringLiteral(" | ") + FrameMeaning(r.direction, r.bytes);
}

qint64 MsSinceStart() {
    return startClock.elapsed();
}

} // namespace trace
