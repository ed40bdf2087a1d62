#pragma once

#include "record/Records.h"

#include <QWidget>

#include <memory>
#include <vector>

namespace Ui {
class TfrmRecord;
}
class QTreeWidgetItem;

namespace record {
class TServiceDb;
}

// The service record window: the splicers the record knows (filtered by a part of their
// identifier), the visits of the one chosen (from a date on), and the operations of the visit
// chosen with their outcome and the fields a write changed; the chosen visit's report can be
// exported. Closing it destroys it.
class TfrmRecord : public QWidget {
    Q_OBJECT
public:
    // Shows the owner's record window, opening one when the owner has none.
    static TfrmRecord* Open(record::TServiceDb& db, QWidget* owner);

    TfrmRecord(record::TServiceDb& db, QWidget* owner);
    ~TfrmRecord() override;

    // Reads the splicers again and shows the newest one's latest visit.
    void Reload();
    // Writes the report of the chosen visit; by the suffix a PDF or HTML.
    void ExportTo(const QString& path) const;

private:
    void showSplicers();
    void showVisits();
    void showOperations();
    void btnExportClick();

    std::unique_ptr<Ui::TfrmRecord> ui;
    record::TServiceDb& db_;
    std::vector<record::Visit> visits_;
};
