#include "monitor/frmMonitor.h"

#include "errors/HandlerRunner.h"
#include "trace/FollowFeed.h"
#include "ui_frmMonitor.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QSaveFile>

#include <stdexcept>

TfrmMonitor* TfrmMonitor::Open(FrameFeed& feed, QWidget* owner) {
    auto* monitor = owner->findChild<TfrmMonitor*>(QString(), Qt::FindDirectChildrenOnly);
    if (!monitor)
        monitor = new TfrmMonitor(feed, owner);
    monitor->show();
    monitor->raise();
    monitor->activateWindow();
    return monitor;
}

TfrmMonitor::TfrmMonitor(FrameFeed& feed, QWidget* owner)
    : QWidget(owner, Qt::Window), ui(std::make_unique<Ui::TfrmMonitor>()) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->edtLines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui->edtLines->setMaximumBlockCount(kMaxLines);
    connect(ui->btnClear, &QPushButton::clicked, this, [this] { RunHandler([this] { Clear(); }); });
    connect(ui->btnSave, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnSaveClick(); }); });
    trace::FollowFeed(feed, this,
                      [this](const QString& line) { ui->edtLines->appendPlainText(line); });
}

TfrmMonitor::~TfrmMonitor() = default;

QStringList TfrmMonitor::Lines() const {
    if (ui->edtLines->document()->isEmpty())
        return {};
    return ui->edtLines->toPlainText().split('\n');
}

void TfrmMonitor::Clear() {
    ui->edtLines->clear();
}

void TfrmMonitor::SaveTo(const QString& path) const {
    QSaveFile file(path);
    QByteArray text;
    for (const QString& line : Lines())
        text += line.toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw std::runtime_error(
            tr("无法保存通讯记录到 %1：%2").arg(path, file.errorString()).toStdString());
}

void TfrmMonitor::btnSaveClick() {
    const QString path = QFileDialog::getSaveFileName(this, tr("保存通讯记录"), QString(),
                                                      tr("文本文件 (*.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        SaveTo(path);
}
