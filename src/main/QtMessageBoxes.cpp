#include "main/QtMessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

int run(QMessageBox& box) {
    // Modal for the whole program; a box without a parent comes up centred on the screen.
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec();
}

} // namespace

void TQtMessageBoxes::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, ProgramTitle(), text);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    run(box);
}

TMessageBoxes::Answer TQtMessageBoxes::Ask(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    // The title-bar close button makes the box report its escape button as clicked without
    // pressing it; only a pressed button is an answer.
    const QAbstractButton* pressed = nullptr;
    QObject::connect(&box, &QMessageBox::buttonClicked,
                     [&pressed](QAbstractButton* button) { pressed = button; });
    run(box);
    return pressed == yes ? Answer::Yes : pressed == no ? Answer::No : Answer::Closed;
}

void TQtMessageBoxes::Acknowledge(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(yes);
    run(box);
}

void TQtMessageBoxes::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, ProgramTitle(), ErrorBoxText(text));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    run(box);
}
