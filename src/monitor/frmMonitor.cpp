#include "monitor/frmMonitor.h"

#include "config/FileWrite.h"
#include "errors/HandlerRunner.h"
#include "protocol/FusionParams.h"
#include "trace/FrameHistory.h"
#include "trace/FollowFeed.h"
#include "ui_frmMonitor.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QScreen>
#include <QScrollBar>

#include <cstring>
#include <stdexcept>

TfrmMonitor* TfrmMonitor::Open(trace::TFrameHistory& history, QWidget* owner) {
    auto* monitor = owner->findChild<TfrmMonitor*>(QString(), Qt::FindDirectChildrenOnly);
    if (!monitor)
        monitor = new TfrmMonitor(history, owner);
    monitor->show();
    monitor->raise();
    monitor->activateWindow();
    return monitor;
}

TfrmMonitor::TfrmMonitor(trace::TFrameHistory& history, QWidget* owner)
    : QWidget(owner, Qt::Window), ui(std::make_unique<Ui::TfrmMonitor>()) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->edtLines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ui->edtLines->setMaximumBlockCount(kMaxLines);
    connect(ui->btnClear, &QPushButton::clicked, this, [this] { RunHandler([this] { Clear(); }); });
    connect(ui->btnSave, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnSaveClick(); }); });
    fitWidthToLongestAnswer();
    const auto append = [this](const trace::FrameRecord& record) {
        ui->edtLines->appendPlainText(trace::TraceLine(record));
    };
    for (const trace::FrameRecord& record : history.Records())
        append(record);
    connect(&history, &trace::TFrameHistory::recorded, this, append);
}

void TfrmMonitor::fitWidthToLongestAnswer() {
    // A parameter answer with the whole block is the longest line the splicer causes.
    const QByteArray answer = QByteArray::fromHex("55") + char(FusionParams::kSize + 4) +
                              QByteArray::fromHex("40") + QByteArray(FusionParams::kSize, '\0') +
                              QByteArray::fromHex("AA");
    const QString line = trace::TraceLine({.ms = 12345678,
                                           .timeOfDay = QTime(23, 59, 59, 999),
                                           .direction = trace::Direction::Received,
                                           .bytes = answer});
    const int text = ui->edtLines->fontMetrics().horizontalAdvance(line + QLatin1Char(' '));
    // What surrounds the text: the editor's frame and document margin, its scroll bar, and the
    // window's layout margins.
    const QMargins margins = layout()->contentsMargins();
    const int around =
        2 * (ui->edtLines->frameWidth() + int(ui->edtLines->document()->documentMargin())) +
        ui->edtLines->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
    int width = text + around;
    if (const QScreen* s = screen())
        width = std::min(width, s->availableGeometry().width());
    resize(width, height());
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
    QByteArray text;
    for (const QString& line : Lines())
        text += line.toUtf8() + '\n';
    if (const int error = config::ReplaceUserFile(path, text, config::ExistingOwner::Mine))
        throw std::runtime_error(tr("无法保存通讯记录到 %1：%2")
                                     .arg(path, QString::fromLocal8Bit(std::strerror(error)))
                                     .toStdString());
}

void TfrmMonitor::btnSaveClick() {
    const QString path = QFileDialog::getSaveFileName(this, tr("保存通讯记录"), QString(),
                                                      tr("文本文件 (*.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        SaveTo(SavePath(path));
}

QString TfrmMonitor::SavePath(const QString& chosen) {
    if (!QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    return (chosen.endsWith(QLatin1Char('.')) ? chosen.chopped(1) : chosen) +
           QStringLiteral(".txt");
}
