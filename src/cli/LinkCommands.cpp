#include "cli/LinkCommands.h"

#include "cli/ConsoleBoxes.h"
#include "cli/OutputFile.h"
#include "cli/SetInput.h"
#include "paramset/ParamSet.h"
#include "paramset/SetCompare.h"
#include "paramset/SetFile.h"
#include "protocol/CommandTable.h"
#include "protocol/FrameScanner.h"
#include "protocol/Frames.h"
#include "protocol/MessageBoxes.h"
#include "protocol/SplicerLink.h"
#include "serial/ComError.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

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

// The parameter answers the link receives.
class TParamAnswers {
public:
    explicit TParamAnswers(SplicerLink& link) : link_(link) {
        QObject::connect(&link, &SplicerLink::paramsReceived, &context_,
                         [this](const FusionParams& block) { last_ = block; });
        QObject::connect(&link, &FrameFeed::frameReceived, &context_, [this](const QByteArray& f) {
            if (f.size() >= 4 && uint8_t(f[2]) == frames::AnsParams)
                held_ = f.mid(3, f.size() - 4).left(FusionParams::kSize);
        });
    }

    // The bytes of the block the answer taken last held.
    QByteArray Held() const { return held_; }

    // The answer to the parameter read sent last, once its wait is over.
    FusionParams Take() {
        if (!last_) {
            QEventLoop loop;
            QObject::connect(&link_, &SplicerLink::paramsReceived, &loop, &QEventLoop::quit);
            QTimer::singleShot(kLateAnswerMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (!last_)
            throw failure(QCoreApplication::translate("LinkCommands", "熔接机没有应答参数读取"));
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
    QByteArray held_;
};

// A query whose answer, when it is late, is still awaited for kLateAnswerMs; nothing more is
// sent. The value answered, or none.
std::optional<uint16_t> awaitedAnswer(SplicerLink& link,
                                      std::optional<uint16_t> (SplicerLink::*ask)(), uint8_t answer,
                                      const uint16_t& value) {
    QEventLoop loop;
    bool came = false;
    // A payload too short for the value is no answer, as the link has it.
    QObject::connect(&link, &FrameFeed::frameReceived, &loop, [&](const QByteArray& f) {
        if (f.size() - FrameScanner::kMinFrame >= frames::AnswerBytes(answer) &&
            uint8_t(f[2]) == answer) {
            came = true;
            loop.quit();
        }
    });
    if (const std::optional<uint16_t> v = (link.*ask)())
        return v;
    if (!came) {
        QTimer::singleShot(kLateAnswerMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return came ? std::optional<uint16_t>(value) : std::nullopt;
}

// Connects by the search, or on the given port. False when no splicer answered, which the
// boxes have then been told.
bool connectSplicer(SplicerLink& link, TMessageBoxes& boxes, const QString& port,
                    const TSearch& search) {
    if (port.isEmpty())
        return search();
    if (link.ConnectPort(port.toStdString()))
        return true;
    boxes.ShowMessage(SplicerLink::tr(SplicerLink::kNotFound));
    return false;
}

// What the set cannot give the splicer as it is, one line each.
QString notesText(const std::vector<params::CompareRow>& rows, uint16_t firmware) {
    QString text;
    for (const params::CompareRow& row : rows)
        for (const QString& note :
             params::ApartNotes(row, QString::fromLatin1(row.field->key), firmware))
            text += QCoreApplication::translate("LinkCommands", "注意：%1").arg(note) + '\n';
    return text;
}

// What the set changes on the splicer, and the notes: the lines shown before a write's question.
QString changeList(const std::vector<params::CompareRow>& rows, uint16_t firmware) {
    QString changes;
    for (const params::CompareRow& row : rows) {
        const QString unit =
            *row.field->unit ? ' ' + QString::fromLatin1(row.field->unit) : QString();
        if (row.Differs())
            changes += QStringLiteral("  %1：%2 → %3%4\n")
                           .arg(QString::fromLatin1(row.field->key), row.splicer, row.file, unit);
    }
    return (changes.isEmpty()
                ? QCoreApplication::translate("LinkCommands", "熔接机的参数与文件相同") + '\n'
                : QCoreApplication::translate("LinkCommands", "要写入的改动（熔接机 → 文件）：") +
                      '\n' + changes) +
           notesText(rows, firmware);
}

// "-" and no --out both mean standard output.
void writeOut(const QString& path, const QString& text) {
    if (path.isEmpty() || path == QStringLiteral("-"))
        PrintResult(text);
    else
        WriteOutputFile(path, text.toUtf8());
}

} // namespace

int ReadParams(SplicerLink& link, TMessageBoxes& boxes, const QString& port, const TSearch& search,
               const QString& outPath, const TResultFormat& format) {
    TParamAnswers answers(link);
    if (!connectSplicer(link, boxes, port, search))
        return ExitNoSplicer;
    const FusionParams block = answers.Take();
    writeOut(outPath,
             format.ReadResult({DeviceInfoOf(link.State()), QDateTime::currentDateTime(),
                                params::SetFromBlock(block),
                                {link.State().FirmwareVersion, answers.Held()}}));
    return ExitDone;
}

int WriteParams(SplicerLink& link, TMessageBoxes& boxes, const QString& file, const QString& port,
                const TSearch& search, const TWriteChoice& choice) {
    const params::SetFile set = params::ParseSetFile(SetInputName(file), ReadSetInput(file));
    TParamAnswers answers(link);
    if (!connectSplicer(link, boxes, port, search))
        return ExitNoSplicer;
    // The read that follows a connection: what the fields the set does not hold keep.
    const FusionParams current = answers.Take();
    const DeviceState& state = link.State();
    const uint16_t version =
        awaitedAnswer(link, &SplicerLink::AskVersion, frames::AnsVersion, state.FirmwareVersion)
            .value_or(0);
    const FusionParams block = params::BlockForSplicer(set, version, current);
    const QString changes =
        changeList(params::CompareWithSplicer(set, version, answers.Held()), version);
    if (choice.dryRun) {
        PrintMessage(changes +
                     QCoreApplication::translate("LinkCommands",
                                                 "只是演习（--dry-run）：没有向熔接机写入参数") +
                     '\n');
        return ExitDone;
    }
    if (choice.confirmed && !choice.quiet)
        PrintMessage(changes);
    if (!choice.confirmed && !boxes.Confirm(changes + SplicerLink::tr(SplicerLink::kConfirmWrite)))
        throw failure(QCoreApplication::translate("LinkCommands", "没有写入：未确认"));
    if (version >= FusionParams::kFullBlockVersion)
        awaitedAnswer(link, &SplicerLink::AskBlockLength, frames::AnsBlockLength,
                      state.BlockLength);
    const int count = FusionParams::WriteCount(version, state.BlockLength);
    // Gone before the block: nothing was written, a plain failure.
    if (!link.Connected())
        throw failure(QCoreApplication::translate("LinkCommands", "熔接机已断开：没有写入"));
    if (count == 0) {
        boxes.ShowMessage(QCoreApplication::translate(
            "LinkCommands", "熔接机答复的参数块长度是 0：没有写入任何参数"));
        return ExitDiffers;
    }
    FusionParams back;
    try {
        link.SendParamBlock(block, count);
        SplicerLink::WaitPumping(500);
        back = answers.Read();
    } catch (const std::exception& e) {
        boxes.ShowMessage(
            QCoreApplication::translate("LinkCommands",
                                        "参数块已发出，熔接机可能已存下新参数，但没有读回核对：%1")
                .arg(QString::fromUtf8(e.what())));
        return ExitDiffers;
    }
    for (const params::Difference& d : params::Differences(block, back, count))
        boxes.ShowMessage(
            QCoreApplication::translate("LinkCommands", "读回的 %1 是 %2，写入的是 %3")
                .arg(d.name, d.readBack, d.sent));
    // The bytes decide, not the fields: a byte no field shows counts as well.
    return block.Encode().left(count) == back.Encode().left(count) ? ExitDone : ExitDiffers;
}

int DiffParams(SplicerLink& link, TMessageBoxes& boxes, const QString& file, const QString& port,
               const TSearch& search, const TResultFormat& format, bool quiet) {
    const params::SetFile set = params::ParseSetFile(SetInputName(file), ReadSetInput(file));
    TParamAnswers answers(link);
    if (!connectSplicer(link, boxes, port, search))
        return ExitFailed;
    // The read that follows a connection, and the version its query sequence reported.
    answers.Take();
    const TDiffResult result{
        link.State().FirmwareVersion,
        params::CompareWithSplicer(set, link.State().FirmwareVersion, answers.Held())};
    if (!quiet)
        PrintMessage(notesText(result.rows, result.firmware));
    PrintResult(format.DiffResult(result));
    return params::DifferenceCount(result.rows) == 0 ? ExitDone : ExitSetDiffers;
}

TProbeResult Probe(SplicerLink& link, const QString& path) {
    std::optional<uint16_t> version;
    QObject context;
    QObject::connect(&link, &SplicerLink::versionReported, &context,
                     [&version](uint16_t v) { version = v; });
    try {
        const bool answered = link.ConnectPort(path.toStdString());
        link.DisconnectDevice();
        if (!answered)
            return {.outcome = TProbeResult::Outcome::Silent};
        return {.outcome = TProbeResult::Outcome::Answered, .firmware = version};
    } catch (const serial::EComPort& e) {
        // One port that fails now does not end the survey of the others.
        return {.outcome = TProbeResult::Outcome::Failed, .error = QString::fromUtf8(e.what())};
    }
}

} // namespace cli
