#include "protocol/PrintableText.h"


#include <QChar>

namespace {

// The length of the well-formed UTF-8 sequence at bytes[i] and its code point, or 0 when none
// starts there (overlong forms, surrogates and values above U+10FFFF are not well formed).
int utf8Sequence(const QByteArray& bytes, qsizetype i, char32_t& codePoint) {
    const auto byte = [&](qsizetype k) { return uint8_t(bytes[k]); };
    const uint8_t lead = byte(i);
    const int length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    if (length == 0 || i + length > bytes.size())
        return 0;
    codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < least[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

bool shownAsItIs(char32_t c) {
    return QChar::isPrint(c) && c != '\\' && QChar::category(c) != QChar::Separator_Line &&
           QChar::category(c) != QChar::Separator_Paragraph;
}

} // namespace

QString PrintableText(const QByteArray& bytes) {
    QString text;
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t c = 0;
        const int length = utf8Sequence(bytes, i, c);
        if (length > 0 && shownAsItIs(c)) {
            text += QString::fromUcs4(&c, 1);
        } else if (length == 1 && c == '\\') {
            text += QStringLiteral("\\\\");
        } else {
            for (int k = 0; k < qMax(length, 1); ++k)
                text += QString::asprintf("\\x%02X", unsigned(uint8_t(bytes[i + k])));
        }
        i += qMax(length, 1);
    }
    return text;
}
