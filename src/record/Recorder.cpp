#include "record/Recorder.h"

#include "protocol/DeviceState.h"
#include "protocol/FrameView.h"
#include "protocol/Frames.h"
#include "protocol/FusionParams.h"
#include "protocol/SplicerLink.h"

#include <QCoreApplication>

namespace record {
namespace {

// How long a service query's answer is awaited before the query is recorded without one.
constexpr int kQueryAnswerMs = 1000;

} // namespace

TSending::TSending(const TRecorder& recorder)
    : recorder_(recorder), framesBefore_(recorder.framesSent_),
      disconnectsBefore_(recorder.disconnects_) {}

bool TSending::AnySent() const {
    return recorder_.framesSent_ > framesBefore_;
}

QByteArray TSending::Block() const {
    return recorder_.lastBlockFrame_ > framesBefore_ ? recorder_.lastBlockSent_ : QByteArray();
}

QByteArray TSending::HeldBefore() const {
    return Block().isEmpty() ? recorder_.lastRead_ : recorder_.heldBeforeBlock_;
}

std::optional<QByteArray> TSending::ReadBack() const {
    return Block().isEmpty() ? std::nullopt : recorder_.readBack_;
}

bool TSending::DroppedAfterSending() const {
    return AnySent() && recorder_.disconnects_ > disconnectsBefore_;
}

TRecorder::TRecorder(TServiceDb& db, QObject* parent) : QObject(parent), db_(db) {
    queryTimer_.setSingleShot(true);
    queryTimer_.setInterval(kQueryAnswerMs);
    connect(&queryTimer_, &QTimer::timeout, this, &TRecorder::flushQuery);
}

void TRecorder::Follow(const FrameFeed& feed) {
    connect(&feed, &FrameFeed::frameSent, this, &TRecorder::frameSent);
    connect(&feed, &FrameFeed::frameReceived, this, &TRecorder::frameReceived);
}

void TRecorder::Follow(const SplicerLink& link) {
    Follow(static_cast<const FrameFeed&>(link));
    connect(&link, &SplicerLink::deviceConnected, this, [this, &link] {
        Connected(QString::fromStdString(link.ComPort().Port()));
    });
    connect(&link, &SplicerLink::deviceInfoChanged, this, [this, &link] {
        // The query sequence ends with the device identifier.
        Learnt(link.State(), !link.State().QuerySequenceActive);
    });
    connect(&link, &SplicerLink::versionReported, this,
            [this, &link] { Learnt(link.State(), false); });
    connect(&link, &SplicerLink::deviceDisconnected, this, &TRecorder::Disconnected);
}

Stamp TRecorder::stamp() const {
    if (visit_.isEmpty())
        return NewStamp(QString(), QByteArray());
    return NewStamp(port_, known_.stamp.deviceId);
}

void TRecorder::Connected(const QString& port) {
    flushQuery();
    visit_ = NewStamp(QString(), QByteArray()).uuid;
    port_ = port;
    known_ = Visit();
    visitStored_ = false;
    lastRead_.clear();
}

void TRecorder::Learnt(const DeviceState& state, bool complete) {
    if (visit_.isEmpty())
        return;
    known_.stamp.deviceId = state.DeviceId;
    known_.firmware = state.FirmwareVersion;
    known_.fusionCount = state.FusionCount;
    known_.currentGroup = state.CurrentGroup;
    if (complete) {
        storeVisit();
        sayFault();
    }
}

void TRecorder::storeVisit() {
    if (visitStored_ || visit_.isEmpty())
        return;
    visitStored_ = true;
    Visit v = known_;
    v.stamp = stamp();
    v.stamp.uuid = visit_;
    try {
        db_.AddVisit(v);
    } catch (const ERecord& e) {
        told(e);
    }
}

void TRecorder::frameSent(const QByteArray& frame) {
    ++framesSent_;
    if (const auto command = frames::FrameView::Command(frame);
        command && command->code == frames::KindParamBlock) {
        lastBlockSent_ = command->payload;
        lastBlockFrame_ = framesSent_;
        heldBeforeBlock_ = lastRead_;
        readBack_.reset();
    }
}

void TRecorder::frameReceived(const QByteArray& frame) {
    const auto answer = frames::FrameView::Answer(frame);
    if (!answer)
        return;
    const uint8_t code = answer->code;
    const QByteArray& payload = answer->payload;
    if (query_ && query_->detail.value(QStringLiteral("code")).toInt() == code) {
        query_->detail.insert(QStringLiteral("answer"), QString::fromLatin1(payload.toHex()));
        flushQuery();
    }
    if (code == frames::AnsParams) {
        const QByteArray block = payload.left(FusionParams::kSize);
        if (lastBlockFrame_ > 0)
            readBack_ = block;
        if (visit_.isEmpty())
            unattached_ = block;
        else
            RecordRead(block);
    }
}

void TRecorder::RecordRead(const QByteArray& block) {
    lastRead_ = block;
    Operation o;
    o.kind = Kind::Read;
    o.outcome = Outcome::Done;
    o.after = block;
    record(o);
}

void TRecorder::RecordConnectionRead() {
    if (!unattached_.isEmpty())
        RecordRead(std::exchange(unattached_, QByteArray()));
}

void TRecorder::Disconnected() {
    unattached_.clear();
    flushQuery();
    ++disconnects_;
    visit_.clear();
    visitStored_ = false;
    lastRead_.clear();
}

void TRecorder::RecordSend(Kind kind, const TSending& sending, QJsonObject detail) {
    if (!sending.AnySent()) {
        RecordFailure(kind, sending, SplicerLink::tr(SplicerLink::kNotConnected).trimmed(),
                      std::move(detail));
        return;
    }
    Operation o;
    o.kind = kind;
    o.outcome = Outcome::Sent;
    o.detail = std::move(detail);
    record(o);
}

void TRecorder::RecordFailure(Kind kind, const TSending& sending, const QString& reason,
                              QJsonObject detail) {
    Operation o;
    o.kind = kind;
    o.outcome = Outcome::Failed;
    o.reason = reason;
    o.sent = sending.Block();
    o.detail = std::move(detail);
    record(o);
}

Operation TRecorder::RecordWrite(const QByteArray& before, const QByteArray& sent,
                                 const std::optional<QByteArray>& readBack, bool droppedAfter,
                                 const QString& failure) {
    Operation o;
    o.kind = Kind::Write;
    o.before = before;
    o.sent = sent;
    if (readBack)
        o.after = *readBack;
    o.outcome = Outcome::Failed;
    if (!failure.isEmpty())
        o.reason = failure;
    else if (sent.isEmpty())
        o.reason = tr("参数块没有发出");
    else if (readBack && readBack->left(sent.size()) != sent)
        o.reason = tr("读回的参数与写入的不同");
    else if (readBack)
        o.outcome = Outcome::Verified;
    else if (droppedAfter)
        o.reason = tr("参数块发出后线路断开，没有核对");
    else
        o.outcome = Outcome::Sent;
    record(o);
    return o;
}

Operation TRecorder::RecordWrite(const TSending& sending, const QString& failure) {
    return RecordWrite(sending.HeldBefore(), sending.Block(), sending.ReadBack(),
                       sending.DroppedAfterSending(), failure);
}

void TRecorder::RecordQuery(uint8_t code, const TSending& sending) {
    QJsonObject detail{{QStringLiteral("code"), int(code)}};
    if (!sending.AnySent()) {
        RecordSend(Kind::Query, sending, detail);
        return;
    }
    flushQuery();
    Operation o;
    o.stamp = stamp();
    o.kind = Kind::Query;
    o.outcome = Outcome::Sent;
    o.detail = detail;
    query_ = std::move(o);
    queryTimer_.start();
}

void TRecorder::RecordSet(Kind kind, const QJsonObject& set) {
    Operation o;
    o.kind = kind;
    o.outcome = Outcome::Done;
    o.detail = {{QStringLiteral("set"), set}};
    record(o);
}

void TRecorder::record(Operation& o) {
    // The query waiting for its answer came first.
    flushQuery();
    o.stamp = stamp();
    store(o);
}

void TRecorder::store(const Operation& stamped) {
    Operation o = stamped;
    if (!visit_.isEmpty()) {
        storeVisit();
        o.visit = visit_;
    }
    try {
        db_.AddOperation(o);
    } catch (const ERecord& e) {
        told(e);
    }
    emit recorded(o);
    // After the operation's own line, so that what became of its record is the word that stays.
    sayFault();
}

void TRecorder::flushQuery() {
    queryTimer_.stop();
    if (std::optional<Operation> q = std::exchange(query_, std::nullopt))
        store(*q);
}

void TRecorder::told(const ERecord& e) {
    if (!std::exchange(faultTold_, true))
        unsaid_ = tr("没有记入服务记录：%1").arg(QString::fromUtf8(e.what()));
}

void TRecorder::sayFault() {
    if (!db_.RenamedDamaged().isEmpty() && !std::exchange(renameTold_, true))
        emit fault(
            tr("服务记录已损坏，已改名为 %1 保留；新的记录写入新文件").arg(db_.RenamedDamaged()));
    if (unsaid_)
        emit fault(*std::exchange(unsaid_, std::nullopt));
}

} // namespace record
