#include "cli/LinkCommands.h"

#include "cli/Console.h"
#include "cli/SplicerExchange.h"
#include "cli/StopSignals.h"
#include "paramset/ParamSet.h"
#include "paramset/SetFile.h"
#include "protocol/SplicerLink.h"
#include "serial/ComError.h"

#include <QCoreApplication>

#include <optional>
#include <stdexcept>

namespace cli {
namespace {

// An answer later than the wait after its query is still taken within this time: the window
// would show a parameter answer whenever it came, and a slow splicer must not get a block cut to
// a stale length.
constexpr int kLateAnswerMs = 1000;

std::runtime_error failure(const QString& text) {
    return std::runtime_error(text.toStdString());
}

void sayNotFound() {
    PrintMessage(SplicerLink::tr(SplicerLink::kNotFound) + '\n');
}

// The parameter answer the splicer gave to the read sent last.
QByteArray answeredBlock(std::optional<QByteArray> block) {
    if (!block)
        throw failure(QCoreApplication::translate("LinkCommands", "熔接机没有应答参数读取"));
    return *block;
}

} // namespace

std::optional<TReadResult> ReadSplicer(TSplicerExchange& exchange, const TConnect& connect) {
    if (!connect()) {
        sayNotFound();
        return std::nullopt;
    }
    const QByteArray held = answeredBlock(exchange.TakeBlock(kLateAnswerMs));
    return TReadResult{DeviceInfoOf(exchange.State()),
                       QDateTime::currentDateTime(),
                       params::SetFromBlock(FusionParams::Decode(held)),
                       {exchange.State().FirmwareVersion, held}};
}

TWriteResult WriteSplicer(TSplicerExchange& exchange, const params::SetFile& set,
                          const TConnect& connect, const TConfirm& confirm) {
    TWriteResult result;
    if (!connect()) {
        sayNotFound();
        result.outcome = ExitNoSplicer;
        return result;
    }
    result.device = DeviceInfoOf(exchange.State());
    // The read that follows a connection: what the fields the set does not hold keep.
    result.before = answeredBlock(exchange.TakeBlock(kLateAnswerMs));
    const FusionParams current = FusionParams::Decode(result.before);
    FusionParams block;
    bool going = false; // the block is on its way: a failure now leaves it unverified
    try {
        const TWriteOutcome written =
            WriteSequence(exchange, {.block =
                                         [&](uint16_t version) {
                                             block = params::BlockForSplicer(set, version, current);
                                             if (!confirm())
                                                 throw failure(QCoreApplication::translate(
                                                     "LinkCommands", "没有写入：未确认"));
                                             return block;
                                         },
                                     .mayWrite =
                                         [&](int count) {
                                             // Gone before the block: nothing was written, a plain
                                             // failure.
                                             if (!exchange.IsOpen())
                                                 throw failure(QCoreApplication::translate(
                                                     "LinkCommands", "熔接机已断开：没有写入"));
                                             going = count > 0;
                                             if (going)
                                                 result.sent = block.Encode().left(count);
                                             return going;
                                         },
                                     .patienceMs = kLateAnswerMs});
        if (!written.sent) {
            PrintMessage(QCoreApplication::translate(
                             "LinkCommands", "熔接机答复的参数块长度是 0：没有写入任何参数") +
                         '\n');
            result.outcome = ExitDiffers;
            return result;
        }
        result.readBack = FusionParams::Decode(answeredBlock(exchange.ReadBlock(kLateAnswerMs)))
                              .Encode()
                              .left(written.count);
    } catch (const EStopped&) {
        throw;
    } catch (const std::exception& e) {
        if (!going)
            throw;
        PrintMessage(QCoreApplication::translate(
                         "LinkCommands", "参数块已发出，熔接机可能已存下新参数，但没有读回核对：%1")
                         .arg(QString::fromUtf8(e.what())) +
                     '\n');
        result.outcome = ExitDiffers;
        return result;
    }
    const int count = int(result.sent.size());
    for (const params::Difference& d :
         params::Differences(block, FusionParams::Decode(result.readBack), count))
        PrintMessage(QCoreApplication::translate("LinkCommands", "读回的 %1 是 %2，写入的是 %3")
                         .arg(d.name, d.readBack, d.sent) +
                     '\n');
    // The bytes decide, not the fields: a byte no field shows counts as well.
    result.outcome = result.readBack == result.sent ? ExitDone : ExitDiffers;
    return result;
}

TProbeResult Probe(TSplicerExchange& exchange, const QString& path) {
    try {
        const bool answered = exchange.Connect(path.toStdString());
        const std::optional<uint16_t> version = exchange.ConnectedVersion();
        exchange.Close();
        if (!answered)
            return {.outcome = TProbeResult::Outcome::Silent};
        return {.outcome = TProbeResult::Outcome::Answered, .firmware = version};
    } catch (const serial::EComPort& e) {
        // One port that fails now does not end the survey of the others.
        return {.outcome = TProbeResult::Outcome::Failed, .error = QString::fromUtf8(e.what())};
    }
}

} // namespace cli
