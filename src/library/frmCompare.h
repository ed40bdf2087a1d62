#pragma once

#include "paramset/SetCompare.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace Ui {
class TfrmCompare;
}
class TSetTarget;

// The splicer's parameters beside a set file's, converted to the splicer's firmware: one row
// per field, the differing ones marked and counted; what the block cannot hold, what the file
// does not give and what was converted listed apart. The file's values can be loaded into the
// window's fields from here.
class TfrmCompare : public QDialog {
    Q_OBJECT
public:
    TfrmCompare(const QString& file, const params::SetFile& set, uint16_t firmware,
                const QByteArray& splicerBlock, TSetTarget& target, QWidget* owner);
    ~TfrmCompare() override;

    const std::vector<params::CompareRow>& Rows() const { return rows_; }
    QString CountText() const;
    QStringList ApartLines() const;
    void LoadIntoFields();

private:
    std::unique_ptr<Ui::TfrmCompare> ui;
    params::ConvertedSet converted_;
    std::vector<params::CompareRow> rows_;
    TSetTarget& target_;
};
