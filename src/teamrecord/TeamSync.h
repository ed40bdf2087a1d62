#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>

namespace teamrecord {

class TSendWorker;

// Sends the local record to the team's server in the background, for a program that services a
// splicer. The thread boundary of the team record is here and only here: the owner's thread
// calls Start and Nudge, which return at once; a thread of this object's own opens the server
// and the local file through connections of its own and sends, so no server that is down, slow
// or unreachable ever holds up an operation on the splicer. What it learns comes back as queued
// signals. Destruction waits for the send in progress, at most about the connection time-out
// for a server that does not answer.
class TTeamSync : public QObject {
    Q_OBJECT
public:
    explicit TTeamSync(QString localRecord, QObject* parent = nullptr);
    ~TTeamSync() override;

    // Reads "[record] server=" and sends what is pending; nothing happens without a server.
    void Start();
    // Something was recorded: send it when the thread is free.
    void Nudge();
    bool Configured() const { return !server_.isEmpty(); }

signals:
    void sent(int count);
    // Why the server was not reached or refused; once per run.
    void fault(const QString& text);

private:
    void onFailed(const QString& text);

    QString localRecord_;
    QString server_;
    QThread thread_;
    TSendWorker* worker_ = nullptr;
    std::atomic<bool> queued_{false};
    bool faultTold_ = false;
};

// Lives on TTeamSync's thread.
class TSendWorker : public QObject {
    Q_OBJECT
public:
    TSendWorker(QString localRecord, QString server, std::atomic<bool>& queued);
    void Send();

signals:
    void sent(int count);
    void failed(const QString& text);

private:
    const QString localRecord_;
    const QString server_;
    std::atomic<bool>& queued_;
};

} // namespace teamrecord
