// The saver's number rules: the leading number of a text, a strict number,
// rounding to 16 and 32 bits, and the number texts it writes.
#include <cmath>
#include <cstring>

#include "conversions.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = TextOf(data, size);
    const double leading = conv::LeadingNumber(text);
    FUZZ_CHECK(!std::isnan(leading), "a leading number is never NaN: " + Shown(text));
    const auto strict = conv::ParseNumber(text);
    if (strict) FUZZ_CHECK(std::isfinite(*strict), "a strict number is finite: " + Shown(text));
    (void)conv::IsNumeric(text);
    for (const double value : {leading, strict.value_or(0.0)}) {
        if (const auto small = conv::RoundToInt16(value))
            FUZZ_CHECK(std::fabs(*small - value) <= 0.5, "rounded to the nearest 16-bit integer");
        if (const auto wide = conv::RoundToInt32(value))
            FUZZ_CHECK(std::fabs(*wide - value) <= 0.5, "rounded to the nearest 32-bit integer");
    }
    // What the saver writes reads back as the same number.
    if (size >= 8) {
        std::int64_t n;
        std::memcpy(&n, data, sizeof n);
        n %= std::int64_t{1} << 53;  // exact as a double
        for (const std::string& written : {conv::NumberText(n), conv::Decimal(n)}) {
            const auto back = conv::ParseNumber(written);
            FUZZ_CHECK(back && *back == static_cast<double>(n), "number text reads back: " + written);
        }
        const std::string digits = conv::FormatDigits(n);
        if (n > 0) FUZZ_CHECK(conv::ParseNumber(digits) == static_cast<double>(n), "digits read back: " + digits);
        if (n == 0) FUZZ_CHECK(digits.empty(), "0 formats as nothing");
    }
    return 0;
}
