#pragma once

#include <QDialog>

#include <functional>
#include <memory>

namespace Ui {
class TfrmConnectionHelp;
}
class SplicerLink;
namespace ch341 {
class TPortMap;
}

// Why the splicer is or is not connected: each candidate port, why it counts as the converter's,
// whether it opens and, for one that does not, the reason and its fix, the same survey and words
// as `spliceon --list`; the port the window is connected on with its splicer; and a button that
// runs the search as the menu's connect command does, then looks again.
class TfrmConnectionHelp : public QDialog {
    Q_OBJECT
public:
    using Search = std::function<void()>;

    // Shows the owner's connection help, opening one when the owner has none.
    static TfrmConnectionHelp* Open(SplicerLink& link, const ch341::TPortMap& ports, Search search,
                                    QWidget* owner);

    TfrmConnectionHelp(SplicerLink& link, const ch341::TPortMap& ports, Search search,
                       QWidget* owner);
    ~TfrmConnectionHelp() override;

    // Surveys the ports again and shows what it found.
    void Survey();

private:
    void btnConnectClick();
    QString connectionText() const;

    std::unique_ptr<Ui::TfrmConnectionHelp> ui;
    SplicerLink& link_;
    const ch341::TPortMap& ports_; // the settings file's, as the search resolves names
    Search search_;
};
