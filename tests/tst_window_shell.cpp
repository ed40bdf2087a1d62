// The window as the user meets it: layout, start-up with config.ini and the driver installer,
// the general error display, the spin fields and the about box.
#include "about/frmAbout.h"
#include "config/Config.h"
#include "i18n/Translations.h"
#include "kit/Row.h"
#include "kit/WindowFixture.h"
#include "main/Application.h"
#include "main/QtMessageBoxes.h"
#include "main/SpinEdit.h"
#include "monitor/frmMonitor.h"
#include "trace/FrameHistory.h"
#include "serial/ComLink.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMetaEnum>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ScriptedBoxes* appBoxes = nullptr; // the general error display's boxes

// Every text a form shows: captions, titles, tab and list items, menus, tips.
QStringList shownTexts(const QWidget& form) {
    QStringList texts;
    QList<const QWidget*> widgets = form.findChildren<const QWidget*>();
    widgets << &form;
    for (const QWidget* w : widgets) {
        texts << w->windowTitle() << w->toolTip();
        if (auto* label = qobject_cast<const QLabel*>(w))
            texts << label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(w))
            texts << button->text();
        if (auto* group = qobject_cast<const QGroupBox*>(w))
            texts << group->title();
        if (auto* tabs = qobject_cast<const QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        if (auto* list = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
        for (const QAction* action : w->actions())
            texts << action->text();
    }
    return texts;
}

// Chinese characters, punctuation and full-width forms.
const char* const kChinese = "[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]";

// A stand-in driver/install exiting with exitCode, which leaves its arguments in
// "installer-ran". From 1000 + N on, the real script runs instead, and the stand-in is the
// pkexec it calls, exiting with N.
void writeInstaller(const QString& folder, int exitCode) {
    QDir(folder).mkpath("driver");
    const QString path = folder + "/driver/install";
    const QString standIn = exitCode >= 1000 ? folder + "/pkexec" : path;
    WriteFile(standIn, QString("#!/bin/sh\nprintf '%s\\0' \"$@\" > '%1/installer-ran'\nexit %2\n")
                           .arg(folder)
                           .arg(exitCode % 1000)
                           .toUtf8());
    const QString driver = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../driver/");
    QByteArray script = ReadFile(driver + "install");
    QCOMPARE(script.count("\npkexec=/usr/bin/pkexec\n"), 1);
    if (exitCode >= 1000) {
        WriteFile(path, script.replace("/usr/bin/pkexec", standIn.toUtf8()));
        QFile::copy(driver + "70-spliceon-ch341.rules", folder + "/driver/70-spliceon-ch341.rules");
    }
    for (const QString& p : {path, standIn})
        QFile::setPermissions(p, QFile::permissions(p) | QFile::ExeOwner);
}

// One notch of the mouse wheel over the middle of a widget.
void turnWheel(QWidget* w, int delta) {
    const QPointF at = QRectF(w->rect()).center();
    QWheelEvent turn(at, w->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &turn);
}

// Types text key by key, whatever its characters.
void type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &key);
    }
}

} // namespace

class TestWindowShell : public QObject {
    Q_OBJECT
private slots:
    void init() {
        appBoxes->shown.clear();
        appBoxes->whileOpen = nullptr;
    }
    void initialState() {
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
        // The note panel has a row of its own below the client area, as wide as the window.
        QCOMPARE(w.StatusNote(), QString());
        const QLabel* note = w.findChild<QLabel*>("StatusPanel3");
        QCOMPARE(note->mapTo(&w, QPoint(0, 0)).y(), w.centralWidget()->geometry().bottom() + 1);
        QCOMPARE(note->size(), QSize(598, 20));
        QCOMPARE(w.height(), w.centralWidget()->geometry().bottom() + 1 + 20);
        QVERIFY(!w.findChild<QAction*>("actDevConnect")->isChecked());
        QCOMPARE(w.findChild<QComboBox*>("cbCommand")->count(), 7);
        QCOMPARE(w.findChild<QComboBox*>("cbCommand")->currentIndex(), -1);
        QCOMPARE(w.Link().ComPort().Port(), std::string("COM1"));
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        row("PageControl", "PageControl", QRect(0, 0, 595, 553), "");
        row("StatusBar", "StatusBar", QRect(0, 553, 598, 20), "");
        row("GroupBox1", "GroupBox1", QRect(8, 8, 569, 401), "参数");
        row("GroupBox7", "GroupBox7", QRect(8, 416, 265, 65), "调芯复位");
        row("GroupBox8", "GroupBox8", QRect(288, 414, 273, 65), "熔接参数");
        row("pnlOtherCMD", "pnlOtherCMD", QRect(8, 480, 553, 41), "");
        row("cboxSaveDefault", "cboxSaveDefault", QRect(352, 411, 129, 17), "保存到出厂设置");
        row("edtHeat", "edtHeat", QRect(120, 15, 89, 22), "");
        row("edtPushRight", "edtPushRight", QRect(184, 216, 81, 22), "");
        row("edtAdjustLeft", "edtAdjustLeft", QRect(376, 248, 81, 22), "");
        row("cbpullpush", "cbpullpush", QRect(264, 16, 97, 17), "主动推进");
        row("btnFireTest", "btnFireTest", QRect(495, 110, 65, 25), "放电测试");
        row("GroupBox9", "GroupBox9", QRect(8, 344, 537, 49), "");
        row("btnOpen", "btnOpen", QRect(8, 16, 137, 25), "从文件加载参数");
        row("btnGetDefault", "btnGetDefault", QRect(200, 16, 137, 25), "恢复出厂参数");
        row("btnSave", "btnSave", QRect(392, 16, 137, 25), "保存参数到文件");
        row("btnUDRest", "btnUDRest", QRect(144, 22, 81, 33), "复位测试");
        row("btnUDSetRST", "btnUDSetRST", QRect(16, 21, 89, 33), "重置原点");
        row("btnWrite", "btnWrite", QRect(8, 16, 121, 41), "写入参数到设备");
        row("btnRead", "btnRead", QRect(144, 16, 121, 41), "从设备读出参数");
        row("btnSend", "btnSend", QRect(328, 8, 75, 25), "发送");
        row("edtCali2050", "edtCali2050", QRect(136, 104, 121, 21), "5");
        row("btnCaliWrite", "btnCaliWrite", QRect(288, 280, 75, 25), "Write");
    }

    void layout() {
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

    void everyCaptionFitsItsBox_data() {
        QTest::addColumn<bool>("english");
        row("Chinese", false);
        row("English", true);
    }

    void everyCaptionFitsItsBox() {
        QFETCH(bool, english);
        const i18n::Translations translations(english ? "en_US.UTF-8" : "zh_CN.UTF-8");
        WindowFixture f;
        TfrmAbout about(f.window.get());
        trace::TFrameHistory history(f.window->Link());
        TfrmMonitor monitor(history, f.window.get());
        QVERIFY(QFontInfo(f.window->font()).family().contains("Micro Hei") ||
                QFontInfo(f.window->font()).family().contains("CJK"));
        for (const QWidget* form :
             {static_cast<QWidget*>(f.window.get()), static_cast<QWidget*>(&about),
              static_cast<QWidget*>(&monitor)}) {
            for (const auto* label : form->findChildren<QLabel*>())
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                         qPrintable(label->objectName()));
            for (const auto* button : form->findChildren<QAbstractButton*>()) {
                // Check boxes draw their indicator before the text.
                const int indicator = qobject_cast<const QCheckBox*>(button) ? 20 : 8;
                QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + indicator <=
                             button->width(),
                         qPrintable(button->objectName()));
            }
            // A closed list shows its item beside the arrow.
            for (const auto* list : form->findChildren<QComboBox*>())
                for (int i = 0; i < list->count(); ++i)
                    QVERIFY2(list->fontMetrics().horizontalAdvance(list->itemText(i)) + 24 <=
                                 list->width(),
                             qPrintable(list->itemText(i)));
            if (english)
                QCOMPARE(shownTexts(*form).filter(QRegularExpression(kChinese)), QStringList());
        }
    }

    void languageOfLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        for (const char* chinese : {"", "C", "C.UTF-8", "POSIX", "zh_CN.UTF-8", "zh_TW"})
            row(chinese[0] ? chinese : "unset", QString(chinese), false);
        for (const char* other : {"en_US.UTF-8", "de_DE", "en_GB@euro", "fr_FR.ISO-8859-1"})
            row(other, QString(other), true);
    }

    void languageOfLocale() {
        QFETCH(QString, locale);
        QFETCH(bool, english);
        QCOMPARE(i18n::LanguageOfLocale(locale) == i18n::Language::English, english);
    }

    void tabOrderVisitsRightHandFieldsFirst() {
        WindowFixture f;
        QCOMPARE(f.Check("cbAdjustReset")->nextInFocusChain()->objectName(),
                 QString("edtPushLeft"));
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

    void menuEntries() {
        WindowFixture f;
        QCOMPARE(f.window->findChild<QMenu*>("mDevice")->title(), QString("设备管理(&S)"));
        QCOMPARE(f.window->findChild<QMenu*>("mHelp")->title(), QString("帮助(&H)"));
        const auto entries = [&](const char* menu) {
            QStringList texts;
            for (QAction* a : f.window->findChild<QMenu*>(menu)->actions())
                texts << (a->isSeparator() ? "-" : a->text());
            return texts;
        };
        QCOMPARE(entries("mDevice"), (QStringList{"连接设备(&C)", "断开连接(&D)", "-", "退出(&E)"}));
        QStringList bar;
        for (QAction* a : f.window->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, (QStringList{"设备管理(&S)", "工具(&T)", "帮助(&H)"}));
        QCOMPARE(entries("mTools").value(0), QString("通讯记录(&L)"));
        QVERIFY(f.window->findChild<QAction*>("actDevConnect")->isCheckable());
        QCOMPARE(f.window->findChild<QAction*>("mAbout")->text(), QString("关于(&A)"));
    }

    void driverInstall_data() {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<int>("installer"); // -1: none; -2: one another user owns; -3: its rule is
                                            // theirs; as writeInstaller()
        QTest::addColumn<bool>("runs");
        QTest::addColumn<QByteArray>("after"); // empty: unchanged
        const QByteArray one = "[system]\ndriverinstall=1\n";
        row("1 and installer", one, 0, true, QByteArray("[system]\ndriverinstall=0\n"));
        row("1, cancelled", one, 1, true, QByteArray("[system]\ndriverinstall=0\n"));
        row("1, no driver folder", one, -1, false, QByteArray());
        row("capitals", QByteArray("[SYSTEM]\r\nDriverInstall=1\r\n"), 0, true,
            QByteArray("[SYSTEM]\r\nDriverInstall=0\r\n"));
        row("0", QByteArray("[system]\ndriverinstall=0\n"), 0, false, QByteArray());
        row("yes", QByteArray("[system]\ndriverinstall=yes\n"), 0, false, QByteArray());
        row("empty", QByteArray("[system]\ndriverinstall=\n"), 0, false, QByteArray());
        row("absent", QByteArray("[Param]\nHeat=60\n"), 0, false, QByteArray());
        row("1, authorised", one, 1000, true, QByteArray("[system]\ndriverinstall=0\n"));
        row("1, authorisation cancelled", one, 1126, true,
            QByteArray("[system]\ndriverinstall=0\n"));
        row("1, as root, another user's installer", one, -2, false, QByteArray());
        row("1, as root, another user's rule beside it", one, -3, false, QByteArray());
    }

    void driverInstall() {
        QFETCH(QByteArray, config);
        QFETCH(int, installer);
        QFETCH(bool, runs);
        QFETCH(QByteArray, after);
        QTemporaryDir folder;
        if (installer != -1)
            writeInstaller(folder.path(), qMax(installer, 0));
        const QByteArray installerPath = QFile::encodeName(folder.filePath("driver/install"));
        const QByteArray rulePath =
            QFile::encodeName(folder.filePath("driver/70-spliceon-ch341.rules"));
        if (installer == -3)
            WriteFile(rulePath, "RUN+=\"/bin/sh -c id\"\n");
        const QByteArray foreign = installer == -3 ? rulePath : installerPath;
        if (installer <= -2 && (::geteuid() != 0 || ::chown(foreign, 65534, 65534) != 0))
            QSKIP("only a program run as root refuses another user's installer");
        for (int start = 0; start < 2 && installer <= -2; ++start) // and the next
            QTest::ignoreMessage(QtWarningMsg, "Not run as root: " + installerPath +
                                                   ", as a user other than root can change " +
                                                   foreign + "; run it as the user at the seat");
        WriteFile(folder.filePath("config.ini"), config);
        ScriptedBoxes boxes;
        FakeConverter converter;
        // The installer's messages reach the program's standard error.
        const int saved = ::dup(STDERR_FILENO);
        const int said =
            ::open(QFile::encodeName(folder.filePath("said")), O_WRONLY | O_CREAT, 0600);
        ::dup2(said, STDERR_FILENO);
        const startup::TProgramPlaces places = startup::Settle(folder.path() + '/');
        TfrmMain window({boxes, converter, places});
        ::dup2(saved, STDERR_FILENO);
        ::close(said);
        ::close(saved);
        QCOMPARE(QFile::exists(folder.filePath("installer-ran")), runs);
        QCOMPARE(ReadFile(folder.filePath("said")).contains("authorisation cancelled"),
                 installer == 1126);
        if (installer >= 1000) {
            // Only the system's shell runs as root, with the whole rule in its command line.
            const QList<QByteArray> args = ReadFile(folder.filePath("installer-ran")).split('\0');
            QCOMPARE(args.mid(0, 2), (QList<QByteArray>{"/bin/sh", "-c"}));
            QVERIFY(args[2].contains("> /etc/udev/rules.d/70-spliceon-ch341.rules "));
            QCOMPARE(args[4] + '\n', ReadFile(folder.filePath("driver/70-spliceon-ch341.rules")));
            QVERIFY(!args[2].contains("1a86")); // the rule is an argument, never a command
            QVERIFY(!args.join().contains(QFile::encodeName(folder.path())));
        }
        QCOMPARE(ReadFile(folder.filePath("config.ini")), after.isEmpty() ? config : after);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY(appBoxes->shown.isEmpty()); // start-up errors go to the error display

        // The next start does not run it again.
        QFile::remove(folder.filePath("installer-ran"));
        TfrmMain again({boxes, converter, places});
        QCOMPARE(QFile::exists(folder.filePath("installer-ran")), runs && after.isEmpty());
    }

    void startupWriteErrorIsShownAndWindowStillWorks() {
        QTemporaryDir folder;
        writeInstaller(folder.path(), 0);
        const QString ini = folder.filePath("config.ini");
        WriteFile(ini, "[system]\ndriverinstall=1\n");
        ::chmod(QFile::encodeName(ini).constData(), 0444);
        // The window and the error display share one script, so the order of their boxes shows.
        ScriptedBoxes& boxes = *appBoxes;
        QStringList open; // each box, and whether the window was on screen while it was open
        boxes.whileOpen = [&] {
            open << (frmMain->isVisible() ? "shown " : "hidden ") + boxes.shown.last();
        };
        FakeConverter converter; // no splicer: the search ends with its message
        TfrmMain window({boxes, converter, startup::Settle(folder.path() + '/')});
        window.show(); // as the program does once the window exists
        QTRY_COMPARE_WITH_TIMEOUT(open.size(), 2, 2000);
        QCOMPARE(open, (QStringList{"hidden error|tst_window_shell|Unable to write to " + ini + ".",
                                    "shown message|tst_window_shell|未发现有设备连接！"}));
        QCOMPARE(config::ReadConfigString("system", "driverinstall"), QString("1"));
        // Start-up went on: the window is set up and its handlers run.
        QCOMPARE(window.windowTitle(), QString("Spliceon"));
        QVERIFY(!window.findChild<QWidget*>("pnlOtherCMD")->isVisible());
        QTest::mouseClick(window.findChild<QPushButton*>("btnRead"), Qt::LeftButton);
        QCOMPARE(boxes.shown.last(),
                 "message|tst_window_shell|" + QString(SplicerLink::kNotConnected));
    }

    void handlerErrorsReachTheErrorDisplay() {
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

    void receivedDataErrorIsNotShownAndPortKeepsReceiving() {
        WindowFixture f;
        SimulatedSplicer& sim = f.AddSplicer(1);
        f.OpenPort(1);
        serial::TComLink failing;
        int chunks = 0;
        failing.OnRxBuf = [&](serial::TCustomComPort&, const uint8_t*, int) {
            if (++chunks == 1)
                throw std::runtime_error("link failed");
        };
        f.Link().ComPort().AttachLink(&failing);
        // The error's text goes to standard error only.
        QTest::ignoreMessage(QtWarningMsg,
                             "serial port: error while handling received data: link failed");
        f.window->btnReadClick();
        QTRY_VERIFY_WITH_TIMEOUT(chunks > 0, 2000);
        // Still receiving: the next answer fills the fields.
        sim.WaitUntilIdle(2000);
        f.Spin("edtHeat")->setText("90");
        f.window->btnReadClick();
        QTRY_COMPARE_WITH_TIMEOUT(f.Spin("edtHeat")->text(), QString("60"), 2000);
        QCOMPARE(appBoxes->shown, QStringList{});
        f.Link().ComPort().DetachLink(&failing);
    }

    void realBoxes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("press"); // a key, "No" (the button) or "close" (title bar)
        QTest::addColumn<QString>("seen");  // title|icon|text|default button|buttons
        QTest::addColumn<int>("answer");    // of a confirmation, else -1
        const int yes = int(TMessageBoxes::Answer::Yes), no = int(TMessageBoxes::Answer::No);
        const char* confirm = "Confirm|Question|Text|&Yes|&Yes,&No";
        row("information", "message", "Esc", "tst_window_shell|NoIcon|Text|OK|OK", -1);
        row("confirmation, Enter", "confirm", "Enter", confirm, yes);
        row("confirmation, Esc", "confirm", "Esc", confirm, no);
        row("confirmation, No", "confirm", "No", confirm, no);
        row("confirmation, title-bar close", "confirm", "close", confirm,
            int(TMessageBoxes::Answer::Closed));
        row("acknowledgement", "acknowledge", "Esc", "Confirm|Question|Text|&Yes|&Yes", -1);
        row("error", "error", "Enter", "tst_window_shell|Critical|Text.|OK|OK", -1);
    }

    void realBoxes() {
        QFETCH(QString, kind);
        QFETCH(QString, press);
        QFETCH(QString, seen);
        QFETCH(int, answer);
        QString looked;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QStringList buttons;
            for (const QAbstractButton* b : box->buttons())
                buttons << b->text();
            looked = QStringList{box->windowTitle(),
                                 QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()),
                                 box->text(), box->defaultButton()->text(), buttons.join(',')}
                         .join('|');
            if (press == "close")
                box->close();
            else if (press == "No")
                box->buttons().last()->click();
            else
                QTest::keyClick(box, press == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
        });
        TQtMessageBoxes boxes;
        int result = -1;
        if (kind == "message")
            boxes.ShowMessage("Text");
        else if (kind == "confirm")
            result = int(boxes.Ask("Text"));
        else if (kind == "acknowledge")
            boxes.Acknowledge("Text");
        else
            boxes.ShowError("Text");
        QCOMPARE(looked, seen);
        QCOMPARE(result, answer);
    }

    void errorBoxText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        row("letter", "Link (un)registration failed", "Link (un)registration failed.");
        row("parenthesis", "Unable to open com port (win error code: 2)",
            "Unable to open com port (win error code: 2)");
        row("full stop", "Done.", "Done.");
        row("Chinese", "设备未连接！", "设备未连接！.");
    }

    void errorBoxText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBoxText(message), shown);
    }

    void spinFieldLeavingClamps_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::addColumn<int>("reason");
        const int tab = Qt::TabFocusReason;
        row("above", "edtHeat", "185", "180", tab);
        row("below", "edtHeat", "5", "10", tab);
        row("not a number", "edtHeat", "abc", "abc", tab);
        row("in range", "edtHeat", "75", "75", tab);
        row("loaded 2400", "edtAdjustLeft", "2400", "2000", tab);
        row("loaded $FFF", "edtAdjustLeft", "$FFF", "2000", tab);
        row("a box takes the focus", "edtHeat", "185", "185", int(Qt::ActiveWindowFocusReason));
        row("a menu takes the focus", "edtHeat", "185", "185", int(Qt::PopupFocusReason));
    }

    void spinFieldLeavingClamps() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, left);
        QFETCH(int, reason);
        WindowFixture f;
        TSpinEdit* spin = f.Spin(qPrintable(field));
        spin->setText(typed);
        QCOMPARE(spin->text(), typed); // shown as set
        QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
        QCoreApplication::sendEvent(spin, &out);
        QCOMPARE(spin->text(), left);
    }

    void spinFieldArrows_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("input"); // a key, "up button" or "wheel up"/"wheel down"
        QTest::addColumn<QString>("result");
        row("up 60", "edtHeat", "60", "Up", "70");
        row("up 175", "edtHeat", "175", "Up", "180");
        row("up at max", "edtHeat", "180", "Up", "180");
        row("down at 2", "edtFusePushSpeed", "2", "Down", "2");
        row("down at 0", "edtPushLeft", "0", "Down", "0");
        row("text counts as minimum", "edtHeat", "abc", "Up", "20");
        row("hexadecimal read as such", "edtHeat", "0x10", "Up", "26");
        row("up button", "edtHeat", "60", "up button", "70");
        for (const char* other : {"PgUp", "PgDown", "wheel up", "wheel down"})
            row(other, "edtHeat", "60", other, "60");
    }

    void spinFieldArrows() {
        QFETCH(QString, field);
        QFETCH(QString, start);
        QFETCH(QString, input);
        QFETCH(QString, result);
        WindowFixture f;
        TSpinEdit* spin = f.Spin(qPrintable(field));
        spin->setText(start);
        if (input == "up button") {
            QTest::mousePress(spin, Qt::LeftButton, {}, {spin->width() - 4, 4});
            QTest::mouseRelease(spin, Qt::LeftButton, {}, {spin->width() - 4, 4});
        } else if (input.startsWith("wheel")) {
            turnWheel(spin, input.endsWith("up") ? 120 : -120);
        } else {
            QTest::keyClick(spin, QKeySequence(input)[0].key());
        }
        QCOMPARE(spin->text(), result);
    }

    void spinFieldRefusesForeignCharacters_data() {
        QTest::addColumn<QString>("start"); // put in by the program
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        row("typed letters among digits", "", "typed", "a1b-2", "1-2");
        // The field takes no drops at all, so nothing foreign arrives that way either.
        row("dropped", "60", "dropped", "abc加", "60");
        for (const char* way : {"typed", "pasted", "input method"}) {
            row(qPrintable(way + QString(" letters and Chinese")), "60", way, "abc加", "60");
            row(qPrintable(way + QString(" full-width digit")), "60", way, "１", "60");
            row(qPrintable(way + QString(" sign and digit")), "60", way, "-5", "60-5");
        }
        // Text the program put in stays, but nothing foreign joins it.
        row("loaded text, pasted letter", "abc", "pasted", "x", "abc");
        row("loaded text, pasted digit", "abc", "pasted", "1", "abc1");
    }

    void spinFieldRefusesForeignCharacters() {
        QFETCH(QString, start);
        QFETCH(QString, way);
        QFETCH(QString, input);
        QFETCH(QString, result);
        WindowFixture f;
        TSpinEdit* spin = f.Spin("edtHeat");
        QLineEdit* edit = spin->findChild<QLineEdit*>();
        spin->setText(start);
        if (way == "typed") {
            type(spin, input);
        } else if (way == "pasted") {
            QGuiApplication::clipboard()->setText(input);
            QTest::keySequence(spin, QKeySequence::Paste);
        } else if (way == "dropped") {
            // Delivered as a drag over the text would be: to the first widget that takes drops.
            QMimeData data;
            data.setText(input);
            const QPoint at = edit->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(edit, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(edit, &drop);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(input);
            QCoreApplication::sendEvent(spin, &commit);
        }
        QCOMPARE(spin->text(), result);
    }

    void commandListKeepsToItems_data() {
        QTest::addColumn<int>("chosen"); // the item picked first, -1 for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent"); // by Send, after Enter in the list
        row("chosen", 6, "", "5A 4A 02 44 00 A5");
        row("typed text", -1, "abc", "");
        row("chosen, then typed over", 0, "abc", "");
        row("chosen, then typed on", 0, "x", "");
        row("an item's text typed", -1, "当前组别", "5A 4A 02 44 00 A5");
    }

    void commandListKeepsToItems() {
        QFETCH(int, chosen);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        WindowFixture f;
        f.AddSplicer(1);
        f.Connect(1);
        f.splicers.at(1)->ClearFrames();
        auto* list = f.window->findChild<QComboBox*>("cbCommand");
        list->setCurrentIndex(chosen);
        if (typed != "x")
            list->lineEdit()->selectAll();
        type(list, typed);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(list->count(), 7);
        f.window->btnSendClick();
        QCOMPARE(f.SentSoFar(1), sent.isEmpty() ? QStringList() : QStringList{sent});
    }

    void calibrationPageOutOfReach_data() {
        QTest::addColumn<QString>("target"); // a control, or the tab bar
        QTest::addColumn<int>("key");        // 0: a turn of the mouse wheel
        QTest::addColumn<int>("modifiers");
        const int ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        row("Ctrl+Tab in a field", "edtHeat", int(Qt::Key_Tab), ctrl);
        row("Ctrl+Shift+Tab", "edtHeat", int(Qt::Key_Backtab), ctrlShift);
        row("Ctrl+PageDown", "edtHeat", int(Qt::Key_PageDown), ctrl);
        row("Ctrl+Tab on a button", "btnRead", int(Qt::Key_Tab), ctrl);
        row("Right on the tab bar", "", int(Qt::Key_Right), 0);
        row("Ctrl+Tab on the tab bar", "", int(Qt::Key_Tab), ctrl);
        row("wheel over the tab bar", "", 0, 0);
    }

    void calibrationPageOutOfReach() {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        WindowFixture f;
        auto* pages = f.window->findChild<QTabWidget*>("PageControl");
        QWidget* to = target.isEmpty() ? pages->tabBar() : f.window->findChild<QWidget*>(target);
        for (int i = 0; i < 3; ++i) {
            if (key) {
                QTest::keyClick(to, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            } else {
                turnWheel(to, -120);
            }
            QCOMPARE(pages->currentWidget()->objectName(), QString("tabFuseParam"));
        }
        QCOMPARE(f.Spin("edtHeat")->text(), QString("60")); // nor did a key change a field
        // Code still may show it, with every control usable.
        pages->setCurrentWidget(f.window->findChild<QWidget*>("tabCalibrate"));
        QCOMPARE(pages->currentWidget()->objectName(), QString("tabCalibrate"));
        QVERIFY(f.Button("btnCaliRead")->isEnabled());
    }

    void aboutBox() {
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
};

int main(int argc, char** argv) {
    ScriptedBoxes boxes;
    appBoxes = &boxes;
    TApplication app(argc, argv, boxes);
    TestWindowShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_shell.moc"
