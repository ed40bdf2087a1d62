#include "main/WindowGuards.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

void HidePageFromUser(QTabWidget& pages, QWidget& page) {
    const int index = pages.indexOf(&page);
    pages.setTabVisible(index, false);
    // Keyboard and wheel switching skip only disabled tabs. The tab bar's own switch leaves the
    // page itself enabled, as code that shows it needs it.
    pages.tabBar()->setTabEnabled(index, false);
}

void KeepListToItems(QComboBox& list) {
    list.setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(&list, &QComboBox::editTextChanged, &list, [&list](const QString& text) {
        const int shown = list.findText(text, Qt::MatchExactly);
        if (shown == list.currentIndex())
            return;
        // Changing the index puts the item's text (none for -1) in place of what was typed.
        QLineEdit* edit = list.lineEdit();
        const int cursor = edit->cursorPosition();
        list.setCurrentIndex(shown);
        edit->setText(text);
        edit->setCursorPosition(cursor);
    });
}
