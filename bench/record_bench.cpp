// The service record's costs: the time one record adds to an operation, the record window
// opening on a record of 10 000 operations, and the bytes an operation takes in the file.
#include "record/Recorder.h"
#include "record/ServiceDb.h"
#include "record/frmRecord.h"

#include "protocol/DeviceState.h"
#include "protocol/FusionParams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kOperations = 10000;
constexpr int kPerVisit = 10; // a visit: its read, writes, tests

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("service.db");
    const QByteArray block = FusionParams().Encode();
    std::vector<double> ms;
    {
        record::TServiceDb db(path);
        record::TRecorder recorder(db);
        DeviceState state;
        state.DeviceId = "SPL2026001";
        state.FirmwareVersion = 134;
        state.FusionCount = 1234;
        for (int i = 0; i < kOperations; ++i) {
            QElapsedTimer t;
            t.start();
            if (i % kPerVisit == 0) {
                recorder.Disconnected();
                recorder.Connected(QStringLiteral("COM3"));
                recorder.Learnt(state, true);
                recorder.RecordRead(block);
            } else {
                recorder.RecordWrite(block, block, block, false);
            }
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("recording one operation: median %.2f ms, 99th percentile %.2f ms, max %.2f ms\n",
                median(ms), ms[ms.size() * 99 / 100], ms.back());
    std::printf("file: %lld bytes for %d operations in %d visits: %.0f bytes per operation\n",
                QFileInfo(path).size(), kOperations, kOperations / kPerVisit,
                double(QFileInfo(path).size()) / kOperations);

    std::vector<double> opens;
    for (int run = 0; run < 5; ++run) {
        QWidget owner;
        record::TServiceDb db(path);
        QElapsedTimer t;
        t.start();
        TfrmRecord window(db, &owner);
        window.show();
        QCoreApplication::processEvents();
        opens.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("record window open on %d operations: median %.1f ms, first %.1f ms\n",
                kOperations, median(opens), opens.front());
    return 0;
}
