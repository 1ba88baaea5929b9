#include <gtest/gtest.h>

#include <cmath>

#include "conversions.h"

using namespace conv;

TEST(Conversions, UpperCaseTouchesOnlyAsciiLetters)
{
    EXPECT_EQ(UpperCase("song.Mp3"), "SONG.MP3");
    EXPECT_EQ(UpperCase("/s"), "/S");
    EXPECT_EQ(UpperCase(""), "");
    EXPECT_EQ(UpperCase("caf\xE9"), "CAF\xE9") << "bytes beyond ASCII stay as they are";
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
    EXPECT_EQ(LeadingNumber("1234"), 1234);
    EXPECT_EQ(LeadingNumber("   1234"), 1234);
    EXPECT_EQ(LeadingNumber(" 234abc"), 234);
    EXPECT_EQ(LeadingNumber(":1234"), 0) << "a colon cannot start a number";
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("-12.5x"), -12.5);
    EXPECT_EQ(LeadingNumber("+7"), 7);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("2e3"), 2000);
    EXPECT_EQ(LeadingNumber("2e"), 2) << "an exponent without digits does not continue the number";
    EXPECT_EQ(LeadingNumber("2e+"), 2);
    EXPECT_EQ(LeadingNumber("1.5E-1z"), 0.15);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("12 34"), 12);
    EXPECT_TRUE(std::isinf(LeadingNumber("1e999")));
}

TEST(Conversions, StrictNumbers)
{
    EXPECT_EQ(ParseNumber("2.7"), 2.7);
    EXPECT_EQ(ParseNumber(" 2"), 2) << "the leading blank of the stored form";
    EXPECT_EQ(ParseNumber("-0.5"), -0.5);
    EXPECT_EQ(ParseNumber("1e3"), 1000);
    EXPECT_EQ(ParseNumber(" 7 "), 7);
    EXPECT_FALSE(ParseNumber("abc"));
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("   "));
    EXPECT_FALSE(ParseNumber("2x"));
    EXPECT_FALSE(ParseNumber("1 2"));
    EXPECT_FALSE(ParseNumber("."));
    EXPECT_FALSE(ParseNumber("1e999"));
    EXPECT_TRUE(IsNumeric("40000"));
    EXPECT_TRUE(IsNumeric("-3.25"));
    EXPECT_FALSE(IsNumeric("3:04"));
}

TEST(Conversions, NumberTextAndPattern)
{
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(2), " 2");
    EXPECT_EQ(NumberText(-1), "-1");
    EXPECT_EQ(NumberText(32767), " 32767");
    EXPECT_EQ(NumberText(-32768), "-32768");
    EXPECT_EQ(FormatDigits(0), "");
    EXPECT_EQ(FormatDigits(1), "1");
    EXPECT_EQ(FormatDigits(30), "30");
    EXPECT_EQ(FormatDigits(-5), "-5");
    EXPECT_EQ(Decimal(3), "3");
}

TEST(Conversions, RoundingHalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundToInt16(0.5), 0);
    EXPECT_EQ(RoundToInt16(1.5), 2);
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(-0.5), 0);
    EXPECT_EQ(RoundToInt16(-1.5), -2);
    EXPECT_EQ(RoundToInt16(-2.5), -2);
    EXPECT_EQ(RoundToInt16(2.4999), 2);
    EXPECT_EQ(RoundToInt16(2.5001), 3);
    EXPECT_EQ(RoundToInt32(1234.0), 1234);
    EXPECT_EQ(RoundToInt32(2147483646.5), 2147483646);
}

TEST(Conversions, RoundingOutOfRangeFails)
{
    EXPECT_EQ(RoundToInt16(32767), 32767);
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_FALSE(RoundToInt16(32767.5)) << "rounds to 32768";
    EXPECT_FALSE(RoundToInt16(32768));
    EXPECT_EQ(RoundToInt16(-32768), -32768);
    EXPECT_EQ(RoundToInt16(-32768.5), -32768) << "the even neighbour is in range";
    EXPECT_FALSE(RoundToInt16(-32769));
    EXPECT_FALSE(RoundToInt16(40000));
    EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
    EXPECT_FALSE(RoundToInt32(2147483647.5));
    EXPECT_FALSE(RoundToInt32(2147483648.0));
    EXPECT_EQ(RoundToInt32(-2147483648.0), INT32_MIN);
    EXPECT_EQ(RoundToInt32(-2147483648.5), INT32_MIN);
    EXPECT_FALSE(RoundToInt32(-2147483649.0));
    EXPECT_FALSE(RoundToInt32(1e300));
    EXPECT_FALSE(RoundToInt32(std::nan("")));
    EXPECT_FALSE(RoundToInt32(INFINITY));
}
