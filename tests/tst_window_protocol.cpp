// The window against the simulated splicer on a pseudo-terminal: frames on the wire, the receive
// path, the parameter exchange and the device operations.
#include "kit/DistinctBlock.h"
#include "kit/MsTaken.h"
#include "kit/Row.h"
#include "kit/WindowFixture.h"
#include "main/SpinEdit.h"
#include "protocol/IntText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

using Answer = ScriptedBoxes::Answer;

QColor colour(QWidget* w) {
    return qobject_cast<QCheckBox*>(w) ? w->palette().color(QPalette::WindowText)
                                       : w->palette().color(QPalette::Text);
}

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

} // namespace

class TestWindowProtocol : public QObject {
    Q_OBJECT
private slots:
    void searchRunsQuerySequenceThenReadsParameters() {
        QList<int> waits;
        WindowFixture f({}, [&waits](int ms) {
            waits << ms;
            SplicerLink::WaitPumping(ms);
        });
        SimulatedSplicer& sim = f.AddSplicer(3);
        f.Connect(3);
        QCOMPARE(waits, (QList<int>{200, 100, 100, 100, 100, 100}));
        const auto frames = sim.Frames();
        QCOMPARE(FrameTexts(sim),
                 (QStringList{"5A 4A 02 45 08 A5", "5A 4A 02 C1 00 A5", "5A 4A 02 49 00 A5",
                              "5A 4A 02 44 00 A5", "5A 4A 02 48 00 A5", "5A 4A 02 40 00 A5"}));
        for (int i = 1; i < 5; ++i) {
            const qint64 gap = MsBetween(frames[i], frames[i + 1]);
            QVERIFY2(gap >= 100 - kStampJitterMs && gap < 250,
                     qPrintable(QString("gap %1: %2 ms").arg(i).arg(gap)));
        }
        QCOMPARE(f.window->StatusText(0), QString("已连接设备"));
        QCOMPARE(f.window->StatusText(1), QString("V1.34"));
        QVERIFY(f.Button("btnGetDefault")->isVisibleTo(f.window.get()));
        QCOMPARE(f.Link().State().FusionCount, uint16_t(1234));
        QCOMPARE(f.Link().State().CurrentGroup, uint8_t(3));
        QCOMPARE(f.Link().State().DeviceId, QByteArray("SPL2026001", 11));
        // The simulator holds the window's defaults: every field is unchanged, so green.
        int fields = 0;
        for (QWidget* w : f.window->findChild<QWidget*>("GroupBox1")
                              ->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (qobject_cast<TSpinEdit*>(w) || qobject_cast<QCheckBox*>(w)) {
                QVERIFY2(colour(w) == kGreen, qPrintable(w->objectName()));
                ++fields;
            }
        QCOMPARE(fields, 22);
    }

    void versionAnswerSetsStatusAndButtons_data() {
        QTest::addColumn<bool>("sequenceActive");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("restoreShown");
        row("134", true, QByteArray::fromHex("5506C18600AA"), "V1.34", true);
        row("133", true, QByteArray::fromHex("5506C18500AA"), "V1.33", false);
        row("outside the sequence", false, QByteArray::fromHex("5506C18600AA"), "", false);
    }

    void versionAnswerSetsStatusAndButtons() {
        QFETCH(bool, sequenceActive);
        QFETCH(QByteArray, frame);
        QFETCH(QString, status);
        QFETCH(bool, restoreShown);
        WindowFixture f;
        // With the port closed the handshake starts a query sequence that sends nothing.
        if (sequenceActive)
            frame.prepend(QByteArray::fromHex("550545C0AA"));
        f.Button("btnGetDefault")->setVisible(sequenceActive != restoreShown); // a change must show
        f.Check("cboxSaveDefault")->setVisible(true);
        f.Check("cboxSaveDefault")->setChecked(true);
        f.window->ComDataPacket1Packet(f.Link().ComDataPacket1(), frame);
        QCOMPARE(f.Link().State().FirmwareVersion, uint16_t(uint8_t(frame[frame.size() - 3])));
        QCOMPARE(f.window->StatusText(1), status);
        QCOMPARE(f.Button("btnGetDefault")->isVisibleTo(f.window.get()), restoreShown);
        QCOMPARE(f.Check("cboxSaveDefault")->isVisibleTo(f.window.get()), !sequenceActive);
        QCOMPARE(f.Check("cboxSaveDefault")->isChecked(), !sequenceActive);
    }

    void answerMarksFields() {
        WindowFixture f;
        QByteArray p = SimulatedSplicer::DefaultFactorySet();
        p.replace(3, 2, QByteArray::fromHex("0002")); // current 1 at 512: 12.5 reads as 12
        p[30] = 2;                                    // dust clearing ticked, but not 1
        f.Spin("edtTime2")->setText("050");
        QByteArray frame = QByteArray::fromHex("552A40") + p + QByteArray::fromHex("AA");
        f.window->ComDataPacket1Packet(f.Link().ComDataPacket1(), frame);
        QCOMPARE(f.Spin("edtCurrent1")->text(), QString("12"));
        QCOMPARE(colour(f.Spin("edtCurrent1")), kRed);
        QCOMPARE(colour(f.Spin("edtTime2")), kRed); // "050" is not "50"
        QCOMPARE(colour(f.Spin("edtTime1")), kGreen);
        QVERIFY(f.Check("cbClearDust")->isChecked());
        QCOMPARE(colour(f.Check("cbClearDust")), kRed);

        f.window->ResetParamColours();
        QCOMPARE(colour(f.Spin("edtCurrent1")), QColor(Qt::black));
        QCOMPARE(colour(f.Check("cbClearDust")), QColor(Qt::black));

        // Firmware before 134 answers with the first 32 bytes; the fields beyond them show 0.
        frame = QByteArray::fromHex("552440") + p.left(32) + QByteArray::fromHex("AA");
        f.window->ComDataPacket1Packet(f.Link().ComDataPacket1(), frame);
        for (const char* name :
             {"edtDustCurrent", "edtDustTime", "edtFusePushLength", "edtFusePushSpeed"})
            QCOMPARE(f.Spin(name)->text() + ' ' + colour(f.Spin(name)).name(), "0 " + kRed.name());
    }

    void zeroRecordShowsZerosBelowMinimum() {
        WindowFixture f;
        f.window->ShowParamAnswer(FusionParams{});
        QCOMPARE(f.Spin("edtHeat")->text(), QString("0"));
        QCOMPARE(f.Spin("edtFusePushSpeed")->text(), QString("0"));
        QVERIFY(!f.Check("cbpullpush")->isChecked());
    }

    void closedPortShowsMessageOncePerFrame() {
        WindowFixture f;
        bool restoreDisabled = false;
        // "断开连接" in the wait after each box has nothing to close, so it cuts nothing short.
        f.boxes.whileOpen = [&] {
            restoreDisabled |= !f.Button("btnGetDefault")->isEnabled();
            QTimer::singleShot(0, f.window.get(), [&] { f.window->actDevDisConnectExecute(); });
        };
        f.window->SendCommand(0x40, 0);
        f.window->SendControlRecord(0xC6, 0, 0, 0);
        f.window->SendTestRecord(0);
        f.window->SendFrame(0x3A, {}, 0);
        QCOMPARE(f.boxes.shown, QStringList(4, "message|tst_window_protocol| 未连接设备！ "));

        f.boxes.shown.clear();
        f.window->btnWriteClick(); // version query and block
        QCOMPARE(f.boxes.Texts(),
                 (QStringList{"你确定要写入数据到设备？", " 未连接设备！ ", " 未连接设备！ "}));
        QCOMPARE(f.Link().State().FirmwareVersion, uint16_t(0));

        f.boxes.shown.clear();
        f.window->btnGetDefaultClick(); // restore record and read request
        QCOMPARE(f.boxes.Texts(), (QStringList{"你确定要恢复出厂设置数据到设备？", " 未连接设备！ ",
                                               " 未连接设备！ "}));
        QVERIFY(restoreDisabled && f.Button("btnGetDefault")->isEnabled());
    }

    void write_data() {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("blockLength");
        QTest::addColumn<int>("sent");
        QTest::addColumn<bool>("lengthAsked");
        row("134, length 38", 134, 38, 38, true);
        row("134, length 40", 134, 40, 38, true);
        row("134, length 30", 134, 30, 30, true);
        row("133", 133, 38, 32, false);
    }

    void write() {
        QFETCH(int, firmware);
        QFETCH(int, blockLength);
        QFETCH(int, sent);
        QFETCH(bool, lengthAsked);
        WindowFixture f;
        SimulatedSplicer::Options o;
        o.firmware = uint16_t(firmware);
        o.blockLength = uint16_t(blockLength);
        SimulatedSplicer& sim = f.OpenSplicer(1, o);
        // Each key names its control (a bare key with "edt" before it), not through the
        // window's own table, so controls exchanged there show.
        for (const QByteArray& line : QByteArray(kDistinctSet).split('\n').mid(1, 22)) {
            const QList<QByteArray> keyValue = line.split('=');
            const QByteArray& key = keyValue[0];
            if (key.startsWith("cb"))
                f.Check(key.constData())->setChecked(keyValue[1] == "1");
            else
                f.Spin((key.startsWith("edt") ? key : "edt" + key).constData())
                    ->setText(QString::fromLatin1(keyValue[1]));
        }
        f.window->btnWriteClick();
        QVERIFY(f.Button("btnWrite")->isEnabled());
        QStringList expected{"5A 4A 02 C1 00 A5"};
        if (lengthAsked)
            expected << "5A 4A 02 C7 00 A5";
        const QString block = Hex(kDistinctBlock.left(sent));
        expected << QString("5A 4B %1 %2 A5").arg(sent, 2, 16, QChar('0')).toUpper().arg(block);
        QCOMPARE(FrameTexts(sim), expected);
        QCOMPARE(Hex(sim.Block().left(sent)), block);
    }

    void writeWithoutLengthAnswerUsesLastLength_data() {
        QTest::addColumn<int>("lastLength");
        QTest::addColumn<QString>("blockFrameStart");
        row("never received: no payload", 0, "5A 4B 00 A5");
        row("received before", 30, "5A 4B 1E 70 17");
    }

    void writeWithoutLengthAnswerUsesLastLength() {
        QFETCH(int, lastLength);
        QFETCH(QString, blockFrameStart);
        WindowFixture f;
        SimulatedSplicer::Options o;
        o.unanswered = {0xC7};
        SimulatedSplicer& sim = f.OpenSplicer(1, o);
        f.window->ComDataPacket1Packet(f.Link().ComDataPacket1(), QByteArray::fromHex("5506C7") +
                                                                      char(lastLength) +
                                                                      QByteArray::fromHex("00AA"));
        f.window->btnWriteClick();
        const QStringList frames = FrameTexts(sim);
        QCOMPARE(frames.size(), 3);
        QCOMPARE(frames[1], QString("5A 4A 02 C7 00 A5"));
        QVERIFY2(frames[2].startsWith(blockFrameStart), qPrintable(frames[2]));
        QCOMPARE(frames[2].size(), (4 + lastLength) * 3 - 1);
    }

    void writeWithNoAnswersSends32Bytes() {
        WindowFixture f;
        SimulatedSplicer::Options o;
        o.silent = true;
        SimulatedSplicer& sim = f.OpenSplicer(1, o);
        f.Check("cboxSaveDefault")->setChecked(true);
        f.window->btnWriteClick();
        f.window->btnReadClick(); // the write returns 400 ms after the factory-set record
        QVERIFY(sim.WaitForFrames(4, 2000));
        const auto frames = sim.Frames();
        QCOMPARE(frames.size(), size_t(4));
        QCOMPARE(frames[1].bytes.size(), 4 + 32);
        QCOMPARE(Hex(frames[2].bytes), QString("5A 0A 83 C5 00 00 00 00 00 A5"));
        QVERIFY(MsBetween(frames[1], frames[2]) >= 500 - kStampJitterMs);
        QVERIFY(MsBetween(frames[2], frames[3]) >= 400 - kStampJitterMs);
    }

    void writeStopsOnBadFieldAndEnablesButton() {
        WindowFixture f;
        f.OpenSplicer(1);
        f.Spin("edtTime4")->setText("");
        QCOMPARE(ErrorText<EConvertError>([&] { f.window->btnWriteClick(); }),
                 QString("'' is not a valid integer value"));
        QVERIFY(f.Button("btnWrite")->isEnabled());
        QCOMPARE(f.SentSoFar(1), QStringList());
    }

    void writeDismissedSendsNothing_data() {
        QTest::addColumn<int>("answer");
        row("No", int(Answer::No));
        row("title-bar close", int(Answer::Closed));
    }

    void writeDismissedSendsNothing() {
        QFETCH(int, answer);
        WindowFixture f;
        f.OpenSplicer(1);
        const auto dismiss = [&] { f.boxes.answers = {Answer(answer)}; };
        dismiss();
        f.window->btnWriteClick();
        dismiss();
        f.window->btnGetDefaultClick();
        dismiss();
        f.window->btnUDSetRSTClick();
        QCOMPARE(f.SentSoFar(1), QStringList());
        QVERIFY(f.Button("btnWrite")->isEnabled());
        QCOMPARE(f.boxes.Texts().size(), 3);
    }

    void readSendsRequestAndReturnsAtOnce() {
        WindowFixture f;
        SimulatedSplicer& sim = f.OpenSplicer(1);
        QVERIFY(MsTaken([&] { f.window->btnReadClick(); }) < 50);
        QVERIFY(sim.WaitForFrames(1, 2000));
        QCOMPARE(FrameTexts(sim), QStringList{"5A 4A 02 40 00 A5"});
    }

    void factoryRestoreWaitsThenReadsBack() {
        QList<int> waits; // the window's own wait goes through the link's, as every wait does
        WindowFixture f({}, [&waits](int ms) {
            waits << ms;
            SplicerLink::WaitPumping(ms);
        });
        SimulatedSplicer& sim = f.OpenSplicer(1);
        QByteArray changed = SimulatedSplicer::DefaultFactorySet();
        changed.replace(0, 2, QByteArray::fromHex("2823")); // heat 90 s
        sim.SetBlock(changed);
        f.Spin("edtHeat")->setText("90");
        waits.clear();
        f.window->btnGetDefaultClick();
        QCOMPARE(waits, QList<int>{500});
        QVERIFY(f.Button("btnGetDefault")->isEnabled());
        QVERIFY(sim.WaitForFrames(2, 2000));
        QCOMPARE(FrameTexts(sim),
                 (QStringList{"5A 0A 83 C6 00 00 00 00 00 A5", "5A 4A 02 40 00 A5"}));
        const auto frames = sim.Frames();
        QVERIFY(MsBetween(frames[0], frames[1]) >= 500 - kStampJitterMs);
        QTRY_COMPARE_WITH_TIMEOUT(f.Spin("edtHeat")->text(), QString("60"), 2000);
        QCOMPARE(colour(f.Spin("edtHeat")), kRed);
        QCOMPARE(colour(f.Spin("edtTime1")), kGreen);
    }

    void arcTestFrames_data() {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("sent"); // the frame, or the error with nothing sent
        row("initial group 3", "45", "50", "5A 0A 81 33 07 F4 01 00 00 A5");
        row("99 / 150", "99", "150", "5A 0A 81 D7 0F DC 05 00 00 A5");
        row("no range check", "200", "50", "5A 0A 81 00 20 F4 01 00 00 A5");
        row("negative current: low 16 bits", "-1", "50", "5A 0A 81 D7 FF F4 01 00 00 A5");
        row("negative time: low 16 bits", "45", "-1", "5A 0A 81 33 07 F6 FF 00 00 A5");
        row("current not an integer", "4.5", "50", "'4.5' is not a valid integer value");
        row("current converted first", "x", "y", "'x' is not a valid integer value");
    }

    void arcTestFrames() {
        QFETCH(QString, current);
        QFETCH(QString, time);
        QFETCH(QString, sent);
        WindowFixture f;
        f.OpenSplicer(1);
        f.Spin("edtCurrent3")->setText(current);
        f.Spin("edtTime3")->setText(time);
        const QString error = ErrorText<EConvertError>([&] { f.window->btnFireTestClick(); });
        QCOMPARE(f.SentSoFar(1).join("") + error, sent);
    }

    void coreResetAndOrigin() {
        WindowFixture f;
        f.OpenSplicer(1);
        f.window->btnUDRestClick();
        f.window->btnUDSetRSTClick();
        QCOMPARE(f.SentSoFar(1), (QStringList{"5A 4A 02 47 00 A5", "5A 4A 02 46 00 A5"}));
        QCOMPARE(f.boxes.Texts(),
                 QStringList{"对准光纤后，按切换键，再次对准光纤。确定都对准了吗？"});
    }

    void serviceQueries() {
        WindowFixture f;
        f.OpenSplicer(1);
        auto* combo = f.window->findChild<QComboBox*>("cbCommand");
        QCOMPARE(combo->currentIndex(), -1);
        f.window->btnSendClick(); // before any handshake
        QCOMPARE(f.boxes.Texts(), QStringList{"设备未连接！"});
        f.Connect(1);
        f.splicers.at(1)->ClearFrames();
        f.window->btnSendClick(); // nothing selected: nothing sent, no message
        const uint8_t codes[] = {0xC1, 0x4E, 0x47, 0x46, 0x48, 0x49, 0x44};
        const QStringList items{"获得版本", "环境状态", "调芯复位", "重设调芯复位",
                                "设备ID",   "熔接次数", "当前组别"};
        QStringList expected;
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(combo->itemText(i), items[i]);
            combo->setCurrentIndex(i);
            f.window->btnSendClick();
            expected << QString("5A 4A 02 %1 00 A5").arg(codes[i], 2, 16, QChar('0')).toUpper();
        }
        QCOMPARE(f.SentSoFar(1), expected);
        QCOMPARE(f.boxes.Texts().size(), 1);
        // The environment answer reaches status panel 2.
        QTRY_COMPARE_WITH_TIMEOUT(f.window->StatusText(2), QString("RH=45 T=25.30 P=1012 T=26.10"),
                                  2000);
    }

    void calibrationFrames_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("frame");
        row("initial texts", QStringList{"10", "5", "-5", "-10"}, "5A 3A 04 0A 05 FB F6 A5");
        row("low 8 bits", QStringList{"127", "-128", "128", "300"}, "5A 3A 04 7F 80 80 2C A5");
    }

    void calibrationFrames() {
        QFETCH(QStringList, texts);
        QFETCH(QString, frame);
        WindowFixture f;
        f.OpenSplicer(1);
        const char* names[] = {"edtCali0020", "edtCali2050", "edtCali5080", "edtCali8000"};
        for (int i = 0; i < 4; ++i)
            f.window->findChild<QLineEdit*>(names[i])->setText(texts[i]);
        f.window->btnCaliWriteClick();
        f.window->btnCaliReadClick();
        QCOMPARE(f.SentSoFar(1), (QStringList{frame, "5A 4A 02 30 00 A5"}));

        f.window->findChild<QLineEdit*>("edtCali5080")->setText("");
        QVERIFY_THROWS_EXCEPTION(EConvertError, f.window->btnCaliWriteClick());
    }
};

QTEST_MAIN(TestWindowProtocol)
#include "tst_window_protocol.moc"
