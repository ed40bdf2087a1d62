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
// signals. After each send the team's records are read back into the mirror (TeamMirror.h).
// Destruction waits for the send in progress, at most about the connection time-out
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
    // The last send reached the server and the team's records were read back into the mirror.
    bool TeamReachable() const { return reachable_; }

signals:
    // The server was reached: count records sent, the mirror brought up to date.
    void reached(int count);
    // Why the server was not reached or refused; once per run.
    void fault(const QString& text);

private:
    void onFailed(const QString& text);
    void onReached(int count);

    QString localRecord_;
    QString server_;
    QThread thread_;
    TSendWorker* worker_ = nullptr;
    std::atomic<bool> queued_{false};
    bool faultTold_ = false;
    bool reachable_ = false;
};

// Lives on TTeamSync's thread.
class TSendWorker : public QObject {
    Q_OBJECT
public:
    TSendWorker(QString localRecord, QString server, std::atomic<bool>& queued);
    void Send();

signals:
    void reached(int count);
    void failed(const QString& text);

private:
    const QString localRecord_;
    const QString server_;
    std::atomic<bool>& queued_;
};

} // namespace teamrecord
