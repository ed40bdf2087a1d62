#include "config/IniFile.h"

#include "config/FileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace config {
namespace {

struct Line {
    qsizetype begin; // first byte
    qsizetype end;   // one past the last byte before the line end
    qsizetype next;  // first byte of the next line
};

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// Lines end at LF, CRLF or a lone CR, the last line also at the end of the content.
std::vector<Line> splitLines(const QByteArray& content) {
    std::vector<Line> lines;
    qsizetype begin = 0;
    // A byte-order mark belongs to no line: it is kept, and not read as part of a name.
    if (content.startsWith("\xEF\xBB\xBF"))
        begin = 3;
    while (begin < content.size()) {
        const qsizetype end =
            std::find_if(content.begin() + begin, content.end(), isLineEnd) - content.begin();
        qsizetype next = end;
        if (next < content.size())
            next += content.mid(end, 2) == "\r\n" ? 2 : 1;
        lines.push_back({begin, end, next});
        begin = next;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray trimmed(QByteArray s) {
    qsizetype a = 0, b = s.size();
    while (a < b && isBlank(s[a]))
        ++a;
    while (b > a && isBlank(s[b - 1]))
        --b;
    return s.mid(a, b - a);
}

// A leading U+FEFF is part of a name or value here, not a byte-order mark to drop: a value
// written with one must read back with it. Stateless, so a cut-off sequence at the end becomes
// a replacement character instead of vanishing ("k" and a stray lead byte are not "k").
QString fromUtf8(const QByteArray& bytes) {
    return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom |
                                                    QStringDecoder::Flag::Stateless)(bytes);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The name of a section header line ("[name]", also without the closing bracket); nothing for
// any other line.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = trimmed(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    return trimmed(t.mid(1, close < 0 ? -1 : close - 1));
}

struct KeyLine {
    QByteArray key;
    QByteArray value;
};

bool keyLine(const QByteArray& line, KeyLine& out) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    out.key = trimmed(line.left(eq));
    out.value = trimmed(line.mid(eq + 1));
    return true;
}

QByteArray lineBreakOf(const QByteArray& content) {
    const qsizetype nl = content.indexOf('\n');
    return (nl > 0 && content[nl - 1] == '\r') ? QByteArray("\r\n") : QByteArray("\n");
}

// Where the key sits: the index of its line, or of the section header and the last line that
// belongs to the section (for adding the key).
struct Location {
    int section = -1;
    int lastOfSection = -1;
    int key = -1;
};

Location locate(const QByteArray& content, const std::vector<Line>& lines, const QString& section,
                const QString& key) {
    Location at;
    bool inSection = false;
    for (int i = 0; i < int(lines.size()); ++i) {
        const QByteArray line = content.mid(lines[i].begin, lines[i].end - lines[i].begin);
        if (const auto name = sectionName(line)) {
            if (at.section >= 0)
                break; // the key is written into the first section of that name
            inSection = sameName(fromUtf8(*name), section);
            if (inSection)
                at.section = at.lastOfSection = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!trimmed(line).isEmpty())
            at.lastOfSection = i;
        KeyLine kl;
        if (keyLine(line, kl) && sameName(fromUtf8(kl.key), key)) {
            at.key = i;
            return at;
        }
    }
    return at;
}

bool isUtf16(const QByteArray& content) {
    return content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF");
}

// The file's bytes; empty when there is no file. Nothing when the file exists but cannot be read
// to its end, is larger than any settings file, or is in an encoding this reader does not know:
// a write must never rebuild such a file from what little could be read.
std::optional<QByteArray> fileContent(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QByteArray();
    QFile f(path);
    // Only a plain file holds settings; opening a pipe would also wait for a writer.
    if (!info.isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const qint64 size = f.size();
    if (size > kMaxIniBytes)
        return std::nullopt;
    QByteArray content = f.read(kMaxIniBytes + 1);
    if (f.error() != QFileDevice::NoError || content.size() < size ||
        content.size() > kMaxIniBytes || isUtf16(content))
        return std::nullopt;
    return content;
}

} // namespace

EConfigWrite::EConfigWrite(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

IniDocument::IniDocument(const QByteArray& content) {
    for (const Line& l : splitLines(content)) {
        const QByteArray line = content.mid(l.begin, l.end - l.begin);
        if (const auto name = sectionName(line)) {
            sections_.push_back({fromUtf8(*name), {}});
            continue;
        }
        KeyLine kl;
        if (!sections_.empty() && keyLine(line, kl))
            sections_.back().entries.push_back({fromUtf8(kl.key), kl.value});
    }
}

const IniDocument::Section* IniDocument::first(const QString& section) const {
    for (const Section& s : sections_)
        if (sameName(s.name, section))
            return &s;
    return nullptr;
}

QString IniDocument::Value(const QString& section, const QString& key) const {
    const Section* s = first(section);
    if (!s)
        return {};
    for (const Entry& e : s->entries) {
        if (!sameName(e.key, key))
            continue;
        QByteArray v = e.value;
        // A value in matching quotes is read without them, as private-profile readers do.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return fromUtf8(v).left(kMaxValueLength);
    }
    return {};
}

bool IniDocument::HasSection(const QString& section) const {
    return first(section) != nullptr;
}

int IniDocument::SectionCount(const QString& section) const {
    return int(std::ranges::count_if(sections_,
                                     [&](const Section& s) { return sameName(s.name, section); }));
}

int IniDocument::Count(const QString& section, const QString& key) const {
    int n = 0;
    for (const Section& s : sections_)
        if (sameName(s.name, section))
            n += int(std::ranges::count_if(s.entries,
                                           [&](const Entry& e) { return sameName(e.key, key); }));
    return n;
}

QString IniValue(const QByteArray& content, const QString& section, const QString& key) {
    return IniDocument(content).Value(section, key);
}

QByteArray IniWithValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value) {
    const std::vector<Line> lines = splitLines(content);
    const Location at = locate(content, lines, section, key);
    const QByteArray eol = lineBreakOf(content);
    QByteArray out = content;
    if (at.key >= 0) {
        // Only the value changes: the name keeps the file's spelling, the blanks stay.
        const Line& l = lines[size_t(at.key)];
        const QByteArray line = content.mid(l.begin, l.end - l.begin);
        qsizetype from = line.indexOf('=') + 1, to = line.size();
        while (from < to && isBlank(line[from]))
            ++from;
        while (to > from && isBlank(line[to - 1]))
            --to;
        return out.replace(l.begin + from, to - from, value.toUtf8());
    }
    const QByteArray entry = (key.trimmed() + '=' + value).toUtf8();
    if (at.section >= 0) {
        const Line& l = lines[size_t(at.lastOfSection)];
        const bool hasBreak = l.next > l.end;
        return out.insert(l.next, hasBreak ? entry + eol : eol + entry);
    }
    if (!lines.empty() && lines.back().next == lines.back().end)
        out += eol;
    return out + '[' + section.toUtf8() + ']' + eol + entry + eol;
}

QString ReadIniString(const QString& path, const QString& section, const QString& key) {
    const std::optional<QByteArray> content = fileContent(path);
    return content ? IniValue(*content, section, key) : QString();
}

IniDocument ReadIniDocument(const QString& path) {
    return IniDocument(fileContent(path).value_or(QByteArray()));
}

void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value) {
    const std::optional<QByteArray> old = fileContent(path);
    if (!old)
        throw EConfigWrite(path);
    // Read-only by its mode means read-only, also for root, as a read-only file is on the
    // systems these files come from.
    const int fd = OpenUserFile(path, O_PATH);
    struct stat st {};
    const bool readOnly = fd >= 0 && (::fstat(fd, &st) != 0 || !(st.st_mode & S_IWUSR));
    if (fd >= 0)
        ::close(fd);
    if (readOnly || (fd < 0 && errno != ENOENT) ||
        ReplaceUserFile(path, IniWithValue(*old, section, key, value), ExistingOwner::Kept) != 0)
        throw EConfigWrite(path);
}

} // namespace config
