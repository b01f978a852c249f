#include "decimal_reader.h"

#include <algorithm>
#include <limits>

namespace nimbel {

namespace {

int digitValue(char c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    return v < base ? v : -1;
}

}  // namespace

std::int32_t readDecimal(std::string_view text, Digits digits)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (digits == Digits::withRadixMarks && i < text.size() && text[i] == '$') base = 16, ++i;
    else if (digits == Digits::withRadixMarks && i < text.size() && text[i] == '%') base = 2, ++i;

    // Accumulate in 64 bits and stop growing once past the 32-bit range.
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digitValue(text[i], base);
        if (d < 0) break;
        value = std::min(value * base + d, limit);
    }
    if (negative) value = -value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

int decimalLength(std::int64_t value)
{
    int length = value < 0 ? 2 : 1;
    for (std::uint64_t v = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
         v >= 10; v /= 10)
        ++length;
    return length;
}

std::int32_t saturatingAdd(std::int32_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{a} + b, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace nimbel
