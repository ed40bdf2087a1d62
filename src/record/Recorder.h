#pragma once

#include "record/Records.h"
#include "record/ServiceDb.h"

#include <QObject>
#include <QTimer>

#include <exception>
#include <optional>

class SplicerLink;

namespace record {

class TRecorder;

// Watches the frames a link sends while an operation runs: whether any went out, the parameter
// block among them, and whether the connection dropped after the first went out.
class TSending {
public:
    explicit TSending(const TRecorder& recorder);
    bool AnySent() const;
    // The parameter block's bytes as they went out; empty when none did.
    QByteArray Block() const;
    // The block read after it went out, when one was.
    std::optional<QByteArray> ReadBack() const;
    bool DroppedAfterSending() const;

private:
    const TRecorder& recorder_;
    unsigned framesBefore_;
    unsigned disconnectsBefore_;
};

// The one place that records what is done to a splicer, for the window and the command line
// alike. It follows the link by itself for what the link tells (a connection becomes a visit
// once the query sequence has learnt the splicer, every parameter answer is a read), and is told
// the operations the user starts. Each record is written and committed at once; a record that
// cannot be written never stops the work: fault() tells why, once per run.
class TRecorder : public QObject {
    Q_OBJECT
public:
    TRecorder(SplicerLink& link, TServiceDb& db, QObject* parent = nullptr);

    // A command or record sent with nothing to check: sent when a frame went out, else failed.
    void RecordSend(Kind kind, const TSending& sending, QJsonObject detail = {});
    // A failure that ended an operation (the error's text).
    void RecordFailure(Kind kind, const TSending& sending, const QString& reason,
                       QJsonObject detail = {});
    // A write: the block the splicer held before (the last read in this connection), the block
    // sent, and the outcome: verified when readBack equals what was sent, sent when nothing was
    // read back, failed with failure, or when the line dropped after the block went out.
    Operation RecordWrite(const TSending& sending, const std::optional<QByteArray>& readBack,
                          const QString& failure = {});
    // A service query; its answer is added when it comes within a second.
    void RecordQuery(uint8_t code, const TSending& sending);
    // The window's parameter set saved to or loaded from config.ini (keys and values).
    void RecordSet(Kind kind, const QJsonObject& set);

    // Runs operation and records it as RecordSend does; an error that ends it is recorded as
    // the failure and passed on.
    template <class F> void Sending(Kind kind, F&& operation, QJsonObject detail = {}) {
        const TSending sending(*this);
        try {
            operation();
        } catch (const std::exception& e) {
            RecordFailure(kind, sending, QString::fromUtf8(e.what()), detail);
            throw;
        }
        RecordSend(kind, sending, std::move(detail));
    }

    // A splicer is connected and its visit begun.
    bool InVisit() const { return !visit_.isEmpty(); }

signals:
    void recorded(const record::Operation& operation);
    void fault(const QString& text);

private:
    friend class TSending;
    void onConnected();
    void onInfo();
    void onFrameReceived(const QByteArray& frame);
    void onParams();
    void onDisconnected();
    void storeVisit();
    void record(Operation& o);
    void store(const Operation& o);
    void flushQuery();
    void told(const ERecord& e);
    Stamp stamp() const;

    SplicerLink& link_;
    TServiceDb& db_;
    QString visit_; // the connection's visit; empty while not connected
    bool visitStored_ = false;
    QByteArray lastRead_;
    QByteArray heldBlock_; // the bytes of the parameter answer being handled
    std::optional<Operation> query_;
    QTimer queryTimer_;
    unsigned framesSent_ = 0;
    unsigned disconnects_ = 0;
    QByteArray lastBlockSent_;
    unsigned lastBlockFrame_ = 0;        // framesSent_ when it went out
    QByteArray heldBeforeBlock_;         // the last read when it went out
    std::optional<QByteArray> readBack_; // the first read after it
    bool faultTold_ = false;
    bool renameTold_ = false;
};

} // namespace record
