#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "conversions.h"

using namespace conv;

TEST(Conversions, UpperCaseTouchesOnlyAsciiLetters)
{
    // Bytes beyond ASCII stay as they are.
    const std::pair<const char*, const char*> rows[] = {{"song.Mp3", "SONG.MP3"}, {"/s", "/S"}, {"", ""}, {"caf\xE9", "CAF\xE9"}};
    for (const auto& [text, upper] : rows) EXPECT_EQ(UpperCase(text), upper) << text;
}

TEST(Conversions, CharactersByPosition)
{
    EXPECT_EQ(Mid("/p 1234", 2, 1), "p");
    EXPECT_EQ(Mid("/p 1234", 4), "1234");
    EXPECT_EQ(Mid("/p", 4), "");
    EXPECT_EQ(Mid("s", 2, 1), "");
    EXPECT_EQ(Mid("abc", 0, 1), "");
    EXPECT_EQ(Right("song.wav", 3), "wav");
    EXPECT_EQ(Right("ab", 3), "ab");
}

TEST(Conversions, LeadingNumber)
{
    // A colon cannot start a number; an exponent without digits does not continue it.
    const std::pair<const char*, double> rows[] = {
        {"1234", 1234}, {"   1234", 1234}, {" 234abc", 234}, {":1234", 0}, {"", 0},     {"abc", 0},
        {"-12.5x", -12.5}, {"+7", 7},     {".5", 0.5},      {"2e3", 2000}, {"2e", 2},  {"2e+", 2},
        {"1.5E-1z", 0.15}, {"-", 0},      {"12 34", 12}};
    for (const auto& [text, number] : rows) EXPECT_EQ(LeadingNumber(text), number) << text;
    EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
}

TEST(Conversions, StrictNumbers)
{
    // " 2": the leading blank of the stored form.
    const std::pair<const char*, std::optional<double>> rows[] = {
        {"2.7", 2.7},          {" 2", 2},           {"-0.5", -0.5},       {"1e3", 1000},        {" 7 ", 7},
        {"abc", std::nullopt}, {"", std::nullopt},  {"   ", std::nullopt}, {"2x", std::nullopt}, {"1 2", std::nullopt},
        {".", std::nullopt},   {"1e999", std::nullopt}};
    for (const auto& [text, number] : rows) EXPECT_EQ(ParseNumber(text), number) << text;
    EXPECT_TRUE(IsNumeric("40000"));
    EXPECT_TRUE(IsNumeric("-3.25"));
    EXPECT_FALSE(IsNumeric("3:04"));
}

TEST(Conversions, NumberTextAndPattern)
{
    const std::pair<std::int64_t, const char*> texts[] = {{0, " 0"}, {2, " 2"}, {-1, "-1"}, {32767, " 32767"}, {-32768, "-32768"}};
    for (const auto& [value, text] : texts) EXPECT_EQ(NumberText(value), text) << value;
    const std::pair<std::int64_t, const char*> digits[] = {{0, ""}, {1, "1"}, {30, "30"}, {-5, "-5"}};
    for (const auto& [value, text] : digits) EXPECT_EQ(FormatDigits(value), text) << value;
    EXPECT_EQ(Decimal(3), "3");
}

TEST(Conversions, RoundingHalvesGoToTheEvenNeighbour)
{
    const std::pair<double, std::optional<std::int16_t>> rows[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},      {-0.5, 0},
                                                                   {-1.5, -2}, {-2.5, -2}, {2.4999, 2},   {2.5001, 3}};
    for (const auto& [value, rounded] : rows) EXPECT_EQ(RoundToInt16(value), rounded) << value;
    EXPECT_EQ(RoundToInt32(1234.0), 1234);
    EXPECT_EQ(RoundToInt32(2147483646.5), 2147483646);
}

// 32767.5 rounds to 32768: out of range; -32768.5 to the even neighbour -32768, in range.
TEST(Conversions, RoundingOutOfRangeFails)
{
    const std::pair<double, std::optional<std::int16_t>> narrow[] = {
        {32767, 32767}, {32767.4, 32767},  {32767.5, std::nullopt}, {32768, std::nullopt},
        {-32768, -32768}, {-32768.5, -32768}, {-32769, std::nullopt}, {40000, std::nullopt}};
    for (const auto& [value, rounded] : narrow) EXPECT_EQ(RoundToInt16(value), rounded) << value;
    const std::pair<double, std::optional<std::int32_t>> wide[] = {
        {2147483647.0, 2147483647}, {2147483647.5, std::nullopt},  {2147483648.0, std::nullopt},
        {-2147483648.0, INT32_MIN}, {-2147483648.5, INT32_MIN},    {-2147483649.0, std::nullopt},
        {1e300, std::nullopt},      {std::nan(""), std::nullopt},  {INFINITY, std::nullopt}};
    for (const auto& [value, rounded] : wide) EXPECT_EQ(RoundToInt32(value), rounded) << value;
}
