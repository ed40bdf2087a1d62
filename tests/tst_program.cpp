// The real program, as a technician starts it: from another folder, with config.ini beside it.
#include "kit/Hex.h"
#include "sim/SimulatedSplicer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void findsSplicerAtStartFromAnotherFolder();
};

void TestProgram::findsSplicerAtStartFromAnotherFolder() {
    SimulatedSplicer sim(SimulatedSplicer::Options{});
    QTemporaryDir folder;
    const QString program = folder.filePath("spliceon");
    QVERIFY(QFile::copy(QStringLiteral(SPLICEON_PROGRAM), program));
    {
        QFile ini(folder.filePath("config.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[system]\ndriverinstall=0\n\n[ports]\nCOM3=" +
                  QByteArray(sim.SlavePath().c_str()) + "\n");
    }
    QTemporaryDir elsewhere;
    QProcess process;
    process.setWorkingDirectory(elsewhere.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program, {});
    QVERIFY(process.waitForStarted());

    // Handshake, the four queries, then the parameter read that follows a connection.
    QVERIFY(sim.WaitForFrames(6, 10000));
    QStringList frames;
    for (const auto& f : sim.Frames())
        frames << Hex(f.bytes);
    QCOMPARE(frames.mid(0, 6),
             (QStringList{"5A 4A 02 45 08 A5", "5A 4A 02 C1 00 A5", "5A 4A 02 49 00 A5",
                          "5A 4A 02 44 00 A5", "5A 4A 02 48 00 A5", "5A 4A 02 40 00 A5"}));
    process.terminate();
    QVERIFY(process.waitForFinished(5000));
    QVERIFY(!QFile::exists(elsewhere.filePath("config.ini"))); // nothing in the current folder
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
