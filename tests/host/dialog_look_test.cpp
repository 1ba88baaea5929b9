#include <gtest/gtest.h>

#include "dialog_look.h"

namespace {

// The dialog's client area is 243 pixel rows high, its panel 165.
TEST(DialogShading, WindowRunsFromNavyThroughBlueGreyBackToNavy)
{
    const auto rows = ShadeRows(ShadedSurface::Window, 243);
    ASSERT_EQ(rows.size(), 244u) << "rows 0 to H inclusive";
    EXPECT_EQ(rows[0], (RgbColour{0, 0, 30}));
    EXPECT_EQ(rows[121], (RgbColour{220, 220, 250}));
    EXPECT_EQ(rows[243], (RgbColour{0, 0, 30})) << "sin(3.142) is a hair below zero";
    EXPECT_EQ(rows[242], (RgbColour{3, 3, 33})) << "the last row inside the client area";
    for (std::size_t y = 1; y < rows.size(); ++y) {
        EXPECT_EQ(rows[y].b, rows[y].r + 30);
        if (y <= 121) {
            EXPECT_GE(rows[y].r, rows[y - 1].r) << "rising to the middle, row " << y;
        } else if (y > 122) {
            EXPECT_LE(rows[y].r, rows[y - 1].r) << "falling after it, row " << y;
        }
    }
}

TEST(DialogShading, PanelIsGreyFrom30To250)
{
    const auto rows = ShadeRows(ShadedSurface::Panel, 165);
    ASSERT_EQ(rows.size(), 166u);
    EXPECT_EQ(rows[0], (RgbColour{30, 30, 30}));
    EXPECT_EQ(rows[82], (RgbColour{250, 250, 250}));
    EXPECT_EQ(rows[165], (RgbColour{30, 30, 30}));
}

TEST(DialogShading, LevelsRoundHalfToEven)
{
    // Known levels: |sin(y / (243 / 3.142)) x 220|.
    EXPECT_EQ(ShadeLevel(1, 243), 3);    // 2.8446...
    EXPECT_EQ(ShadeLevel(20, 243), 56);  // 56.26...
    EXPECT_EQ(ShadeLevel(60, 243), 154); // 154.06...
    EXPECT_TRUE(ShadeRows(ShadedSurface::Window, 0).empty());
}

TEST(OptionPictures, OutlinedLightSquareEmptyOrFilledBlueAtEveryScale)
{
    // Side and outline at 96, 120, 144 and 192 dots per inch.
    const struct { int side, outline; } scales[] = {{12, 1}, {15, 1}, {18, 2}, {24, 2}};
    const RgbColour grey{128, 128, 128};
    for (const auto& scale : scales) {
        SCOPED_TRACE("side " + std::to_string(scale.side));
        const auto off = OptionPicture(false, scale.side, scale.outline), on = OptionPicture(true, scale.side, scale.outline);
        const int n = scale.side, k = scale.outline;
        ASSERT_EQ(off.size(), static_cast<std::size_t>(n * n));
        for (int i = 0; i < n; ++i) {
            for (const auto* picture : {&off, &on}) {
                EXPECT_EQ((*picture)[(k - 1) * n + i], grey) << "top edge";
                EXPECT_EQ((*picture)[(n - k) * n + i], grey) << "bottom edge";
                EXPECT_EQ((*picture)[i * n + k - 1], grey) << "left edge";
                EXPECT_EQ((*picture)[i * n + n - k], grey) << "right edge";
            }
        }
        const RgbColour offInside = off[(n / 2) * n + n / 2], onInside = on[(n / 2) * n + n / 2];
        EXPECT_GT(offInside.r + offInside.g + offInside.b, 3 * 200) << "light and empty";
        EXPECT_GT(onInside.b, onInside.r + 100) << "blue";
        EXPECT_EQ(off[k * n + k], offInside);
        EXPECT_EQ(on[k * n + k], onInside) << "filled up to the outline";
    }
    EXPECT_EQ(OptionPicture(true), OptionPicture(true, 12, 1)) << "as designed";
}

}  // namespace
