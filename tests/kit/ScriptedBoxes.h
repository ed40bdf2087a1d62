#pragma once

#include "main/MessageBoxes.h"

#include <QList>
#include <QString>
#include <QStringList>

// Message boxes for tests: every box is recorded as "kind|title|text" and answered from a
// script (confirmations go on unless told otherwise).
class ScriptedBoxes : public TMessageBoxes {
public:
    enum class Answer { Yes, No, Closed };

    void ShowMessage(const QString& text) override { record("message", ProgramTitle(), text); }
    bool Confirm(const QString& text) override {
        record("confirm", "Confirm", text);
        const Answer a = answers.isEmpty() ? Answer::Yes : answers.takeFirst();
        return a == Answer::Yes;
    }
    void Acknowledge(const QString& text) override { record("acknowledge", "Confirm", text); }
    void ShowError(const QString& text) override {
        record("error", ProgramTitle(), ErrorBoxText(text));
    }

    // Texts of the boxes shown, in order.
    QStringList Texts() const {
        QStringList out;
        for (const QString& s : shown)
            out << s.section('|', 2);
        return out;
    }

    QList<Answer> answers;
    QStringList shown;

private:
    void record(const QString& kind, const QString& title, const QString& text) {
        shown << kind + '|' + title + '|' + text;
    }
};
