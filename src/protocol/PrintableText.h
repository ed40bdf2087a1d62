#pragma once

#include <QByteArray>
#include <QString>

// Bytes from outside (the splicer's texts, a command line) as one line of text that cannot
// steer a terminal or a file name: valid UTF-8 that prints stays as it is; every byte of a
// control character (C0, DEL, C1), of a line or paragraph separator, of a format or unassigned
// character, and every byte that is not valid UTF-8 becomes \xHH; a backslash becomes \\, so
// the text reads back unambiguously.
QString PrintableText(const QByteArray& bytes);
