#include "main/SpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>

#include <algorithm>

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {}

bool TSpinEdit::wholeNumber(int& out) const {
    bool ok = false;
    out = text().trimmed().toInt(&ok, 10);
    return ok;
}

int TSpinEdit::value() const {
    int v;
    return wholeNumber(v) ? v : minimum_;
}

void TSpinEdit::setValue(int v) {
    setText(QString::number(v));
}

void TSpinEdit::setText(const QString& text) {
    lineEdit()->setText(text);
}

void TSpinEdit::stepBy(int steps) {
    const qint64 next = qint64(value()) + qint64(steps) * step_;
    setValue(int(std::clamp<qint64>(next, minimum_, maximum_)));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State TSpinEdit::validate(QString&, int&) const {
    // Pasted text is kept as it is; typing is filtered in keyPressEvent.
    return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString&) const {}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter) {
        QApplication::beep();
        event->accept();
        return;
    }
    if (!typed.isEmpty() && typed.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier)) {
        const QChar c = typed.at(0);
        const QString separator = QLocale().decimalPoint();
        const bool allowed = c.isDigit() || c == '+' || c == '-' || separator.contains(c);
        if (!allowed) {
            QApplication::beep();
            event->accept();
            return;
        }
    }
    QAbstractSpinBox::keyPressEvent(event);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    int v;
    if (wholeNumber(v) && (v < minimum_ || v > maximum_))
        setValue(qBound(minimum_, v, maximum_));
    QAbstractSpinBox::focusOutEvent(event);
}
