#include "library/frmLibrary.h"

#include "errors/HandlerRunner.h"
#include "library/SetTarget.h"
#include "paramset/SetFile.h"
#include "protocol/MessageBoxes.h"
#include "protocol/ResponseText.h"
#include "ui_frmLibrary.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>

namespace {

// A file the library takes in or gives out: a set in the --read format, or its JSON.
QString setFilter() {
    return TfrmLibrary::tr("参数文件 (*.ini *.json);;所有文件 (*)");
}

} // namespace

TfrmLibrary::TfrmLibrary(params::TSetLibrary& library, TSetTarget& target, TMessageBoxes& boxes,
                         QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TfrmLibrary>()), library_(library), target_(target),
      boxes_(boxes) {
    ui->setupUi(this);
    const auto bind = [this](QPushButton* button, void (TfrmLibrary::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { RunHandler([this, handler] { (this->*handler)(); }); });
    };
    bind(ui->btnSave, &TfrmLibrary::btnSaveClick);
    bind(ui->btnLoad, &TfrmLibrary::btnLoadClick);
    bind(ui->btnRename, &TfrmLibrary::btnRenameClick);
    bind(ui->btnDelete, &TfrmLibrary::btnDeleteClick);
    bind(ui->btnImport, &TfrmLibrary::btnImportClick);
    bind(ui->btnExport, &TfrmLibrary::btnExportClick);
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->lstSets, &QTreeWidget::itemDoubleClicked, this, [this] { btnLoadClick(); });
    refresh();
}

TfrmLibrary::~TfrmLibrary() = default;

void TfrmLibrary::refresh() {
    ui->lstSets->clear();
    for (const params::LibraryEntry& entry : library_.Entries())
        ui->lstSets->addTopLevelItem(new QTreeWidgetItem(
            {entry.name, entry.firmware ? VersionText(*entry.firmware, QLocale::c()) : QString(),
             entry.deviceId, entry.when.toString(QStringLiteral("yyyy-MM-dd HH:mm"))}));
    for (int column = 0; column < ui->lstSets->columnCount(); ++column)
        ui->lstSets->resizeColumnToContents(column);
}

QStringList TfrmLibrary::Names() const {
    QStringList names;
    for (int i = 0; i < ui->lstSets->topLevelItemCount(); ++i)
        names << ui->lstSets->topLevelItem(i)->text(0);
    return names;
}

QString TfrmLibrary::selected() const {
    const QTreeWidgetItem* item = ui->lstSets->currentItem();
    if (!item)
        throw params::ESetLibrary(tr("请先在列表中选一个参数组").toStdString());
    return item->text(0);
}

void TfrmLibrary::store(const QString& name, const QByteArray& content) {
    const bool replace = library_.Contains(name);
    if (replace && !boxes_.Confirm(tr("参数组“%1”已存在，要替换它吗？").arg(name)))
        return;
    library_.Save(name, content, replace);
    refresh();
}

void TfrmLibrary::SaveFields(const QString& name) {
    params::TSetLibrary::CheckName(name);
    const QByteArray content = target_.FieldsAsSetFile();
    // A set that no later load would take is refused now, as an import refuses it.
    params::ParseSetFile(name, content);
    store(name, content);
}

void TfrmLibrary::LoadSet(const QString& name) {
    const params::SetFile set = params::ParseSetFile(name, library_.Read(name));
    target_.LoadIntoFields(params::ConvertForFirmware(set, target_.TargetFirmware()));
}

void TfrmLibrary::RenameSet(const QString& from, const QString& to) {
    library_.Rename(from, to);
    refresh();
}

void TfrmLibrary::DeleteSet(const QString& name) {
    if (!boxes_.Confirm(tr("要删除参数组“%1”吗？").arg(name)))
        return;
    library_.Remove(name);
    refresh();
}

void TfrmLibrary::ImportFile(const QString& file, const QString& name) {
    params::TSetLibrary::CheckName(name);
    const QByteArray content = params::ReadSetFileAt(file);
    // Only a set that could be loaded or written is taken in, and in the library's own format.
    params::ParseSetFile(QFileInfo(file).fileName(), content);
    store(name, params::SetFileAsIni(content));
}

void TfrmLibrary::ExportSet(const QString& name, const QString& file) {
    params::WriteSetFile(file, library_.Read(name));
}

void TfrmLibrary::btnSaveClick() {
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("保存当前参数"), tr("参数组名："),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok)
        SaveFields(name.trimmed());
}

void TfrmLibrary::btnLoadClick() {
    LoadSet(selected());
}

void TfrmLibrary::btnRenameClick() {
    const QString from = selected();
    bool ok = false;
    const QString to =
        QInputDialog::getText(this, tr("改名"), tr("新的参数组名："), QLineEdit::Normal, from, &ok);
    if (ok && to.trimmed() != from)
        RenameSet(from, to.trimmed());
}

void TfrmLibrary::btnDeleteClick() {
    DeleteSet(selected());
}

void TfrmLibrary::btnImportClick() {
    const QString file =
        QFileDialog::getOpenFileName(this, tr("导入参数文件"), QString(), setFilter());
    if (file.isEmpty())
        return;
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, tr("导入参数文件"), tr("参数组名："), QLineEdit::Normal,
                              QFileInfo(file).completeBaseName(), &ok);
    if (ok)
        ImportFile(file, name.trimmed());
}

void TfrmLibrary::btnExportClick() {
    const QString name = selected();
    const QString file =
        QFileDialog::getSaveFileName(this, tr("导出参数组"), name + ".ini", setFilter());
    if (!file.isEmpty())
        ExportSet(name, file);
}
