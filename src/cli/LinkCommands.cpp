#include "cli/LinkCommands.h"

#include "cli/ConsoleBoxes.h"
#include "cli/OutputFile.h"
#include "paramset/ParamSet.h"
#include "protocol/MessageBoxes.h"
#include "protocol/PrintableText.h"
#include "protocol/ResponseText.h"
#include "protocol/SplicerLink.h"
#include "serial/ComError.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <optional>
#include <stdexcept>

namespace cli {
namespace {

// A parameter answer later than the wait after the read is still taken within this time: the
// window would show it whenever it came.
constexpr int kLateAnswerMs = 1000;

std::runtime_error failure(const QString& text) {
    return std::runtime_error(text.toStdString());
}

// The parameter answers the link receives.
class TParamAnswers {
public:
    explicit TParamAnswers(SplicerLink& link) : link_(link) {
        QObject::connect(&link, &SplicerLink::paramsReceived, &context_,
                         [this](const FusionParams& block) { last_ = block; });
    }

    // The answer to the parameter read sent last, once its wait is over.
    FusionParams Take() {
        if (!last_) {
            QEventLoop loop;
            QObject::connect(&link_, &SplicerLink::paramsReceived, &loop, &QEventLoop::quit);
            QTimer::singleShot(kLateAnswerMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (!last_)
            throw failure(QStringLiteral("熔接机没有应答参数读取"));
        const FusionParams block = *last_;
        last_.reset();
        return block;
    }

    // Sends a parameter read and takes its answer: an answer received before it does not count.
    FusionParams Read() {
        last_.reset();
        link_.QueryParams();
        return Take();
    }

private:
    SplicerLink& link_;
    QObject context_;
    std::optional<FusionParams> last_;
};

// Connects as the window does, or on the given port. False when no splicer answered, which the
// boxes have then been told.
bool connectSplicer(SplicerLink& link, TMessageBoxes& boxes, const QString& port) {
    if (port.isEmpty()) {
        link.FindDevice();
        return link.Connected();
    }
    if (link.ConnectPort(port.toStdString()))
        return true;
    boxes.ShowMessage(SplicerLink::kNotFound);
    return false;
}

// "-" and no --out both mean standard output.
void writeOut(const QString& path, const QString& text) {
    if (path.isEmpty() || path == QStringLiteral("-"))
        PrintResult(text);
    else
        WriteOutputFile(path, text.toUtf8());
}

} // namespace

QString SetHeader(const DeviceState& state, const QDateTime& when) {
    // The identifier is the splicer's bytes: nothing in it may end the comment line.
    return QStringLiteral("; 设备ID：%1\n; 固件版本：%2\n; 熔接次数：%3\n; 日期：%4\n")
        .arg(DeviceIdText(state), VersionText(state.FirmwareVersion, QLocale::c()))
        .arg(state.FusionCount)
        .arg(when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

int ReadParams(SplicerLink& link, TMessageBoxes& boxes, const QString& port,
               const QString& outPath) {
    TParamAnswers answers(link);
    if (!connectSplicer(link, boxes, port))
        return ExitNoSplicer;
    const FusionParams block = answers.Take();
    writeOut(outPath, SetHeader(link.State(), QDateTime::currentDateTime()) +
                          params::ParamSectionText(params::SetFromBlock(block)));
    return ExitDone;
}

int WriteParams(SplicerLink& link, TMessageBoxes& boxes, const QString& file, const QString& port,
                bool confirmed) {
    // A missing file would load as a set of empty texts; say what is wrong instead.
    if (QFile in(file); !in.open(QIODevice::ReadOnly))
        throw failure(QStringLiteral("无法读取 %1：%2").arg(file, in.errorString()));
    TParamAnswers answers(link);
    if (!connectSplicer(link, boxes, port))
        return ExitNoSplicer;
    answers.Take(); // the read that follows a connection
    params::TParamSet set;
    params::LoadParamSet(file, set, [&link] { return link.AskVersion(); });
    const FusionParams block = params::BlockFromSet(set);
    if (!confirmed && !boxes.Confirm(QStringLiteral("你确定要写入数据到设备？")))
        throw failure(QStringLiteral("没有写入：未确认"));
    const int count = link.WriteParams(block);
    const FusionParams back = answers.Read();
    if (count == 0) {
        boxes.ShowMessage(QStringLiteral("熔接机答复的参数块长度是 0：没有写入任何参数"));
        return ExitDiffers;
    }
    for (const params::Difference& d : params::Differences(block, back, count))
        boxes.ShowMessage(
            QStringLiteral("读回的 %1 是 %2，写入的是 %3").arg(d.name, d.readBack, d.sent));
    // The bytes decide, not the fields: a byte no field shows counts as well.
    return block.Encode().left(count) == back.Encode().left(count) ? ExitDone : ExitDiffers;
}

QString ProbeText(SplicerLink& link, const QString& path) {
    std::optional<uint16_t> version;
    QObject context;
    QObject::connect(&link, &SplicerLink::versionReported, &context,
                     [&version](uint16_t v) { version = v; });
    try {
        const bool answered = link.ConnectPort(path.toStdString());
        link.DisconnectDevice();
        if (!answered)
            return QStringLiteral("没有熔接机应答");
        if (!version)
            return QStringLiteral("熔接机应答，没有报告固件版本");
        return QStringLiteral("熔接机应答，固件 ") + VersionText(*version, QLocale::c());
    } catch (const serial::EComPort& e) {
        // One port that fails now does not end the survey of the others.
        return QStringLiteral("握手失败：") + QString::fromUtf8(e.what());
    }
}

} // namespace cli
