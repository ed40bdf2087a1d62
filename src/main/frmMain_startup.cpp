// Start-up, the one-time driver installation, shutdown and the about box.
#include "main/frmMain.h"

#include "about/frmAbout.h"
#include "config/Config.h"
#include "ui_frmMain.h"

#include <QMenuBar>
#include <QProcess>

void TfrmMain::FormCreate() {
    setWindowTitle(QStringLiteral("Spliceon"));
    ui->cboxSaveDefault->setChecked(false);
    ui->cboxSaveDefault->setEnabled(false);
    ui->cboxSaveDefault->setVisible(false);
    // The layout's client area (598 x 573) under the menu bar, at a fixed size. The outer
    // width belongs to the window manager's frame on Linux.
    setFixedSize(598, 573 + menuBar()->sizeHint().height());
    ui->pnlOtherCMD->setVisible(false);
    ui->btnGetDefault->setVisible(false);
    InstallDriver();
}

void TfrmMain::InstallDriver() {
    // An installed program has none: its package set up the converter's udev rule.
    if (driverInstaller_.isEmpty())
        return;
    if (config::ReadConfigString(QStringLiteral("system"), QStringLiteral("driverinstall")) !=
        QStringLiteral("1"))
        return;
    QProcess installer;
    installer.setProgram(driverInstaller_);
    installer.setProcessChannelMode(QProcess::ForwardedChannels);
    installer.setInputChannelMode(QProcess::ForwardedInputChannel);
    installer.start();
    // Missing or not startable: tried again at the next start, as the key still says "1".
    if (!installer.waitForStarted(-1))
        return;
    if (!installer.waitForFinished(-1))
        return;
    // Its exit code does not matter: a cancelled installation counts as done.
    config::WriteConfigString(QStringLiteral("system"), QStringLiteral("driverinstall"),
                              QStringLiteral("0"));
}

void TfrmMain::FormClose() {
    link_.Shutdown();
}

void TfrmMain::mExitClick() {
    close();
}

void TfrmMain::mAboutClick() {
    TfrmAbout box(this);
    box.exec();
}
