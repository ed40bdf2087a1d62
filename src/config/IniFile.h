#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>
#include <vector>

namespace config {

// A write the file system refused; the text names the file.
class EConfigWrite : public std::runtime_error {
public:
    explicit EConfigWrite(const QString& path);
};

// Private-profile INI semantics on a byte buffer: section and key names match without regard to
// ASCII letter case, blanks around names and values do not count, the first match wins. Lines
// end at LF, CRLF or a lone CR. A section written twice is read from its first occurrence only,
// where writes go too; the repeats are kept but not read.
class IniDocument {
public:
    // Splits and decodes the content once, for any number of reads.
    explicit IniDocument(const QByteArray& content);

    // The key's value in the first section of that name; "" when either is missing.
    QString Value(const QString& section, const QString& key) const;
    bool HasSection(const QString& section) const;
    // How often a section of that name stands in the content.
    int SectionCount(const QString& section) const;
    // How often the key stands in the sections of that name, repeats of the section included.
    int Count(const QString& section, const QString& key) const;

private:
    struct Entry {
        QString key;
        QByteArray value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
    };
    const Section* first(const QString& section) const;

    std::vector<Section> sections_;
};

QString IniValue(const QByteArray& content, const QString& section, const QString& key);
// The content with the key set: replaced where it stands, added at the end of its section, or
// added with a new section at the end. Every other byte stays as it was.
QByteArray IniWithValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value);

// One access each: open, read or write, close. Nothing is cached. A file that exists but cannot
// be read to its end, is larger than kMaxIniBytes, or is in UTF-16, reads as empty.
QString ReadIniString(const QString& path, const QString& section, const QString& key);
// The file read once, for several reads of one operation; empty as above.
IniDocument ReadIniDocument(const QString& path);
// Replaces the file in one step as ReplaceUserFile does (FileWrite.h: no link followed, owner,
// group and permissions kept), so a failure never leaves it half written. Raises EConfigWrite
// when the file is read-only or unreadable as above, or the file system refuses.
void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value);

// No settings or parameter file is larger: a larger one is not read at all.
inline constexpr qint64 kMaxIniBytes = 1 << 20;

// Values are read up to this many characters.
inline constexpr int kMaxValueLength = 2047;

} // namespace config
