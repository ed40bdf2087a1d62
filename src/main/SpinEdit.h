#pragma once

#include <QAbstractSpinBox>

// An integer field with up and down arrows, as the parameter fields need it:
// - typing takes digits, "+", "-", the decimal separator and control keys other than Enter;
//   any other character is refused with a beep, whether typed, pasted, dropped or committed by
//   an input method;
// - the arrows (buttons and keys) step from the current value and clamp to the range; text
//   that is not a whole number counts as the minimum. Nothing else steps: not the mouse wheel,
//   not PageUp or PageDown;
// - leaving the field clamps a whole number to the range and leaves any other text alone;
// - text set by the program is shown exactly as set, also outside the range.
class TSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    explicit TSpinEdit(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    void setMinimum(int v) { minimum_ = v; }
    int maximum() const { return maximum_; }
    void setMaximum(int v) { maximum_ = v; }
    int singleStep() const { return step_; }
    void setSingleStep(int v) { step_ = v; }

    // The whole number shown, or the minimum when the text is not one.
    int value() const;
    void setValue(int v);
    void setText(const QString& text);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool wholeNumber(int& out) const;

    QString shown_; // the text as last accepted: what an edit changes is checked against it

    int minimum_ = 0;
    int maximum_ = 100;
    int step_ = 1;
};
