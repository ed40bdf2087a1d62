#include "trace/FrameTrace.h"

#include "protocol/Frames.h"
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
    switch (code) {
    case frames::CmdReadParams:
        return QStringLiteral("参数读取");
    case frames::CmdHandshake:
        return QStringLiteral("握手");
    case frames::CmdVersion:
        return QStringLiteral("版本查询");
    case frames::CmdBlockLength:
        return QStringLiteral("参数长度查询");
    case frames::CmdEnvironment:
        return QStringLiteral("环境状态查询");
    case frames::CmdCoreReset:
        return QStringLiteral("调芯复位");
    case frames::CmdCoreResetOrigin:
        return QStringLiteral("重置原点");
    case frames::CmdDeviceId:
        return QStringLiteral("设备ID查询");
    case frames::CmdFusionCount:
        return QStringLiteral("熔接次数查询");
    case frames::CmdCurrentGroup:
        return QStringLiteral("当前组别查询");
    case frames::CmdReadCalibration:
        return QStringLiteral("校正参数读取");
    }
    return QStringLiteral("未知命令 ") + hexByte(code);
}

// 5A 0A code, six payload bytes, A5.
QString lengthFirstMeaning(const QByteArray& f) {
    const QByteArray payload = f.mid(3, 6);
    switch (uint8_t(f[2])) {
    case frames::RecordControl:
        switch (uint8_t(payload[0])) {
        case frames::ControlSaveAsFactory:
            return QStringLiteral("保存到出厂设置");
        case frames::ControlRestoreFactory:
            return QStringLiteral("恢复出厂参数");
        }
        return QStringLiteral("控制记录 ") + hexByte(uint8_t(payload[0]));
    case frames::RecordArcTest:
        return QStringLiteral("放电测试 电流 %1 时长 %2")
            .arg(frames::Le16(payload, 0))
            .arg(frames::Le16(payload, 2));
    }
    return kUnknown;
}

// 5A kind n payload A5.
QString kindFirstMeaning(const QByteArray& f) {
    const int n = uint8_t(f[2]);
    if (f.size() != 4 + n)
        return kUnknown;
    const QByteArray payload = f.mid(3, n);
    switch (uint8_t(f[1])) {
    case frames::KindCommand:
        return n == 2 ? commandMeaning(uint8_t(payload[0])) : kUnknown;
    case frames::KindParamBlock:
        return QStringLiteral("参数写入 %1 字节").arg(n);
    case frames::KindCalibration: {
        QStringList values;
        for (const char byte : payload)
            values << QString::number(int8_t(byte));
        return QStringLiteral("校正参数写入 ") + values.join(' ');
    }
    }
    return kUnknown;
}

QString sentMeaning(const QByteArray& f) {
    if (f.size() < 4 || uint8_t(f[0]) != frames::kStart || uint8_t(f.back()) != frames::kEnd)
        return kUnknown;
    if (uint8_t(f[1]) == frames::kLengthFirstMarker)
        return f.size() == frames::kLengthFirstMarker ? lengthFirstMeaning(f) : kUnknown;
    return kindFirstMeaning(f);
}

QString printable(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes)
        text += (c >= 0x20 && c < 0x7F) ? QChar::fromLatin1(c) : QChar('.');
    return text;
}

QString receivedMeaning(const QByteArray& f) {
    if (f.size() < 4 || uint8_t(f[0]) != frames::kAnswerStart || uint8_t(f[1]) != f.size() ||
        uint8_t(f.back()) != frames::kAnswerEnd)
        return kUnknown;
    const uint8_t code = uint8_t(f[2]);
    const QByteArray p = f.mid(3, f.size() - 4);
    // An answer shorter than the bytes its code carries is ignored by the receiver; say so.
    const auto value = [&](const char* name, int needs, auto text) {
        const QString label = QString::fromUtf8(name);
        return p.size() < needs ? label + QStringLiteral("（数据不足）") : label + ' ' + text();
    };
    switch (code) {
    case frames::AnsParams:
        return QStringLiteral("参数块 %1 字节").arg(p.size());
    case frames::AnsHandshake:
        if (p.isEmpty())
            return QStringLiteral("握手应答（数据不足）");
        return uint8_t(p[0]) == frames::kHandshakeAccepted
                   ? QStringLiteral("握手应答")
                   : QStringLiteral("握手应答 %1（不接受）").arg(hexByte(uint8_t(p[0])));
    case frames::AnsVersion:
        return value("版本", 2, [&] { return VersionText(frames::Le16(p, 0), QLocale::c()); });
    case frames::AnsBlockLength:
        return value("参数长度", 2, [&] { return QString::number(frames::Le16(p, 0)); });
    case frames::AnsFusionCount:
        return value("熔接次数", 2, [&] { return QString::number(frames::Le16(p, 0)); });
    case frames::AnsCurrentGroup:
        return value("当前组别", 1, [&] { return QString::number(uint8_t(p[0])); });
    case frames::AnsDeviceId:
        return value("设备ID", 10, [&] { return printable(p.left(10)); });
    case frames::AnsEnvironment:
        return value("环境", 8, [&] {
            return EnvironmentText(frames::Le16(p, 0), frames::Le16(p, 2), frames::Le16(p, 4), frames::Le16(p, 6));
        });
    }
    return QStringLiteral("未知应答 ") + hexByte(code);
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
