#include "monitor/frmMonitor.h"

#include "config/FileWrite.h"
#include "errors/HandlerRunner.h"
#include "paramset/FieldCaptions.h"
#include "paramset/ParamFields.h"
#include "protocol/CommandTable.h"
#include "protocol/FrameView.h"
#include "protocol/FusionParams.h"
#include "trace/FrameHistory.h"
#include "ui_frmMonitor.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>

#include <cstring>
#include <optional>
#include <stdexcept>

namespace {

// The parameter block a frame carries: the splicer's parameter answer, or a parameter write.
std::optional<QByteArray> blockOf(const trace::FrameRecord& r) {
    if (r.discarded || r.line)
        return std::nullopt;
    const bool received = r.direction == trace::Direction::Received;
    const std::optional<frames::FrameView> view =
        received ? frames::FrameView::Answer(r.bytes) : frames::FrameView::Command(r.bytes);
    if (view &&
        view->code == (received ? uint8_t(frames::AnsParams) : uint8_t(frames::KindParamBlock)))
        return view->payload;
    return std::nullopt;
}

} // namespace

TfrmMonitor* TfrmMonitor::Open(trace::TFrameHistory& history, QWidget* owner, QRect keepClear) {
    auto* monitor = owner->findChild<TfrmMonitor*>(QString(), Qt::FindDirectChildrenOnly);
    const bool opened = !monitor;
    if (opened)
        monitor = new TfrmMonitor(history, owner);
    monitor->show();
    // Once shown, its own frame tells how much the window manager adds around it.
    if (opened)
        monitor->placeBeside(*owner, keepClear);
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
    ui->edtLines->viewport()->installEventFilter(this);
    ui->grpFields->setVisible(false);
    ui->twFields->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(ui->btnClear, &QPushButton::clicked, this, [this] { RunHandler([this] { Clear(); }); });
    connect(ui->btnSave, &QPushButton::clicked, this,
            [this] { RunHandler([this] { btnSaveClick(); }); });
    connect(ui->btnFields, &QPushButton::clicked, this,
            [this] { RunHandler([this] { OpenBlockFields(currentLine()); }); });
    connect(ui->edtLines, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { ui->btnFields->setEnabled(!BlockFields(currentLine()).isEmpty()); });
    ui->btnFields->setEnabled(false);
    resize(preferredWidth(), height());
    for (const trace::FrameRecord& record : history.Records())
        append(record);
    // Opened at the newest line, so that it follows the ones to come.
    ui->edtLines->moveCursor(QTextCursor::End);
    connect(&history, &trace::TFrameHistory::recorded, this, &TfrmMonitor::append);
}

TfrmMonitor::~TfrmMonitor() = default;

void TfrmMonitor::append(const trace::FrameRecord& record) {
    QScrollBar* bar = ui->edtLines->verticalScrollBar();
    const bool follow = bar->value() == bar->maximum();
    const int kept = bar->value();
    records_.push_back(record);
    const bool dropsFirst = records_.size() > size_t(kMaxLines);
    if (dropsFirst)
        records_.pop_front();
    ui->edtLines->appendPlainText(trace::TraceLine(record));
    // The first line dropped moves the lines up by one: the view moves with them.
    bar->setValue(follow ? bar->maximum() : kept - (dropsFirst ? 1 : 0));
}

int TfrmMonitor::preferredWidth() const {
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
    return text +
           2 * (ui->edtLines->frameWidth() + int(ui->edtLines->document()->documentMargin())) +
           ui->edtLines->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
}

void TfrmMonitor::placeBeside(const QWidget& owner, QRect keepClear) {
    const QScreen* screen = owner.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QRect frame = owner.frameGeometry();
    // What the window manager adds around this window: as around the owner until it shows.
    const auto around = [](const QWidget& w) {
        const QRect outer = w.frameGeometry(), inner = w.geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    };
    const QMargins decoration = around(*this).isNull() ? around(owner) : around(*this);
    const QSize wanted =
        QSize(preferredWidth(), height()).grownBy(decoration).boundedTo(area.size());
    // Right or left of the owner, else above or below the controls to keep clear; the first
    // that takes the whole window, or the one that takes most of it.
    const QRect places[] = {
        QRect(QPoint(frame.right() + 1, area.top()), area.bottomRight()),
        QRect(area.topLeft(), QPoint(frame.left() - 1, area.bottom())),
        QRect(area.topLeft(), QPoint(area.right(), keepClear.top() - 1)),
        QRect(QPoint(area.left(), keepClear.bottom() + 1), area.bottomRight()),
    };
    const auto taken = [&](const QRect& place) { return wanted.boundedTo(place.size()); };
    const QRect* best = &places[0];
    for (const QRect& place : places) {
        if (taken(place) == wanted) {
            best = &place;
            break;
        }
        const QSize a = taken(place), b = taken(*best);
        if (a.width() * a.height() > b.width() * b.height())
            best = &place;
    }
    const QSize size = taken(*best);
    // Level with the owner where the place allows.
    const int top = std::clamp(frame.top(), best->top(), best->bottom() + 1 - size.height());
    setGeometry(QRect(QPoint(best->left(), top), size).marginsRemoved(decoration));
}

QStringList TfrmMonitor::Lines() const {
    if (ui->edtLines->document()->isEmpty())
        return {};
    return ui->edtLines->toPlainText().split('\n');
}

void TfrmMonitor::Clear() {
    ui->edtLines->clear();
    records_.clear();
    ui->grpFields->setVisible(false);
}

int TfrmMonitor::currentLine() const {
    return ui->edtLines->textCursor().blockNumber();
}

QList<QStringList> TfrmMonitor::BlockFields(int n) const {
    if (n < 0 || n >= int(records_.size()))
        return {};
    const std::optional<QByteArray> block = blockOf(records_[size_t(n)]);
    if (!block)
        return {};
    const FusionParams p = FusionParams::Decode(*block);
    QList<QStringList> fields;
    for (const params::Field* f : params::InSavedOrder())
        fields << QStringList{params::FieldCaption(*f),
                              f->HeldIn(int(block->size())) ? f->WindowText(p) : tr("（不在块中）"),
                              params::FieldUnit(*f)};
    return fields;
}

void TfrmMonitor::OpenBlockFields(int n) {
    const QList<QStringList> fields = BlockFields(n);
    if (fields.isEmpty())
        return;
    ui->twFields->clear();
    for (const QStringList& field : fields)
        new QTreeWidgetItem(ui->twFields, field);
    ui->grpFields->setTitle(tr("参数块字段：%1").arg(Lines().value(n).section(' ', 0, 0)));
    ui->grpFields->setVisible(true);
}

bool TfrmMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->edtLines->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        const int n = ui->edtLines->cursorForPosition(click->position().toPoint()).blockNumber();
        if (!BlockFields(n).isEmpty()) {
            RunHandler([this, n] { OpenBlockFields(n); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
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

QString TfrmMonitor::SaveFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TfrmMonitor::btnSaveClick() {
    const QString path = QFileDialog::getSaveFileName(this, tr("保存通讯记录"), SaveFolder(),
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
