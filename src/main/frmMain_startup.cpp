// Start-up, the one-time driver installation, shutdown and the about box.
#include "main/frmMain.h"

#include "about/frmAbout.h"
#include "config/Config.h"
#include "ui_frmMain.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The key that asks for the driver installer at the next start.
const QString kSystem = QStringLiteral("system");
const QString kDriverInstall = QStringLiteral("driverinstall");

// Whether only root can have changed path: it and every folder above it belong to root and
// none is writable by others, but for a sticky folder (/tmp), whose root-owned entries only
// root can replace.
bool onlyRootCanChange(const QString& canonicalPath) {
    for (QString path = canonicalPath;; path = QFileInfo(path).path()) {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || st.st_uid != 0)
            return false;
        const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
        if ((st.st_mode & (S_IWGRP | S_IWOTH)) && !sticky)
            return false;
        if (path == QStringLiteral("/"))
            return true;
    }
}

// The first file in the installer's folder, the installer itself included, that a user other
// than root can have changed; empty when there is none. The installer reads its rule from
// there, and what it reads becomes a root command as much as the script itself.
QString changeableBesideInstaller(const QString& installer) {
    const QFileInfoList beside =
        QDir(QFileInfo(installer).path())
            .entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& file : beside) {
        const QString path = file.canonicalFilePath();
        if (path.isEmpty() || !onlyRootCanChange(path))
            return file.filePath();
    }
    return {};
}

} // namespace

void TfrmMain::FormCreate() {
    setWindowTitle(QStringLiteral("Spliceon"));
    ui->cboxSaveDefault->setChecked(false);
    ui->cboxSaveDefault->setEnabled(false);
    ui->cboxSaveDefault->setVisible(false);
    // The layout's client area (598 x 573) under the menu bar and above the note row, at a
    // fixed size. The outer width belongs to the window manager's frame on Linux.
    setFixedSize(598, 573 + menuBar()->sizeHint().height() + statusBar()->maximumHeight());
    ui->pnlOtherCMD->setVisible(false);
    ui->btnGetDefault->setVisible(false);
    InstallDriver();
}

void TfrmMain::InstallDriver() {
    // An installed program has none: its package set up the converter's udev rule.
    if (driverInstaller_.isEmpty())
        return;
    if (config::ReadConfigString(kSystem, kDriverInstall) != QStringLiteral("1"))
        return;
    const QString path = QFileInfo(driverInstaller_).canonicalFilePath();
    if (path.isEmpty())
        return;
    // The installer asks for root itself, for a fixed command it shows; run as root, a script
    // that someone else could have swapped is not started.
    if (::geteuid() == 0) {
        if (const QString changeable = changeableBesideInstaller(path); !changeable.isEmpty()) {
            qWarning("Not run as root: %s, as a user other than root can change %s; run it as "
                     "the user at the seat",
                     qPrintable(path), qPrintable(changeable));
            return;
        }
    }
    QProcess installer;
    installer.setProgram(path);
    installer.setProcessChannelMode(QProcess::ForwardedChannels);
    installer.setInputChannelMode(QProcess::ForwardedInputChannel);
    installer.start();
    // Missing or not startable: tried again at the next start, as the key still says "1".
    if (!installer.waitForStarted(-1))
        return;
    if (!installer.waitForFinished(-1))
        return;
    // Its exit code does not matter: a cancelled installation counts as done.
    config::WriteConfigString(kSystem, kDriverInstall, QStringLiteral("0"));
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
