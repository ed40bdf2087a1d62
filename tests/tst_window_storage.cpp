// The parameter set saved in section "Param" of config.ini and loaded back.
#include "config/Config.h"
#include "kit/DistinctBlock.h"
#include "kit/Row.h"
#include "kit/WindowFixture.h"
#include "library/frmLibrary.h"
#include "main/SpinEdit.h"
#include "paramset/ParamFields.h"
#include "paramset/SetFile.h"
#include "protocol/IntText.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <stdexcept>

#include <sys/stat.h>

namespace {

using Answer = ScriptedBoxes::Answer;

const QByteArray kSavedDefaults = "[Param]\nHeat=60\nCurrent1=35\nCurrent2=40\nCurrent3=45\n"
                                  "Current4=50\nCurrent5=55\nTime1=50\nTime2=50\nTime3=50\n"
                                  "Time4=50\nTime5=50\nPushLeft=40\nPushRight=40\nAdjustLeft=100\n"
                                  "AdjustRight=100\ncbpullpush=1\ncbClearDust=1\ncbAdjustReset=0\n"
                                  "edtDustCurrent=30\nedtDustTime=15\nedtFusePushLength=5\n"
                                  "edtFusePushSpeed=2\n";

QByteArray withParams(const QByteArray& adjust, const QByteArray& push,
                      const QByteArray& extra = {}) {
    return "[Param]\nHeat=60\nAdjustLeft=" + adjust + "\nAdjustRight=" + adjust +
           "\nedtFusePushLength=" + push + "\n" + extra;
}

} // namespace

class TestWindowStorage : public QObject {
    Q_OBJECT
private slots:
    void saveAppendsSectionKeepingOtherBytes() {
        const QByteArray before = "; kept\r\n[system]\r\ndriverinstall=0\r\n";
        WindowFixture f(before);
        f.window->btnSaveClick();
        // The file's own line ends are kept for what is added.
        QCOMPARE(f.ConfigBytes(), before + QByteArray(kSavedDefaults).replace("\n", "\r\n"));
        QCOMPARE(f.boxes.Texts(), QStringList{"你需要保存当前参数到文件吗？"});
        // Saved again over its own section, with every field showing a different value.
        f.window->ShowParamAnswer(FusionParams::Decode(kDistinctBlock));
        f.window->btnSaveClick();
        QCOMPARE(f.ConfigBytes(), before + QByteArray(kDistinctSet).replace("\n", "\r\n"));
    }

    void saveAnsweredNoLeavesFileUnchanged_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int(Answer::No);
        QTest::newRow("title-bar close") << int(Answer::Closed);
    }

    void saveAnsweredNoLeavesFileUnchanged() {
        QFETCH(int, answer);
        const QByteArray before = withParams("800", "40");
        WindowFixture f(before);
        f.boxes.answers = {Answer(answer)};
        f.window->btnSaveClick();
        QCOMPARE(f.ConfigBytes(), before);
    }

    void saveStopsAtRefusedWrite() {
        WindowFixture f(withParams("800", "40"));
        ::chmod(QFile::encodeName(f.ConfigPath()).constData(), 0444);
        QCOMPARE(ErrorText<config::EConfigWrite>([&] { f.window->btnSaveClick(); }),
                 "Unable to write to " + f.ConfigPath());
        ::chmod(QFile::encodeName(f.ConfigPath()).constData(), 0644);
        QCOMPARE(f.ConfigBytes(), withParams("800", "40"));
    }

    void loadScalesToFirmware_data() {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QString>("adjust");
        QTest::addColumn<QString>("push");
        QTest::addColumn<QString>("adjustShown");
        QTest::addColumn<QString>("pushShown");
        row("138: 100, 5", 138, "100", "5", "800", "40");
        row("138: 250, 16", 138, "250", "16", "2000", "128");
        row("138: 251, 17 stay", 138, "251", "17", "251", "17");
        row("200: 2000 stays", 200, "2000", "40", "2000", "40");
        row("138: leading zero", 138, "0100", "05", "800", "40");
        row("137: 800, 40", 137, "800", "40", "100", "5");
        row("134: 260 half to even", 134, "260", "20", "32", "2");
        row("134: 268 half to even", 134, "268", "17", "34", "2");
        row("134: 251, 16", 134, "251", "16", "31", "16");
        row("134: 250 stays", 134, "250", "5", "250", "5");
        row("0: older scale, no acknowledgement", 0, "800", "40", "100", "5");
    }

    void loadScalesToFirmware() {
        QFETCH(int, firmware);
        QFETCH(QString, adjust);
        QFETCH(QString, push);
        QFETCH(QString, adjustShown);
        QFETCH(QString, pushShown);
        WindowFixture f(withParams(adjust.toUtf8(), push.toUtf8()));
        SimulatedSplicer::Options o;
        o.firmware = uint16_t(firmware);
        f.OpenSplicer(1, o);
        f.window->btnOpenClick();
        QCOMPARE(f.Spin("edtAdjustLeft")->text(), adjustShown);
        QCOMPARE(f.Spin("edtAdjustRight")->text(), adjustShown);
        QCOMPARE(f.Spin("edtFusePushLength")->text(), pushShown);
        QCOMPARE(f.boxes.shown,
                 firmware > 0 ? QStringList{"acknowledge|Confirm|参数加载完毕！"} : QStringList());
    }

    // The window closes in the wait after the version answer came: the load shows nothing more.
    void loadShowsNothingOnceClosed() {
        TfrmMain* window = nullptr;
        WindowFixture f(withParams("100", "5"), [&window](int ms) {
            SplicerLink::WaitPumping(ms);
            window->close();
        });
        window = f.window.get();
        f.OpenSplicer(1);
        f.window->btnOpenClick();
        QVERIFY(f.Link().State().FirmwareVersion > 0);
        QCOMPARE(f.boxes.shown, QStringList());
    }

    void loadWithPortClosedUsesOlderScale() {
        WindowFixture f(withParams("800", "40"));
        f.window->btnOpenClick();
        QCOMPARE(f.boxes.Texts(), QStringList{" 未连接设备！ "});
        QCOMPARE(f.Spin("edtAdjustLeft")->text(), QString("100"));
        QCOMPARE(f.Spin("edtFusePushLength")->text(), QString("5"));
    }

    void loadWithoutSectionStopsWithIntegerError() {
        WindowFixture f("[system]\ndriverinstall=0\n");
        QCOMPARE(ErrorText<EConvertError>([&] { f.window->btnOpenClick(); }),
                 QString("'' is not a valid integer value"));
        for (const char* name :
             {"edtHeat", "edtCurrent1", "edtTime5", "edtPushLeft", "edtAdjustRight"})
            QCOMPARE(f.Spin(name)->text(), QString());
        QCOMPARE(f.Spin("edtDustCurrent")->text(), QString("30")); // later steps did not run
        QVERIFY(f.boxes.shown.isEmpty());
    }

    void loadReadsCheckBoxesAsIntegers_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("2") << QByteArray("2") << true;
        QTest::newRow("0x1") << QByteArray("0x1") << true;
        QTest::newRow("true") << QByteArray("true") << false;
        QTest::newRow("yes") << QByteArray("yes") << false;
        QTest::newRow("empty") << QByteArray("") << false;
    }

    void loadReadsCheckBoxesAsIntegers() {
        QFETCH(QByteArray, value);
        QFETCH(bool, ticked);
        WindowFixture f(
            withParams("100", "5", "cbpullpush=" + value + "\ncbAdjustReset=" + value + "\n"));
        f.window->btnOpenClick();
        QCOMPARE(f.Check("cbpullpush")->isChecked(), ticked);
        QCOMPARE(f.Check("cbAdjustReset")->isChecked(), ticked);
    }

    void loadShowsValuesOutsideTheRange() {
        WindowFixture f(
            "[Param]\nHeat=500\nAdjustLeft=2400\nAdjustRight=100\nedtFusePushLength=5\n");
        f.window->btnOpenClick();
        QCOMPARE(f.Spin("edtHeat")->text(), QString("500"));
        QCOMPARE(f.Spin("edtAdjustLeft")->text(), QString("300")); // older scale: 2400 / 8
    }

    // A named set keeps the splicer's record: loaded back on the same 1.34 splicer, a push length
    // of 20 stays 20, where the one slot's size guess would make it 2; changed fields turn red.
    // The user's sets folder keeps its permissions; "UP.INI" is no set name.
    void librarySavesListsAndLoadsANamedSet() {
        WindowFixture f;
        SimulatedSplicer::Options o;
        o.firmware = 134;
        SimulatedSplicer& splicer = f.AddSplicer(1, o);
        f.Connect(1);
        f.Spin("edtFusePushLength")->setText("20");
        QVERIFY(QDir(f.dir.path()).mkpath("sets") && WriteFile(f.dir.filePath("sets/UP.INI"), ""));
        QFile::setPermissions(f.dir.filePath("sets"), QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ExeOwner | QFile::ExeGroup);
        TfrmLibrary* library = f.window->mLibraryClick();
        library->SaveFields("SM 熔接 (1)");
        QCOMPARE(library->Names(), QStringList{"SM 熔接 (1)"});
        QVERIFY(QFileInfo(f.dir.filePath("sets")).permissions().testFlag(QFile::ExeGroup));
        QVERIFY(ReadFile(f.dir.filePath("sets/SM 熔接 (1).ini")).contains("\nFirmware=134\n"));
        f.Spin("edtFusePushLength")->setText("7");
        library->LoadSet("SM 熔接 (1)");
        QCOMPARE(f.Spin("edtFusePushLength")->text(), QString("20"));
        QCOMPARE(f.Spin("edtFusePushLength")->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(f.Spin("edtHeat")->palette().color(QPalette::Text), QColor(0, 128, 0));
        QVERIFY_THROWS_EXCEPTION(params::ESetLibrary, library->SaveFields("../x"));
        // An export keeps the mode of the file it replaces and follows no link on the way.
        const QString out = f.dir.filePath("out.ini");
        QVERIFY(WriteFile(out, "") && QFile::link(f.dir.path(), f.dir.filePath("via")));
        QFile::setPermissions(out, QFile::ReadOwner | QFile::WriteOwner | QFile::WriteGroup);
        library->ExportSet("SM 熔接 (1)", out);
        QVERIFY(QFileInfo(out).permissions().testFlag(QFile::WriteGroup));
        QVERIFY_THROWS_EXCEPTION(params::ESetLibrary,
                                 library->ExportSet("SM 熔接 (1)", f.dir.filePath("via/x.ini")));
        QByteArray json; // every field at its least, behind a byte order mark
        for (const params::Field& field : params::kFields)
            json += ",\"" + QByteArray(field.key) + "\":" + QByteArray::number(field.minimum);
        QVERIFY(WriteFile(out, "\xEF\xBB\xBF{\"params\":{" + json.mid(1) + "}}"));
        library->ImportFile(out, "bom");
        // A field out of range is refused at the save, not at every later load.
        f.Spin("edtHeat")->setText("500");
        QVERIFY_THROWS_EXCEPTION(params::ESetFile, library->SaveFields("hot"));
        // A comparison the splicer leaves unanswered keeps the record for the next save.
        splicer.SetSilent(true);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, f.window->CompareWithFile(out));
        f.Spin("edtHeat")->setText("70");
        library->SaveFields("again");
        QVERIFY(ReadFile(f.dir.filePath("sets/again.ini")).contains("\nFirmware=134\n"));
    }

    void emptyFieldSavesEmptyAndStopsTheLoad() {
        WindowFixture f;
        f.Spin("edtAdjustLeft")->setText("");
        f.window->btnSaveClick();
        QVERIFY(f.ConfigBytes().contains("\nAdjustLeft=\n"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, f.window->btnOpenClick());
        QCOMPARE(f.Spin("edtAdjustLeft")->text(), QString());
    }
};

QTEST_MAIN(TestWindowStorage)
#include "tst_window_storage.moc"
