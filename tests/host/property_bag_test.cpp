// Property bags and the form's store of them: defaults, text round trips,
// and the live font object.
#include <gtest/gtest.h>

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
