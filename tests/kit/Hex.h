#pragma once

#include <QByteArray>
#include <QString>

// Hex of a byte string, bytes separated by spaces, upper case ("5A 4A 02").
inline QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
