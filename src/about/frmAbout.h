#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmAbout;
}

// The program's name and version, closed with its only button. A new box each time.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    ~TfrmAbout() override;

    void Button1Click();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::unique_ptr<Ui::TfrmAbout> ui;
};

// The box while it exists.
extern TfrmAbout* frmAbout;
