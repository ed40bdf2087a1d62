#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

// A field text that is not an integer.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& text);
};

// Converts a field text: optional leading blanks, an optional sign, then decimal digits or
// hexadecimal after "$" or "0x"; the value must fit a signed 32-bit integer. Anything else,
// the empty text included, raises EConvertError.
int32_t StrToInt(const QString& text);
// The same reading, with none for a text that is not an integer.
std::optional<int32_t> TryStrToInt(const QString& text);

// Nearest integer, a half going to the even neighbour.
int64_t RoundHalfEven(double value);
