#include "conversions.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace conv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `text` that is a decimal number, 0 if none.
std::size_t NumberLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

std::string_view SkipLeadingBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::string_view Trim(std::string_view text)
{
    text = SkipLeadingBlanks(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

double ToDouble(std::string_view number)
{
    const std::string copy(number);
    return std::strtod(copy.c_str(), nullptr);
}

// Rounds half to even, whatever rounding mode the process runs in.
double RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) return floor + 1.0;
    if (fraction < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template <typename Int>
std::optional<Int> RoundTo(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

}  // namespace

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string Mid(std::string_view text, std::size_t start, std::size_t length)
{
    if (start < 1 || start > text.size()) return {};
    return std::string(text.substr(start - 1, length));
}

std::string Right(std::string_view text, std::size_t count)
{
    if (count >= text.size()) return std::string(text);
    return std::string(text.substr(text.size() - count));
}

double LeadingNumber(std::string_view text)
{
    text = SkipLeadingBlanks(text);
    const std::size_t length = NumberLength(text);
    return length == 0 ? 0.0 : ToDouble(text.substr(0, length));
}

bool IsNumeric(std::string_view text)
{
    return ParseNumber(text).has_value();
}

std::optional<double> ParseNumber(std::string_view text)
{
    text = Trim(text);
    const std::size_t length = NumberLength(text);
    if (length == 0 || length != text.size()) return std::nullopt;
    const double value = ToDouble(text);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::string Decimal(std::int64_t value)
{
    return std::to_string(value);
}

std::string NumberText(std::int64_t value)
{
    std::string text = value < 0 ? "" : " ";
    text += Decimal(value);
    return text;
}

std::string FormatDigits(std::int64_t value)
{
    return value == 0 ? std::string() : Decimal(value);
}

std::optional<std::int16_t> RoundToInt16(double value) { return RoundTo<std::int16_t>(value); }
std::optional<std::int32_t> RoundToInt32(double value) { return RoundTo<std::int32_t>(value); }

}  // namespace conv
