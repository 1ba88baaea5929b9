// The saver's text and number rules. Texts are byte strings in the system's
// 8-bit code page; positions count bytes from 1.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace conv {

// Upper-cases the ASCII letters a to z; every other byte stays as it is.
std::string UpperCase(std::string_view text);

// `length` characters from position `start` (1-based); what lies beyond the end is left out.
std::string Mid(std::string_view text, std::size_t start, std::size_t length = std::string_view::npos);
std::string Right(std::string_view text, std::size_t count);

// The number at the start of a text: leading blanks skipped, then a sign,
// digits, a decimal point and an exponent as far as they continue a number.
// No number gives 0. A value beyond the range of a double gives +-infinity.
double LeadingNumber(std::string_view text);

// True when the whole text, blanks around it aside, is one decimal number.
bool IsNumeric(std::string_view text);

// The text read strictly as a number (blanks around it allowed); nothing when
// it is not one number or lies beyond the range of a double.
std::optional<double> ParseNumber(std::string_view text);

// The number as text with a leading blank when it is not negative (" 2", "-1").
std::string NumberText(std::int64_t value);

// The number formatted with the pattern "##": no leading zeros, 0 gives "".
std::string FormatDigits(std::int64_t value);

// Rounds to the nearest integer, a half going to the even neighbour; nothing
// when the result is out of range or the value is not a number.
std::optional<std::int16_t> RoundToInt16(double value);
std::optional<std::int32_t> RoundToInt32(double value);

// Decimal text without a leading blank ("3", "-1").
std::string Decimal(std::int64_t value);

}  // namespace conv
