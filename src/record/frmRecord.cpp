#include "record/frmRecord.h"

#include "config/FileWrite.h"
#include "config/IniFile.h"
#include "errors/HandlerRunner.h"
#include "protocol/ResponseText.h"
#include "record/RecordText.h"
#include "record/Report.h"
#include "record/ServiceDb.h"
#include "record/Technician.h"
#include "ui_frmRecord.h"

#include <QDir>
#include <QFileDialog>

namespace {

constexpr int kRole = Qt::UserRole;

QString dayAndTime(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

TfrmRecord* TfrmRecord::Open(record::TServiceDb& db, QWidget* owner) {
    auto* window = owner->findChild<TfrmRecord*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new TfrmRecord(db, owner);
    else
        window->Reload();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

TfrmRecord::TfrmRecord(record::TServiceDb& db, QWidget* owner)
    : QWidget(owner, Qt::Window), ui(std::make_unique<Ui::TfrmRecord>()), db_(db) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->dteSince->setDate(QDate::currentDate().addMonths(-1));
    ui->dteSince->setEnabled(false);
    ui->splTop->setStretchFactor(1, 1);
    ui->lblFile->setText(QDir::toNativeSeparators(db.Path()));
    const auto run = [this](void (TfrmRecord::*handler)()) {
        return [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); };
    };
    connect(ui->edtDevice, &QLineEdit::textChanged, this, run(&TfrmRecord::showSplicers));
    connect(ui->cbSince, &QCheckBox::toggled, ui->dteSince, &QWidget::setEnabled);
    connect(ui->cbSince, &QCheckBox::toggled, this, run(&TfrmRecord::showVisits));
    connect(ui->dteSince, &QDateEdit::dateChanged, this, run(&TfrmRecord::showVisits));
    connect(ui->lstSplicers, &QTreeWidget::currentItemChanged, this, run(&TfrmRecord::showVisits));
    connect(ui->lstVisits, &QTreeWidget::currentItemChanged, this,
            run(&TfrmRecord::showOperations));
    connect(ui->btnExport, &QPushButton::clicked, this, run(&TfrmRecord::btnExportClick));
    connect(ui->btnClose, &QPushButton::clicked, this, &QWidget::close);
    Reload();
}

TfrmRecord::~TfrmRecord() = default;

void TfrmRecord::Reload() {
    showSplicers();
}

void TfrmRecord::showSplicers() {
    const QString part = ui->edtDevice->text().trimmed();
    ui->lstSplicers->clear();
    for (const record::Splicer& s : db_.Splicers()) {
        const QString id = record::DeviceText(s.deviceId);
        if (!id.contains(part, Qt::CaseInsensitive))
            continue;
        auto* item = new QTreeWidgetItem(
            ui->lstSplicers, {id, VersionText(s.firmware), QString::number(s.fusionCount),
                              dayAndTime(s.lastSeen), QString::number(s.visits)});
        item->setData(0, kRole, s.deviceId);
    }
    for (int c = 0; c < ui->lstSplicers->columnCount(); ++c)
        ui->lstSplicers->resizeColumnToContents(c);
    ui->lstSplicers->setCurrentItem(ui->lstSplicers->topLevelItem(0));
    if (!ui->lstSplicers->currentItem())
        showVisits();
}

void TfrmRecord::showVisits() {
    ui->lstVisits->clear();
    visits_.clear();
    if (const QTreeWidgetItem* splicer = ui->lstSplicers->currentItem()) {
        const QDateTime since =
            ui->cbSince->isChecked() ? ui->dteSince->date().startOfDay() : QDateTime();
        visits_ = db_.Visits(splicer->data(0, kRole).toByteArray(), since);
    }
    // Newest on top.
    for (auto v = visits_.rbegin(); v != visits_.rend(); ++v) {
        auto* item = new QTreeWidgetItem(ui->lstVisits, {dayAndTime(v->stamp.time), v->stamp.port,
                                                         v->stamp.user, VersionText(v->firmware),
                                                         QString::number(v->fusionCount)});
        item->setData(0, kRole, v->stamp.uuid);
    }
    for (int c = 0; c < ui->lstVisits->columnCount(); ++c)
        ui->lstVisits->resizeColumnToContents(c);
    ui->lstVisits->setCurrentItem(ui->lstVisits->topLevelItem(0));
    if (!ui->lstVisits->currentItem())
        showOperations();
    ui->btnExport->setEnabled(ui->lstVisits->currentItem() != nullptr);
}

void TfrmRecord::showOperations() {
    ui->lstOperations->clear();
    const QTreeWidgetItem* visit = ui->lstVisits->currentItem();
    if (!visit)
        return;
    for (const record::Operation& o : db_.Operations(visit->data(0, kRole).toString())) {
        auto* item = new QTreeWidgetItem(ui->lstOperations,
                                         {o.stamp.time.toString(QStringLiteral("HH:mm:ss")),
                                          record::KindCaption(o.kind), record::OutcomeCaption(o),
                                          record::DetailText(o)});
        if (o.kind != record::Kind::Write)
            continue;
        for (const record::FieldChange& c : record::WriteChanges(o))
            new QTreeWidgetItem(item, {QString(), c.caption, record::ChangesLine({c})});
        item->setExpanded(true);
    }
    for (int c = 0; c < ui->lstOperations->columnCount(); ++c)
        ui->lstOperations->resizeColumnToContents(c);
}

void TfrmRecord::ExportTo(const QString& path) const {
    const QTreeWidgetItem* visit = ui->lstVisits->currentItem();
    if (!visit)
        return;
    const QString uuid = visit->data(0, kRole).toString();
    const record::ReportData data{db_.VisitOf(uuid), db_.Operations(uuid),
                                  record::TechnicianName()};
    if (config::ReplaceUserFile(path, record::ReportBytes(data, record::WantsPdf(path)),
                                config::ExistingOwner::Mine) != 0)
        throw config::EConfigWrite(QDir::toNativeSeparators(path));
}

void TfrmRecord::btnExportClick() {
    const QString path = QFileDialog::getSaveFileName(this, tr("导出报告"), QString(),
                                                      tr("PDF 文件 (*.pdf);;HTML 文件 (*.html)"));
    if (!path.isEmpty())
        ExportTo(path);
}
