#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace config {

// A write the file system refused; the text names the file.
class EConfigWrite : public std::runtime_error {
public:
    explicit EConfigWrite(const QString& path);
};

// Private-profile INI semantics on a byte buffer: section and key names match without regard to
// ASCII letter case, blanks around names and values do not count, the first match wins. Lines
// end at LF, CRLF or a lone CR.
QString IniValue(const QByteArray& content, const QString& section, const QString& key);
// The content with the key set: replaced where it stands, added at the end of its section, or
// added with a new section at the end. Every other byte stays as it was.
QByteArray IniWithValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value);

// One access each: open, read or write, close. Nothing is cached. A file that exists but cannot
// be read to its end, or is in UTF-16, reads as empty.
QString ReadIniString(const QString& path, const QString& section, const QString& key);
// Replaces the file in one step (a new file renamed over the old one, with its owner, group and
// permissions), so a failure never leaves it half written. Raises EConfigWrite when the file is
// read-only or unreadable as above, or the file system refuses.
void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value);

// Values are read up to this many characters.
inline constexpr int kMaxValueLength = 2047;

} // namespace config
