// The real program, as a technician starts it: from another folder, with config.ini and the
// driver installer beside it.
#include "kit/Hex.h"
#include "sim/SimulatedSplicer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

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
        ini.write("[system]\ndriverinstall=1\n\n[ports]\nCOM3=" +
                  QByteArray(sim.SlavePath().c_str()) + "\n");
    }
    // The driver installer beside the program runs at start, and config.ini records that.
    QVERIFY(QDir(folder.path()).mkpath("driver"));
    const QString marker = folder.filePath("installer-ran");
    {
        QFile installer(folder.filePath("driver/install"));
        QVERIFY(installer.open(QIODevice::WriteOnly));
        installer.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
    }
    QVERIFY(QFile::setPermissions(folder.filePath("driver/install"),
                                  QFile::ReadOwner | QFile::ExeOwner));
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
    process.terminate(); // closes the window as its menu's exit does
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + SIGTERM);
    QVERIFY(QFile::exists(marker));
    QFile ini(folder.filePath("config.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().startsWith("[system]\ndriverinstall=0\n"));
    // Neither read nor written in the current folder.
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
