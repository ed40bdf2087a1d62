#include "protocol/IntText.h"

#include <cmath>

EConvertError::EConvertError(const QString& text)
    : std::runtime_error(
          QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString()) {}

std::optional<int32_t> TryStrToInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > int64_t(UINT32_MAX))
            return std::nullopt;
    }
    if (negative)
        value = -value;
    // Hexadecimal is a value like any other: 0xFFFFFFFF does not fit, it is not -1.
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return int32_t(value);
}

int32_t StrToInt(const QString& text) {
    if (const std::optional<int32_t> value = TryStrToInt(text))
        return *value;
    throw EConvertError(text);
}

int64_t RoundHalfEven(double value) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return static_cast<int64_t>(std::nearbyint(value));
}
