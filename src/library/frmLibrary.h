#pragma once

#include "paramset/SetLibrary.h"

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class TfrmLibrary;
}
class TMessageBoxes;
class TSetTarget;

// The parameter library: the named sets with their firmware, the splicer they came from and
// their date; the window's fields saved as a set, a set loaded into them converted to the
// connected splicer's firmware, renamed, deleted, imported from and exported to a file.
class TfrmLibrary : public QDialog {
    Q_OBJECT
public:
    TfrmLibrary(params::TSetLibrary& library, TSetTarget& target, TMessageBoxes& boxes,
                QWidget* owner);
    ~TfrmLibrary() override;

    // The sets as listed, by name.
    QStringList Names() const;
    // Saves the fields under name; a set of that name is replaced only when the user agrees.
    void SaveFields(const QString& name);
    void LoadSet(const QString& name);
    void RenameSet(const QString& from, const QString& to);
    // Asks first.
    void DeleteSet(const QString& name);
    // A file that is a parameter set (INI or JSON) taken in under name.
    void ImportFile(const QString& file, const QString& name);
    void ExportSet(const QString& name, const QString& file);

private:
    void refresh();
    QString selected() const;
    void btnSaveClick();
    void btnLoadClick();
    void btnRenameClick();
    void btnDeleteClick();
    void btnImportClick();
    void btnExportClick();
    // Stores content under name, asking before it replaces a set.
    void store(const QString& name, const QByteArray& content);

    std::unique_ptr<Ui::TfrmLibrary> ui;
    params::TSetLibrary& library_;
    TSetTarget& target_;
    TMessageBoxes& boxes_;
};
