#include "teamrecord/TeamSync.h"

#include "teamrecord/SendPending.h"
#include "teamrecord/ServerAddress.h"
#include "teamrecord/TeamError.h"
#include "teamrecord/TeamMirror.h"
#include "teamrecord/TeamServer.h"

namespace teamrecord {

TTeamSync::TTeamSync(QString localRecord, QObject* parent)
    : QObject(parent), localRecord_(std::move(localRecord)) {
    thread_.setObjectName(QStringLiteral("team-record"));
}

TTeamSync::~TTeamSync() {
    thread_.quit();
    thread_.wait();
}

void TTeamSync::Start() {
    try {
        if (const std::optional<QString> server = ConfiguredServer())
            server_ = *server;
    } catch (const ETeamRecord& e) {
        onFailed(QString::fromUtf8(e.what()));
        return;
    }
    if (server_.isEmpty())
        return;
    worker_ = new TSendWorker(localRecord_, server_, queued_);
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &TSendWorker::reached, this, &TTeamSync::onReached);
    connect(worker_, &TSendWorker::failed, this, &TTeamSync::onFailed);
    thread_.start();
    Nudge();
}

void TTeamSync::Nudge() {
    // One send waiting is enough: it takes whatever is pending when it runs.
    if (worker_ && !queued_.exchange(true))
        QMetaObject::invokeMethod(worker_, &TSendWorker::Send, Qt::QueuedConnection);
}

void TTeamSync::onReached(int count) {
    reachable_ = true;
    emit reached(count);
}

void TTeamSync::onFailed(const QString& text) {
    reachable_ = false;
    if (!std::exchange(faultTold_, true))
        emit fault(text);
}

TSendWorker::TSendWorker(QString localRecord, QString server, std::atomic<bool>& queued)
    : localRecord_(std::move(localRecord)), server_(std::move(server)), queued_(queued) {}

void TSendWorker::Send() {
    queued_ = false;
    try {
        TTeamServer server(server_);
        const int count = SendPending(localRecord_, server);
        PullTeam(server, TeamMirrorPath(localRecord_));
        emit reached(count);
    } catch (const ETeamRecord& e) {
        emit failed(QString::fromUtf8(e.what()));
    }
}

} // namespace teamrecord
