#include "config/IniFile.h"

#include <QFile>
#include <QFileInfo>

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

std::vector<Line> splitLines(const QByteArray& content) {
    std::vector<Line> lines;
    qsizetype begin = 0;
    // A byte-order mark belongs to no line: it is kept, and not read as part of a name.
    if (content.startsWith("\xEF\xBB\xBF"))
        begin = 3;
    while (begin < content.size()) {
        qsizetype nl = content.indexOf('\n', begin);
        const qsizetype next = nl < 0 ? content.size() : nl + 1;
        qsizetype end = nl < 0 ? content.size() : nl;
        if (end > begin && content[end - 1] == '\r')
            --end;
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

bool sameName(const QByteArray& a, const QString& b) {
    return QString::fromUtf8(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
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
            inSection = sameName(*name, section);
            if (inSection)
                at.section = at.lastOfSection = i;
            continue;
        }
        if (!inSection)
            continue;
        if (!trimmed(line).isEmpty())
            at.lastOfSection = i;
        KeyLine kl;
        if (keyLine(line, kl) && sameName(kl.key, key)) {
            at.key = i;
            return at;
        }
    }
    return at;
}

QByteArray readAll(const QString& path, bool& exists) {
    QFile f(path);
    exists = f.exists();
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

EConfigWrite::EConfigWrite(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

QString IniValue(const QByteArray& content, const QString& section, const QString& key) {
    bool inSection = false;
    for (const Line& l : splitLines(content)) {
        const QByteArray line = content.mid(l.begin, l.end - l.begin);
        if (const auto name = sectionName(line)) {
            inSection = sameName(*name, section);
            continue;
        }
        KeyLine kl;
        if (!inSection || !keyLine(line, kl) || !sameName(kl.key, key))
            continue;
        QByteArray v = kl.value;
        // A value in matching quotes is read without them, as private-profile readers do.
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        return QString::fromUtf8(v).left(kMaxValueLength);
    }
    return {};
}

QByteArray IniWithValue(const QByteArray& content, const QString& section, const QString& key,
                        const QString& value) {
    const std::vector<Line> lines = splitLines(content);
    const Location at = locate(content, lines, section, key);
    const QByteArray eol = lineBreakOf(content);
    const QByteArray entry = (key.trimmed() + '=' + value).toUtf8();
    QByteArray out = content;
    if (at.key >= 0) {
        const Line& l = lines[size_t(at.key)];
        return out.replace(l.begin, l.end - l.begin, entry);
    }
    if (at.section >= 0) {
        const Line& l = lines[size_t(at.lastOfSection)];
        const bool hasBreak = l.next > l.end;
        return out.insert(l.next, hasBreak ? entry + eol : eol + entry);
    }
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += eol;
    return out + '[' + section.toUtf8() + ']' + eol + entry + eol;
}

QString ReadIniString(const QString& path, const QString& section, const QString& key) {
    bool exists = false;
    return IniValue(readAll(path, exists), section, key);
}

void WriteIniString(const QString& path, const QString& section, const QString& key,
                    const QString& value) {
    bool exists = false;
    const QByteArray old = readAll(path, exists);
    const QString target = exists ? QFileInfo(path).canonicalFilePath() : path;
    const QByteArray encoded = QFile::encodeName(target);

    mode_t mode = 0666 & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    if (exists) {
        struct stat st {};
        // Read-only by its mode means read-only, also for root, as a read-only file is on
        // the systems these files come from.
        if (::stat(encoded.constData(), &st) != 0 || !(st.st_mode & S_IWUSR) ||
            ::access(encoded.constData(), W_OK) != 0)
            throw EConfigWrite(path);
        mode = st.st_mode & 07777;
    }

    const QByteArray content = IniWithValue(old, section, key, value);
    QByteArray temp = encoded + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throw EConfigWrite(path);
    bool ok = ::fchmod(fd, mode) == 0;
    for (qsizetype done = 0; ok && done < content.size();) {
        const ssize_t n = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.constData(), encoded.constData()) == 0;
    if (!ok) {
        ::unlink(temp.constData());
        throw EConfigWrite(path);
    }
}

} // namespace config
