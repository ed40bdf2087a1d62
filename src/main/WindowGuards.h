#pragma once

class QComboBox;
class QTabWidget;
class QWidget;

// Keeps a page in the page control but out of the user's reach: it has no tab, and switching
// pages by keyboard or mouse wheel passes it by. Code may still show it.
void HidePageFromUser(QTabWidget& pages, QWidget& page);

// Keeps an editable list to its items: typing adds none, and the current index is always the
// item whose text is shown, or -1 when the text is none of them.
void KeepListToItems(QComboBox& list);
