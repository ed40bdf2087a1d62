// StrToInt agrees with a plain reading of the rule: optional leading blanks, an optional sign,
// then decimal digits, or hexadecimal digits after "$" or "0x"; the value must fit a signed
// 32-bit integer. Anything else is refused with the conversion error naming the text.
#include "fuzz/Property.h"
#include "protocol/IntText.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

int digitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return 16;
}

std::optional<int32_t> reference(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const QString prefix = text.mid(i, 2);
    const int base = prefix.startsWith(u'$') || prefix == u"0x" || prefix == u"0X" ? 16 : 10;
    if (base == 16)
        i += prefix.startsWith(u'$') ? 1 : 2;
    if (i == text.size())
        return std::nullopt;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (digitValue(text[i]) >= base)
            return std::nullopt;
        magnitude = std::min<int64_t>(magnitude * base + digitValue(text[i]), INT64_C(1) << 32);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<int32_t> expected = reference(text);
    try {
        const int32_t got = StrToInt(text);
        Require(expected == got, "accepted only what the rule accepts, with its value");
    } catch (const EConvertError& e) {
        Require(!expected, "refused only what the rule refuses");
        const QString message = "'" + text + "' is not a valid integer value";
        // what() ends at the first NUL the text may hold.
        Require(std::strcmp(e.what(), message.toUtf8().constData()) == 0,
                "the refusal names the text");
    }
    return 0;
}
