#include "main/SpinEdit.h"

#include "protocol/IntText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QWheelEvent>

#include <algorithm>

namespace {

bool acceptedCharacter(QChar c) {
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' ||
           QLocale().decimalPoint().contains(c);
}

} // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& t) { shown_ = t; });
    connect(lineEdit(), &QLineEdit::inputRejected, this, [] { QApplication::beep(); });
}

bool TSpinEdit::wholeNumber(int& out) const {
    // The field reads its text as the rest of the program does ("$FFF" and "0x10" included).
    const std::optional<int32_t> value = TryStrToInt(text());
    out = value.value_or(0);
    return value.has_value();
}

int TSpinEdit::value() const {
    int v;
    return wholeNumber(v) ? v : minimum_;
}

void TSpinEdit::setValue(int v) {
    setText(QString::number(v));
}

void TSpinEdit::setText(const QString& text) {
    shown_ = text; // whatever the program puts in counts as accepted
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

QValidator::State TSpinEdit::validate(QString& input, int&) const {
    // Every way in (keys, paste, drop, input method) ends here. Only the characters the edit
    // brings in are checked, so text the program put in may stay and be edited.
    // They lie between the longest head and the longest tail the input shares with shown_.
    const QChar* first =
        std::mismatch(shown_.cbegin(), shown_.cend(), input.cbegin(), input.cend()).second;
    const qsizetype tailRoom = std::min(shown_.size(), input.size()) - (first - input.cbegin());
    const QChar* last =
        std::mismatch(shown_.crbegin(), shown_.crbegin() + tailRoom, input.crbegin()).second.base();
    const QStringView arrived(first, last);
    return std::all_of(arrived.begin(), arrived.end(), acceptedCharacter) ? QValidator::Acceptable
                                                                          : QValidator::Invalid;
}

void TSpinEdit::fixup(QString&) const {}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        QApplication::beep();
        event->accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        event->ignore();
        return;
    default:
        QAbstractSpinBox::keyPressEvent(event);
    }
}

void TSpinEdit::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
    // Only leaving the field clamps: a box or menu that opens meanwhile takes the focus for a
    // while without the user having left the field.
    const bool left = event->reason() != Qt::ActiveWindowFocusReason &&
                      event->reason() != Qt::PopupFocusReason;
    int v;
    if (left && wholeNumber(v) && (v < minimum_ || v > maximum_))
        setValue(qBound(minimum_, v, maximum_));
    QAbstractSpinBox::focusOutEvent(event);
}
