#pragma once

#include "record/Records.h"
#include "record/ServiceDb.h"

#include <QObject>
#include <QTimer>

#include <exception>
#include <optional>

class FrameFeed;
class SplicerLink;
struct DeviceState;

namespace record {

class TRecorder;

// Watches the frames sent while an operation runs: whether any went out, the parameter block
// among them, the block read before and after it, and whether the connection dropped after the
// first went out.
class TSending {
public:
    explicit TSending(const TRecorder& recorder);
    bool AnySent() const;
    // The parameter block's bytes as they went out; empty when none did.
    QByteArray Block() const;
    // The block read last before it went out (empty: none in this connection), and the block
    // read after it, when one was.
    QByteArray HeldBefore() const;
    std::optional<QByteArray> ReadBack() const;
    bool DroppedAfterSending() const;

private:
    const TRecorder& recorder_;
    unsigned framesBefore_;
    unsigned disconnectsBefore_;
};

// The one place that records what is done to a splicer; the window and the command line feed
// it alike. A connection becomes a visit once its query sequence has learnt the splicer (or at
// the first operation, whichever comes first), every parameter block read is a read, and the
// operations are told by whoever ran them. Each record is written and committed at once; a
// record that cannot be written never stops the work: fault() tells why, once per run.
class TRecorder : public QObject {
    Q_OBJECT
public:
    explicit TRecorder(TServiceDb& db, QObject* parent = nullptr);

    // The frames that go to the splicer and come from it, for TSending and for the reads.
    void Follow(const FrameFeed& feed);
    // The window's link: its connections and what the query sequence learns.
    void Follow(const SplicerLink& link);

    // A connection on port, and what is known of the splicer on it.
    void Connected(const QString& port);
    void Learnt(const DeviceState& state, bool complete);
    void Disconnected();
    void RecordRead(const QByteArray& block);
    // A connection told only once it was made, after the parameter read that ends it: that read
    // is recorded now.
    void RecordConnectionRead();

    // A command or record sent with nothing to check: sent when a frame went out, else failed.
    void RecordSend(Kind kind, const TSending& sending, QJsonObject detail = {});
    // A failure that ended an operation (the error's text).
    void RecordFailure(Kind kind, const TSending& sending, const QString& reason,
                       QJsonObject detail = {});
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
    // A write: the block the splicer held before, the block sent (empty: none went out), and
    // the outcome: verified when readBack equals what was sent, sent when nothing was read back,
    // failed with failure, or when the line dropped after the block went out.
    Operation RecordWrite(const QByteArray& before, const QByteArray& sent,
                          const std::optional<QByteArray>& readBack, bool droppedAfter,
                          const QString& failure = {});
    Operation RecordWrite(const TSending& sending, const QString& failure = {});
    // A service query; its answer is added when it comes within a second.
    void RecordQuery(uint8_t code, const TSending& sending);
    // The window's parameter set saved to or loaded from config.ini (keys and values).
    void RecordSet(Kind kind, const QJsonObject& set);

signals:
    void recorded(const record::Operation& operation);
    void fault(const QString& text);

private:
    friend class TSending;
    void frameSent(const QByteArray& frame);
    void frameReceived(const QByteArray& frame);
    void storeVisit();
    void record(Operation& o);
    void store(const Operation& o);
    void flushQuery();
    void told(const ERecord& e);
    void sayFault();
    Stamp stamp() const;

    TServiceDb& db_;
    QString visit_; // the connection's visit; empty while not connected
    QString port_;
    Visit known_;   // what the query sequence learnt
    bool visitStored_ = false;
    QByteArray lastRead_;
    QByteArray unattached_; // a block read while no connection was told
    std::optional<Operation> query_;
    QTimer queryTimer_;
    unsigned framesSent_ = 0;
    unsigned disconnects_ = 0;
    QByteArray lastBlockSent_;
    unsigned lastBlockFrame_ = 0;        // framesSent_ when it went out
    QByteArray heldBeforeBlock_;         // the last read when it went out
    std::optional<QByteArray> readBack_; // the last read after it
    bool faultTold_ = false;
    std::optional<QString> unsaid_; // told, not yet said
    bool renameTold_ = false;
};

} // namespace record
