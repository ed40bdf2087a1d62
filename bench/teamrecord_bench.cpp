// What sending the record to a team's server adds to an operation: each operation's record
// written and the sender nudged, as the window does, timed on the recording thread, with no
// server, and with the server given (up, stopped, unreachable). Also how long the end of the
// program waits for a send in progress.
//   teamrecord_bench [SERVER]     SERVER: a [record] server= value
#include "config/Config.h"
#include "record/Records.h"
#include "record/ServiceDb.h"
#include "teamrecord/TeamSync.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    config::SetConfigPath(dir.filePath(QStringLiteral("config.ini")));
    if (argc > 1)
        config::WriteConfigString(QStringLiteral("record"), QStringLiteral("server"),
                                  QString::fromLocal8Bit(argv[1]));
    record::TServiceDb db(dir.filePath(QStringLiteral("service.db")));
    auto sync = std::make_unique<teamrecord::TTeamSync>(db.Path());
    int faults = 0;
    QObject::connect(sync.get(), &teamrecord::TTeamSync::fault, [&faults](const QString& text) {
        ++faults;
        std::fprintf(stderr, "fault: %s\n", qPrintable(text));
    });
    sync->Start();
    constexpr int kOperations = 40;
    std::vector<double> ms;
    for (int i = 0; i < kOperations; ++i) {
        record::Operation o;
        o.stamp = record::NewStamp(QStringLiteral("/dev/ttyUSB0"), "SPL2026001");
        o.kind = record::Kind::Read;
        o.outcome = record::Outcome::Done;
        o.after = QByteArray(38, '\x11');
        QElapsedTimer t;
        t.start();
        db.AddOperation(o);
        sync->Nudge();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        // The technician's next operation comes later; the sender's answers arrive meanwhile.
        QTimer::singleShot(50, &app, &QCoreApplication::quit);
        app.exec();
    }
    std::sort(ms.begin(), ms.end());
    QElapsedTimer end;
    end.start();
    sync.reset();
    std::printf("server: %s\nrecord + nudge per operation: median %.2f ms, max %.2f ms (%d)\n"
                "faults told: %d\nend of program waited %.0f ms\n",
                argc > 1 ? argv[1] : "(none)", ms[ms.size() / 2], ms.back(), kOperations, faults,
                double(end.nsecsElapsed()) / 1e6);
}
