// The number reader of note texts, project files and the clipboard text:
// leading blanks, an optional sign, then digits up to the first other
// character, like a C decimal conversion. "$" reads hexadecimal digits and
// "%" binary ones, unless only decimal digits are asked for. No digits read
// as 0; values beyond 32 bits saturate.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbel {

// Which digits a number may be written in: the note notation's "$" and "%"
// marks, or decimal digits alone, as a C decimal conversion reads them.
enum class Digits { withRadixMarks, decimalOnly };

std::int32_t readDecimal(std::string_view text, Digits digits = Digits::withRadixMarks);

// How many characters the number takes when written in decimal ("-12" takes 3).
int decimalLength(std::int64_t value);

// a + b kept within the 32-bit range (marks like "+" may be repeated without end).
std::int32_t saturatingAdd(std::int32_t a, std::int64_t b);

}  // namespace nimbel
