#include "protocol/MessageBoxes.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ProgramTitle() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString stem = name.section('.', 0, 0);
    if (stem.isEmpty())
        return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.'))
        return message + '.';
    return message;
}
