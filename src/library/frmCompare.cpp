#include "library/frmCompare.h"

#include "errors/HandlerRunner.h"
#include "library/SetTarget.h"
#include "paramset/FieldCaptions.h"
#include "ui_frmCompare.h"


namespace {

const QColor kDiffers(255, 0, 0);

} // namespace

TfrmCompare::TfrmCompare(const QString& file, const params::SetFile& set, uint16_t firmware,
                         const QByteArray& splicerBlock, TSetTarget& target, QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TfrmCompare>()),
      converted_(params::ConvertForFirmware(set, firmware)),
      rows_(params::CompareWithSplicer(set, firmware, splicerBlock)), target_(target) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("与文件比较：%1").arg(file));
    QStringList apart;
    for (const params::CompareRow& row : rows_) {
        auto* item = new QTreeWidgetItem(
            {params::FieldCaption(*row.field), params::FieldUnit(*row.field), row.splicer, row.file});
        if (row.Differs())
            for (int column = 0; column < item->columnCount(); ++column)
                item->setForeground(column, kDiffers);
        ui->lstRows->addTopLevelItem(item);
        apart << params::ApartNotes(row, params::FieldCaption(*row.field), firmware);
    }
    for (int column = 0; column < ui->lstRows->columnCount(); ++column)
        ui->lstRows->resizeColumnToContents(column);
    ui->lblCount->setText(CountText());
    ui->edtApart->setPlainText(apart.join('\n'));
    ui->lblApart->setVisible(!apart.isEmpty());
    ui->edtApart->setVisible(!apart.isEmpty());
    connect(ui->btnLoad, &QPushButton::clicked, this,
            [this] { RunHandler([this] { LoadIntoFields(); }); });
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

TfrmCompare::~TfrmCompare() = default;

QString TfrmCompare::CountText() const {
    const int count = params::DifferenceCount(rows_);
    return count == 0 ? tr("熔接机与文件的参数相同") : tr("%1 项不同（红色）").arg(count);
}

QStringList TfrmCompare::ApartLines() const {
    const QString text = ui->edtApart->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void TfrmCompare::LoadIntoFields() {
    target_.LoadIntoFields(converted_);
}
