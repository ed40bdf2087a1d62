#include "about/frmAbout.h"

#include "ui_frmAbout.h"

#include <QKeyEvent>

TfrmAbout* frmAbout = nullptr;

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TfrmAbout>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ui->Label1->adjustSize();
    setFixedSize(size());
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    ui->Button1->setFocus();
    frmAbout = this;
}

TfrmAbout::~TfrmAbout() {
    if (frmAbout == this)
        frmAbout = nullptr;
}

void TfrmAbout::Button1Click() {
    accept();
}

void TfrmAbout::keyPressEvent(QKeyEvent* e) {
    // "确定" is no cancel button: Esc leaves the box open.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
