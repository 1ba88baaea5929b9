// Property bags and the form's store of them: defaults, text round trips,
// and the live font object.
#include <gtest/gtest.h>

#include <cmath>

#include "forms/font.h"
#include "forms/property_bag.h"

namespace {

using forms::FontSpec;
using forms::PropertyBag;
using forms::PropertyStore;
using forms::PropertyValue;

TEST(PropertyBag, DefaultsOnWriteAndOnRead)
{
    PropertyBag bag;
    bag.WriteProperty("Caption", std::string("Command"), std::string("Command"));
    EXPECT_FALSE(bag.Has("Caption")) << "equal to its write default: not stored";
    EXPECT_EQ(bag.ReadProperty("Caption", std::string("Command1")), PropertyValue(std::string("Command1")));
    bag.WriteProperty("Caption", std::string("Go"), std::string("Command"));
    EXPECT_EQ(bag.ReadProperty("Caption", std::string("Command1")), PropertyValue(std::string("Go")));
    bag.WriteProperty("Caption", std::string("Command"), std::string("Command"));
    EXPECT_FALSE(bag.Has("Caption")) << "writing the default again drops the entry";
    bag.WriteProperty("Enabled", false, true);
    bag.WriteProperty("FirstRun", std::int32_t{0}, std::int32_t{1});
    EXPECT_EQ(bag.size(), 2u);
}

TEST(PropertyStore, TextRoundTripKeepsEveryKindOfValue)
{
    PropertyStore store;
    store.Bag("Cmd_Set").WriteProperty("Caption", std::string("設定"), std::string());
    store.Bag("Cmd_Set").WriteProperty("Font", FontSpec{"ＭＳ Ｐゴシック", 9.75, 400, 128, false, true}, FontSpec{});
    store.Bag("Cmd_Can").WriteProperty("Caption", std::string("line\none \\ two=three\r"), std::string());
    store.Bag("Cmd_Can").WriteProperty("Enabled", false, true);
    store.Bag("Cmd_Can").WriteProperty("FontColour", std::int32_t{-5}, std::int32_t{0});
    store.Bag("Empty");
    const std::string text = store.ToText();
    const PropertyStore back = PropertyStore::FromText(text);
    EXPECT_EQ(back, store) << text;
    ASSERT_NE(back.Find("Empty"), nullptr) << "a saved control without entries keeps its bag";
    EXPECT_EQ(back.Find("Missing"), nullptr);
    EXPECT_EQ(back.Find("Cmd_Set")->Names(), (std::vector<std::string>{"Caption", "Font"}));
}

TEST(PropertyStore, MalformedLinesAreSkipped)
{
    const PropertyStore store = PropertyStore::FromText(
        "Caption=s:orphan\n[A]\nGood=i:12\nBad=i:12x\nHuge=i:99999999999\nKind=q:1\nNoValue\nFlag=b:2\n"
        "Font=f:Name|abc|400|0|0|0\nOk=b:1\r\n");
    ASSERT_NE(store.Find("A"), nullptr);
    const PropertyBag& bag = *store.Find("A");
    EXPECT_EQ(bag.Names(), (std::vector<std::string>{"Good", "Ok"}));
    EXPECT_EQ(bag.Stored("Good"), PropertyValue(std::int32_t{12}));
    EXPECT_EQ(bag.Stored("Ok"), PropertyValue(true));
}

TEST(Font, SpecTextAndEquality)
{
    const FontSpec spec{"ＭＳ Ｐゴシック", 9.75, 400, 128, true, false};
    EXPECT_EQ(forms::FontSpecToText(spec), "ＭＳ Ｐゴシック|9.75|400|128|1|0");
    EXPECT_EQ(forms::FontSpecFromText(forms::FontSpecToText(spec)), spec);
    EXPECT_FALSE(forms::FontSpecFromText("A|0|400|0|0|0").has_value());
    EXPECT_FALSE(forms::FontSpecFromText("A|9|400|0|0").has_value());
    FontSpec other = spec;
    other.underline = true;
    EXPECT_NE(other, spec);
}

// Every name and value the types allow is written so that it reads back as
// it was: one control and one property per row, the text read back whole.
struct RoundTripCase {
    const char* label;
    std::string control;
    std::string name;
    PropertyValue value;
};

class StoreRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(StoreRoundTrip, ReadsBackWhatWasWritten)
{
    const RoundTripCase& c = GetParam();
    PropertyStore store;
    store.Bag(c.control).WriteProperty(c.name, c.value, std::int32_t{12345});
    store.Bag("Later").WriteProperty("After", std::string("z"), std::string());
    const std::string text = store.ToText();
    const PropertyStore back = PropertyStore::FromText(text);
    EXPECT_EQ(back, store) << text;
    ASSERT_NE(back.Find(c.control), nullptr) << text;
    EXPECT_EQ(back.Find(c.control)->Stored(c.name), c.value) << text;
    ASSERT_NE(back.Find("Later"), nullptr) << text;
    EXPECT_EQ(back.Find("Later")->Names(), (std::vector<std::string>{"After"})) << "later properties stay put";
}

INSTANTIATE_TEST_SUITE_P(
    Names, StoreRoundTrip,
    ::testing::Values(
        RoundTripCase{"Plain", "Cmd", "Caption", PropertyValue(std::string("Go"))},
        RoundTripCase{"NameWithEquals", "Cmd", "a=b", PropertyValue(std::string("c=d"))},
        RoundTripCase{"NameWithLineBreaks", "Cmd", "a\nb\r", PropertyValue(true)},
        RoundTripCase{"EmptyName", "Cmd", "", PropertyValue(std::int32_t{-7})},
        RoundTripCase{"NameLikeAControl", "Cmd", "[x", PropertyValue(std::string("y]"))},
        RoundTripCase{"NameOfBrackets", "Cmd", "[x]", PropertyValue(std::string(""))},
        RoundTripCase{"NameWithBackslashes", "Cmd", "\\=\\", PropertyValue(std::string("\\"))},
        RoundTripCase{"ControlWithLineBreak", "Cmd\nSet", "Caption", PropertyValue(std::string("x"))},
        RoundTripCase{"ControlWithBrackets", "]Cmd[", "Caption", PropertyValue(std::string("x"))},
        RoundTripCase{"EmptyControl", "", "Caption", PropertyValue(std::string("x"))},
        RoundTripCase{"ValueWithNul", "Cmd", std::string("N\0l", 3), PropertyValue(std::string("a\0b", 3))},
        RoundTripCase{"EmptyFontName", "Cmd", "Font", PropertyValue(FontSpec{"", 9, 400, 0, false, false})},
        RoundTripCase{"FontNameWithBars", "Cmd", "Font", PropertyValue(FontSpec{"A|9|4", 9, 400, 0, true, true})},
        RoundTripCase{"FontNameWithLineBreak", "Cmd", "Font", PropertyValue(FontSpec{"A\nB", 9, 700, 255, false, true})},
        RoundTripCase{"TinyFontSize", "Cmd", "Font", PropertyValue(FontSpec{"A", 0.004, 0, 0, false, false})},
        RoundTripCase{"FontSizeBetweenHundredths", "Cmd", "Font", PropertyValue(FontSpec{"A", 8.225, 1000, 1, false, false})},
        RoundTripCase{"HugeFontSize", "Cmd", "Font", PropertyValue(FontSpec{"A", 1e300, 400, 0, false, false})}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.label); });

// What cannot be read back equal is not stored at all.
TEST(PropertyBag, RefusesFontsThatCannotBeWritten)
{
    PropertyBag bag;
    for (const double size : {std::nan(""), HUGE_VAL, -HUGE_VAL, 0.0, -1.0})
        bag.WriteProperty("Font", FontSpec{"A", size, 400, 0, false, false}, FontSpec{});
    bag.WriteProperty("Font", FontSpec{"A", 9, 1001, 0, false, false}, FontSpec{});
    bag.WriteProperty("Font", FontSpec{"A", 9, 400, 256, false, false}, FontSpec{});
    bag.WriteProperty("Font", FontSpec{"A", 9, -1, -1, false, false}, FontSpec{});
    EXPECT_FALSE(bag.Has("Font"));
}

// Font texts that are no font written by FontSpecToText give nothing.
struct FontTextCase {
    std::string text;
    bool ok;
};

class FontText : public ::testing::TestWithParam<FontTextCase> {};

TEST_P(FontText, IsReadOnlyAsWritten)
{
    const auto spec = forms::FontSpecFromText(GetParam().text);
    EXPECT_EQ(spec.has_value(), GetParam().ok) << GetParam().text;
    if (spec) {
        EXPECT_EQ(forms::FontSpecToText(*spec), GetParam().text) << "read back, it is written the same";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FontText,
    ::testing::Values(FontTextCase{"X|8|nan|0|0|0", false}, FontTextCase{"X|nan|400|0|0|0", false},
                      FontTextCase{"X|inf|400|0|0|0", false}, FontTextCase{"X|1e999|400|0|0|0", false},
                      FontTextCase{"X|-8|400|0|0|0", false}, FontTextCase{"X| 8|400|0|0|0", false},
                      FontTextCase{"X|0x8|400|0|0|0", false}, FontTextCase{"X|8|400.5|0|0|0", false},
                      FontTextCase{"X|8|1001|0|0|0", false}, FontTextCase{"X|8|400|256|0|0", false},
                      FontTextCase{"X|8|400|0|2|0", false}, FontTextCase{"X|8|400|0|0|-1", false},
                      FontTextCase{"X|8|99999999999|0|0|0", false}, FontTextCase{"X|8|400|0|0|", false},
                      FontTextCase{"|8|400|0|0|0", true}, FontTextCase{"A|B|8.25|400|0|1|1", true},
                      FontTextCase{"X|0.004|400|0|0|0", true}, FontTextCase{"X|8.225|700|128|1|0", true},
                      FontTextCase{"X|1e+30|400|0|0|0", true}, FontTextCase{"X|1e+300|400|0|0|0", true}));

TEST(Font, ChangesReachEveryHolderUntilUnsubscribed)
{
    forms::Font font;
    int a = 0, b = 0;
    const int first = font.Subscribe([&] { ++a; });
    font.Subscribe([&] { ++b; });
    font.SetBold(true);
    font.SetSize(12);
    EXPECT_EQ(font.Spec().weight, 700);
    EXPECT_EQ(a, 2);
    font.Unsubscribe(first);
    font.SetUnderline(true);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 3);
    font.SetSize(-1);
    EXPECT_EQ(b, 3) << "a size that cannot be is refused";
}

}  // namespace
