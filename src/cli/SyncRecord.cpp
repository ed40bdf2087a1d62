#include "cli/SyncRecord.h"

#include "cli/Console.h"
#include "cli/Results.h"
#include "teamrecord/SendPending.h"
#include "teamrecord/ServerAddress.h"
#include "teamrecord/ServerSchema.h"
#include "teamrecord/TeamError.h"
#include "teamrecord/TeamMirror.h"
#include "teamrecord/TeamServer.h"

#include <QCoreApplication>

namespace cli {

int SyncRecord(const QString& localRecord, bool init) {
    try {
        const std::optional<QString> server = teamrecord::ConfiguredServer();
        if (!server) {
            PrintMessage(QCoreApplication::translate(
                             "CommandLine", "config.ini 里没有 [record] server=：没有团队服务器") +
                         '\n');
            return ExitFailed;
        }
        teamrecord::TTeamServer team(*server);
        if (init) {
            team.Init();
            PrintResult(QCoreApplication::translate("CommandLine",
                                                    "团队服务器上的服务记录格式：第 %1 版\n")
                            .arg(teamrecord::ServerSchemaVersion()));
        }
        const int sent = teamrecord::SendPending(localRecord, team);
        PrintResult(QCoreApplication::translate("CommandLine", "已发送 %n 条记录\n", nullptr, sent));
        return ExitDone;
    } catch (const teamrecord::ETeamRecord& e) {
        PrintMessage(QString::fromUtf8(e.what()) + '\n');
        return ExitFailed;
    }
}

void SendAfterRun(const QString& localRecord) {
    try {
        if (const std::optional<QString> server = teamrecord::ConfiguredServer()) {
            teamrecord::TTeamServer team(*server);
            teamrecord::SendPending(localRecord, team);
        }
    } catch (const teamrecord::ETeamRecord& e) {
        PrintMessage(QString::fromUtf8(e.what()) + '\n');
    }
}

QString RecordToRead(const QString& localRecord) {
    try {
        const std::optional<QString> server = teamrecord::ConfiguredServer();
        if (!server)
            return localRecord;
        teamrecord::TTeamServer team(*server);
        teamrecord::SendPending(localRecord, team);
        const QString mirror = teamrecord::TeamMirrorPath(localRecord);
        teamrecord::PullTeam(team, mirror);
        PrintMessage(QCoreApplication::translate("CommandLine", "服务记录：团队服务器上的记录") + '\n');
        return mirror;
    } catch (const teamrecord::ETeamRecord& e) {
        PrintMessage(QString::fromUtf8(e.what()) + '\n' +
                     QCoreApplication::translate("CommandLine", "服务记录：只有本机的记录") + '\n');
        return localRecord;
    }
}

} // namespace cli
