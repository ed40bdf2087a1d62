// A random file and a random write: every line outside the written key stays byte for byte, every
// other key reads as before, the written key reads back its value, and a read never fails.
#include "fuzz/Property.h"
#include "config/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArrayList>
#include <QStringList>

using namespace config;

namespace {

// Printable ASCII that a line can hold as a name, never empty.
QString name(FuzzedDataProvider& input, char forbidden) {
    QString s;
    for (const char c : input.ConsumeRandomLengthString(8))
        if (c >= ' ' && c < 127 && c != forbidden)
            s += QLatin1Char(c);
    s = s.trimmed();
    return s.isEmpty() || s.startsWith('[') ? QStringLiteral("k") + s : s;
}

bool sameName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The lines without their line breaks: LF, CR LF or a lone CR. A byte-order mark that opens
// the file belongs to no line.
QByteArrayList lines(QByteArray text) {
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    text.replace("\r\n", "\n").replace('\r', '\n');
    QByteArrayList out = text.split('\n');
    if (text.isEmpty() || text.endsWith('\n'))
        out.removeLast(); // nothing follows the last line break
    return out;
}

// What may change: at most one line, the key's own, gets the new value, or the entry is added,
// with a header when its section is new.
bool onlyTheKeysLine(const QByteArray& before, const QByteArray& after, const QString& section,
                     const QString& key, const QByteArray& entry) {
    const QByteArrayList was = lines(before), is = lines(after);
    qsizetype head = 0, tail = 0;
    while (head < was.size() && head < is.size() && was[head] == is[head])
        ++head;
    while (tail < was.size() - head && tail < is.size() - head &&
           was[was.size() - 1 - tail] == is[is.size() - 1 - tail])
        ++tail;
    const QByteArrayList removed = was.mid(head, was.size() - head - tail);
    const QByteArrayList added = is.mid(head, is.size() - head - tail);
    if (removed.size() == 1) {
        // The key's line keeps its name as the file spells it and the blanks around the value;
        // only the value between them is new.
        const QByteArray& old = removed[0];
        const qsizetype equals = old.indexOf('=');
        if (equals < 0 || !sameName(QString::fromUtf8(old.left(equals)), key) || added.size() != 1)
            return false;
        const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
        qsizetype from = equals + 1, to = old.size();
        while (from < to && isBlank(old[from]))
            ++from;
        while (to > from && isBlank(old[to - 1]))
            --to;
        const QByteArray value = entry.mid(entry.indexOf('=') + 1);
        return added[0] == old.left(from) + value + old.mid(to);
    }
    const QByteArray header = '[' + section.toUtf8() + ']';
    return removed.isEmpty() && (added.isEmpty() || added == QByteArrayList{entry} ||
                                 added == QByteArrayList{header, entry});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QString section = name(input, ']');
    const QString key = name(input, '=');
    QString value = QString::fromUtf8(input.ConsumeRandomLengthString(64));
    value = value.remove('\r').remove('\n').trimmed();
    if (value.startsWith('"') || value.startsWith('\''))
        value.prepend('v'); // a value in quotes reads back without them
    const QByteArray before = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());

    const QByteArray after = IniWithValue(before, section, key, value);
    Require(onlyTheKeysLine(before, after, section, key, (key.trimmed() + '=' + value).toUtf8()),
            "every line outside the key kept");

    QStringList sections{section}, keys{key};
    for (const QByteArray& raw : lines(before)) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('['))
            sections << QString::fromUtf8(line.mid(1, line.indexOf(']') - 1));
        else if (line.contains('='))
            keys << QString::fromUtf8(line.left(line.indexOf('=')));
    }
    for (const QString& s : sections.mid(0, 6))
        for (const QString& k : keys.mid(0, 6)) {
            const QString was = IniValue(before, s, k), is = IniValue(after, s, k);
            Require(was.size() <= kMaxValueLength && is.size() <= kMaxValueLength, "read bounded");
            if (sameName(s, section) && sameName(k, key))
                Require(is == value, "the value reads back");
            else
                Require(is == was, "other keys read as before");
        }
    return 0;
}
