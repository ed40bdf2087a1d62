#pragma once

#include "protocol/MessageBoxes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <limits>

// Message boxes for tests: every box is recorded as "kind|title|text" and answered from a
// script (confirmations go on unless told otherwise; Closed is the title-bar close button).
class ScriptedBoxes : public TMessageBoxes {
public:
    void ShowMessage(const QString& text) override { record("message", ProgramTitle(), text); }
    Answer Ask(const QString& text) override {
        record("confirm", "Confirm", text);
        return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
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
    // When set, every box stays open in an event loop of its own, as a modal box does, until
    // everything posted before it has been handled; then whileOpen runs and the box is answered.
    std::function<void()> whileOpen;

private:
    // Runs a function when an event reaches it.
    class Call : public QObject {
    public:
        explicit Call(std::function<void()> f) : f_(std::move(f)) {}
        bool event(QEvent*) override {
            f_();
            return true;
        }

    private:
        std::function<void()> f_;
    };

    void record(const QString& kind, const QString& title, const QString& text) {
        shown << kind + '|' + title + '|' + text;
        if (!whileOpen)
            return;
        QEventLoop loop;
        Call last([&] {
            whileOpen();
            loop.quit();
        });
        QCoreApplication::postEvent(&last, new QEvent(QEvent::User),
                                    std::numeric_limits<int>::min());
        loop.exec();
    }
};
