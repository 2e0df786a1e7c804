#include "storage/value_conversion.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

namespace chanwright {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Checks the whole text against the number grammar, so that from_chars never sees "inf", hex or
// trailing garbage.
bool IsDecimalNumber(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < t.size() && IsDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        while (i < t.size() && IsDigit(t[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    return i == t.size();
}

}  // namespace

std::optional<double> ToNumber(std::string_view text) {
    if (!IsDecimalNumber(text))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int16_t> RoundToInt16(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);  // the default rounding mode: half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<int16_t>(rounded);
}

std::optional<int16_t> ToInt16(std::string_view text) {
    const std::optional<double> number = ToNumber(text);
    if (!number)
        return std::nullopt;
    return RoundToInt16(*number);
}

std::optional<Bool16> ToBool16(std::string_view text) {
    if (EqualsNoCase(text, "True"))
        return kTrue;
    if (EqualsNoCase(text, "False"))
        return kFalse;
    const std::optional<double> number = ToNumber(text);
    if (!number)
        return std::nullopt;
    return *number != 0.0 ? kTrue : kFalse;
}

}  // namespace chanwright
