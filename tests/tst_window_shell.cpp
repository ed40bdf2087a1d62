// The window as the user meets it: layout, start-up with config.ini and the driver installer,
// the general error display, the spin fields and the about box.
#include "Application.h"
#include "ComLink.h"
#include "Config.h"
#include "SpinEdit.h"
#include "frmAbout.h"
#include "kit/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {

ScriptedBoxes* appBoxes = nullptr; // the general error display's boxes

void writeInstaller(const QString& folder, int exitCode) {
    QDir(folder).mkpath("driver");
    QFile f(folder + "/driver/install");
    f.open(QIODevice::WriteOnly);
    f.write(QString("#!/bin/sh\necho ran > '%1/installer-ran'\nexit %2\n")
                .arg(folder)
                .arg(exitCode)
                .toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
}

} // namespace

class TestWindowShell : public QObject {
    Q_OBJECT
private slots:
    void init() { appBoxes->shown.clear(); }
    void initialState();
    void layout_data();
    void layout();
    void everyCaptionFitsItsBox();
    void tabOrderVisitsRightHandFieldsFirst();
    void menuEntries();
    void driverInstall_data();
    void driverInstall();
    void startupWriteErrorIsShownAndWindowStillWorks();
    void handlerErrorsReachTheErrorDisplay();
    void receivedDataErrorIsShownAndPortKeepsReceiving();
    void errorBoxText_data();
    void errorBoxText();
    void spinFieldLeavingClamps_data();
    void spinFieldLeavingClamps();
    void spinFieldArrows_data();
    void spinFieldArrows();
    void spinFieldRefusesLetters();
    void aboutBox();
};

void TestWindowShell::initialState() {
    WindowFixture f;
    TfrmMain& w = *f.window;
    QCOMPARE(w.windowTitle(), QString("Spliceon"));
    QCOMPARE(w.width(), 598);
    w.layout()->activate();
    QCOMPARE(w.centralWidget()->size(), QSize(598, 573));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCheckBox* saveDefault = f.Check("cboxSaveDefault");
    QVERIFY(!saveDefault->isVisibleTo(&w) && !saveDefault->isEnabled() &&
            !saveDefault->isChecked());
    QVERIFY(!w.findChild<QWidget*>("pnlOtherCMD")->isVisibleTo(&w));
    QVERIFY(!f.Button("btnGetDefault")->isVisibleTo(&w));
    auto* pages = w.findChild<QTabWidget*>("PageControl");
    QCOMPARE(pages->currentWidget()->objectName(), QString("tabFuseParam"));
    QVERIFY(!pages->isTabVisible(pages->indexOf(w.findChild<QWidget*>("tabCalibrate"))));
    QCOMPARE(w.StatusText(0), QString("Ready"));
    QCOMPARE(w.StatusText(1), QString());
    QCOMPARE(w.StatusText(2), QString());
    for (const char* panel : {"StatusPanel0", "StatusPanel1", "StatusPanel2"})
        QCOMPARE(w.findChild<QLabel*>(panel)->width(), 200);
    QVERIFY(!w.findChild<QAction*>("actDevConnect")->isChecked());
    QCOMPARE(w.findChild<QComboBox*>("cbCommand")->count(), 7);
    QCOMPARE(w.findChild<QComboBox*>("cbCommand")->currentIndex(), -1);
    QCOMPARE(w.ComPort.Port(), std::string("COM1"));
}

void TestWindowShell::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("PageControl") << "PageControl" << QRect(0, 0, 595, 553) << "";
    QTest::newRow("StatusBar") << "StatusBar" << QRect(0, 553, 598, 20) << "";
    QTest::newRow("GroupBox1") << "GroupBox1" << QRect(8, 8, 569, 401) << "参数";
    QTest::newRow("GroupBox7") << "GroupBox7" << QRect(8, 416, 265, 65) << "调芯复位";
    QTest::newRow("GroupBox8") << "GroupBox8" << QRect(288, 414, 273, 65) << "熔接参数";
    QTest::newRow("pnlOtherCMD") << "pnlOtherCMD" << QRect(8, 480, 553, 41) << "";
    QTest::newRow("cboxSaveDefault")
        << "cboxSaveDefault" << QRect(352, 411, 129, 17) << "保存到出厂设置";
    QTest::newRow("edtHeat") << "edtHeat" << QRect(120, 15, 89, 22) << "";
    QTest::newRow("edtPushRight") << "edtPushRight" << QRect(184, 216, 81, 22) << "";
    QTest::newRow("edtAdjustLeft") << "edtAdjustLeft" << QRect(376, 248, 81, 22) << "";
    QTest::newRow("cbpullpush") << "cbpullpush" << QRect(264, 16, 97, 17) << "主动推进";
    QTest::newRow("btnFireTest") << "btnFireTest" << QRect(495, 110, 65, 25) << "放电测试";
    QTest::newRow("GroupBox9") << "GroupBox9" << QRect(8, 344, 537, 49) << "";
    QTest::newRow("btnOpen") << "btnOpen" << QRect(8, 16, 137, 25) << "从文件加载参数";
    QTest::newRow("btnGetDefault") << "btnGetDefault" << QRect(200, 16, 137, 25) << "恢复出厂参数";
    QTest::newRow("btnSave") << "btnSave" << QRect(392, 16, 137, 25) << "保存参数到文件";
    QTest::newRow("btnUDRest") << "btnUDRest" << QRect(144, 22, 81, 33) << "复位测试";
    QTest::newRow("btnUDSetRST") << "btnUDSetRST" << QRect(16, 21, 89, 33) << "重置原点";
    QTest::newRow("btnWrite") << "btnWrite" << QRect(8, 16, 121, 41) << "写入参数到设备";
    QTest::newRow("btnRead") << "btnRead" << QRect(144, 16, 121, 41) << "从设备读出参数";
    QTest::newRow("btnSend") << "btnSend" << QRect(328, 8, 75, 25) << "发送";
    QTest::newRow("edtCali2050") << "edtCali2050" << QRect(136, 104, 121, 21) << "5";
    QTest::newRow("btnCaliWrite") << "btnCaliWrite" << QRect(288, 280, 75, 25) << "Write";
}

void TestWindowShell::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    WindowFixture f;
    QWidget* w = f.window->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), geometry);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        QCOMPARE(b->text(), caption);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        QCOMPARE(g->title(), caption);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        QCOMPARE(e->text(), caption);
}

void TestWindowShell::everyCaptionFitsItsBox() {
    WindowFixture f;
    QVERIFY(QFontInfo(f.window->font()).family().contains("Micro Hei") ||
            QFontInfo(f.window->font()).family().contains("CJK"));
    for (const auto* label : f.window->findChildren<QLabel*>())
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                 qPrintable(label->objectName()));
    for (const auto* button : f.window->findChildren<QAbstractButton*>()) {
        // Check boxes draw their indicator before the text.
        const int indicator = qobject_cast<const QCheckBox*>(button) ? 20 : 8;
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + indicator <=
                     button->width(),
                 qPrintable(button->objectName()));
    }
}

void TestWindowShell::tabOrderVisitsRightHandFieldsFirst() {
    WindowFixture f;
    QCOMPARE(f.Check("cbAdjustReset")->nextInFocusChain()->objectName(), QString("edtPushLeft"));
    QWidget* w = f.Spin("edtPushLeft");
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        order << w->objectName();
        do
            w = w->nextInFocusChain();
        while (w->objectName().isEmpty() || w->objectName() == "qt_spinbox_lineedit");
    }
    QCOMPARE(order,
             (QStringList{"edtPushLeft", "edtPushRight", "edtAdjustLeft", "edtAdjustRight"}));
}

void TestWindowShell::menuEntries() {
    WindowFixture f;
    QCOMPARE(f.window->findChild<QMenu*>("mDevice")->title(), QString("设备管理(&S)"));
    QCOMPARE(f.window->findChild<QMenu*>("mHelp")->title(), QString("帮助(&H)"));
    QStringList device;
    for (QAction* a : f.window->findChild<QMenu*>("mDevice")->actions())
        device << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(device,
             (QStringList{"连接设备(&C)", "断开连接(&D)", "-", "退出(&E)", "-", "通讯记录(&L)"}));
    QVERIFY(f.window->findChild<QAction*>("actDevConnect")->isCheckable());
    QCOMPARE(f.window->findChild<QAction*>("mAbout")->text(), QString("关于(&A)"));
}

void TestWindowShell::driverInstall_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("installer"); // -1: none; otherwise its exit code
    QTest::addColumn<bool>("runs");
    QTest::addColumn<QByteArray>("after"); // empty: unchanged
    const QByteArray one = "[system]\ndriverinstall=1\n";
    QTest::newRow("1 and installer")
        << one << 0 << true << QByteArray("[system]\ndriverinstall=0\n");
    QTest::newRow("1, cancelled") << one << 1 << true << QByteArray("[system]\ndriverinstall=0\n");
    QTest::newRow("1, no driver folder") << one << -1 << false << QByteArray();
    QTest::newRow("capitals") << QByteArray("[SYSTEM]\r\nDriverInstall=1\r\n") << 0 << true
                              << QByteArray("[SYSTEM]\r\ndriverinstall=0\r\n");
    QTest::newRow("0") << QByteArray("[system]\ndriverinstall=0\n") << 0 << false << QByteArray();
    QTest::newRow("yes") << QByteArray("[system]\ndriverinstall=yes\n") << 0 << false
                         << QByteArray();
    QTest::newRow("empty") << QByteArray("[system]\ndriverinstall=\n") << 0 << false
                           << QByteArray();
    QTest::newRow("absent") << QByteArray("[Param]\nHeat=60\n") << 0 << false << QByteArray();
}

void TestWindowShell::driverInstall() {
    QFETCH(QByteArray, config);
    QFETCH(int, installer);
    QFETCH(bool, runs);
    QFETCH(QByteArray, after);
    QTemporaryDir folder;
    if (installer >= 0)
        writeInstaller(folder.path(), installer);
    {
        QFile f(folder.filePath("config.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(config);
    }
    ScriptedBoxes boxes;
    FakeConverter converter;
    TfrmMain window({boxes, converter, folder.path() + '/'});
    QCOMPARE(QFile::exists(folder.filePath("installer-ran")), runs);
    QFile f(folder.filePath("config.ini"));
    f.open(QIODevice::ReadOnly);
    QCOMPARE(f.readAll(), after.isEmpty() ? config : after);
    QVERIFY(boxes.shown.isEmpty());

    // The next start does not run it again.
    QFile::remove(folder.filePath("installer-ran"));
    TfrmMain again({boxes, converter, folder.path() + '/'});
    QCOMPARE(QFile::exists(folder.filePath("installer-ran")), runs && after.isEmpty());
}

void TestWindowShell::startupWriteErrorIsShownAndWindowStillWorks() {
    QTemporaryDir folder;
    writeInstaller(folder.path(), 0);
    const QString ini = folder.filePath("config.ini");
    {
        QFile f(ini);
        f.open(QIODevice::WriteOnly);
        f.write("[system]\ndriverinstall=1\n");
    }
    ::chmod(QFile::encodeName(ini).constData(), 0444);
    ScriptedBoxes boxes;
    FakeConverter converter;
    TfrmMain window({boxes, converter, folder.path() + '/'});
    QTRY_COMPARE_WITH_TIMEOUT(appBoxes->shown,
                              QStringList{"error|tst_window_shell|Unable to write to " + ini + "."},
                              2000);
    QCOMPARE(window.windowTitle(), QString("Spliceon"));
    QCOMPARE(config::ReadConfigString("system", "driverinstall"), QString("1"));
}

void TestWindowShell::handlerErrorsReachTheErrorDisplay() {
    WindowFixture f;
    f.Spin("edtTime4")->setText("");
    QTest::mouseClick(f.Button("btnWrite"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(
        appBoxes->shown, QStringList{"error|tst_window_shell|'' is not a valid integer value."},
        2000);
    QVERIFY(f.Button("btnWrite")->isEnabled());
    // The program goes on: the next click runs again.
    QTest::mouseClick(f.Button("btnWrite"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(appBoxes->shown.size(), 2, 2000);

    // A plug notification whose search fails the same way: the error is shown, nothing else.
    f.converter.AddPort(2, "/dev/spliceon-no-such-device");
    TfrmMain::DeviceNotifyCallback(0);
    QTRY_COMPARE_WITH_TIMEOUT(appBoxes->shown.size(), 3, 2000);
    QCOMPARE(appBoxes->shown.last(),
             QString("error|tst_window_shell|Unable to open com port (win error code: 2)"));
}

void TestWindowShell::receivedDataErrorIsShownAndPortKeepsReceiving() {
    WindowFixture f;
    SimulatedSplicer& sim = f.AddSplicer(1);
    f.OpenPort(1);
    serial::TComLink failing;
    int chunks = 0;
    failing.OnRxBuf = [&](serial::TCustomComPort&, const uint8_t*, int) {
        if (++chunks == 1)
            throw std::runtime_error("link failed");
    };
    f.window->ComPort.AttachLink(&failing);
    f.window->btnReadClick();
    QTRY_COMPARE_WITH_TIMEOUT(appBoxes->shown, QStringList{"error|tst_window_shell|link failed."},
                              2000);
    // Still receiving: the next answer fills the fields.
    sim.WaitUntilIdle(2000);
    f.Spin("edtHeat")->setText("90");
    f.window->btnReadClick();
    QTRY_COMPARE_WITH_TIMEOUT(f.Spin("edtHeat")->text(), QString("60"), 2000);
    f.window->ComPort.DetachLink(&failing);
}

void TestWindowShell::errorBoxText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Link (un)registration failed"
                            << "Link (un)registration failed.";
    QTest::newRow("parenthesis") << "Unable to open com port (win error code: 2)"
                                 << "Unable to open com port (win error code: 2)";
    QTest::newRow("full stop") << "Done."
                               << "Done.";
    QTest::newRow("Chinese") << "设备未连接！"
                             << "设备未连接！.";
}

void TestWindowShell::errorBoxText() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void TestWindowShell::spinFieldLeavingClamps_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("above") << "edtHeat"
                           << "185"
                           << "180";
    QTest::newRow("below") << "edtHeat"
                           << "5"
                           << "10";
    QTest::newRow("not a number") << "edtHeat"
                                  << "abc"
                                  << "abc";
    QTest::newRow("in range") << "edtHeat"
                              << "75"
                              << "75";
    QTest::newRow("loaded 2400") << "edtAdjustLeft"
                                 << "2400"
                                 << "2000";
}

void TestWindowShell::spinFieldLeavingClamps() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    WindowFixture f;
    TSpinEdit* spin = f.Spin(qPrintable(field));
    spin->setText(typed);
    QCOMPARE(spin->text(), typed); // shown as set
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(spin, &out);
    QCOMPARE(spin->text(), left);
}

void TestWindowShell::spinFieldArrows_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("result");
    QTest::newRow("up 60") << "edtHeat"
                           << "60" << 1 << "70";
    QTest::newRow("up 175") << "edtHeat"
                            << "175" << 1 << "180";
    QTest::newRow("up at max") << "edtHeat"
                               << "180" << 1 << "180";
    QTest::newRow("down at 2") << "edtFusePushSpeed"
                               << "2" << -1 << "2";
    QTest::newRow("down at 0") << "edtPushLeft"
                               << "0" << -1 << "0";
    QTest::newRow("text counts as minimum") << "edtHeat"
                                            << "abc" << 1 << "20";
}

void TestWindowShell::spinFieldArrows() {
    QFETCH(QString, field);
    QFETCH(QString, start);
    QFETCH(int, steps);
    QFETCH(QString, result);
    WindowFixture f;
    TSpinEdit* spin = f.Spin(qPrintable(field));
    spin->setText(start);
    QTest::keyClick(spin, steps > 0 ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(spin->text(), result);
}

void TestWindowShell::spinFieldRefusesLetters() {
    WindowFixture f;
    TSpinEdit* spin = f.Spin("edtCurrent2");
    spin->setText("");
    QTest::keyClicks(spin, "a1b-2");
    QCOMPARE(spin->text(), QString("1-2"));
}

void TestWindowShell::aboutBox() {
    WindowFixture f;
    QStringList seen;
    const auto inspect = [&] {
        TfrmAbout* box = frmAbout;
        QVERIFY(box);
        seen << box->windowTitle() << box->findChild<QLabel*>("Label1")->text();
        QCOMPARE(box->size(), QSize(319, 165));
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(box->isVisible()); // Esc does not close it
        QTest::mouseClick(box->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    };
    QTimer::singleShot(0, inspect);
    f.window->mAboutClick();
    QVERIFY(frmAbout == nullptr);
    QTimer::singleShot(0, inspect);
    f.window->mAboutClick();
    QCOMPARE(seen, (QStringList{"关于", "Spliceon V1.4", "关于", "Spliceon V1.4"}));
}

int main(int argc, char** argv) {
    ScriptedBoxes boxes;
    appBoxes = &boxes;
    TApplication app(argc, argv, boxes);
    TestWindowShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_shell.moc"
