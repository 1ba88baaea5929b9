#include <gtest/gtest.h>

#include "startup.h"

TEST(Startup, ArgumentTextDropsTheProgramName)
{
    EXPECT_EQ(ArgumentTextOf("C:\\WINDOWS\\QUORVE~1.SCR /s"), "/s");
    EXPECT_EQ(ArgumentTextOf("\"C:\\Program Files\\Q\\Quorvellanto.scr\" /p 1234"), "/p 1234");
    EXPECT_EQ(ArgumentTextOf("\"C:\\Program Files\\Q\\Quorvellanto.scr\"   /c:99"), "/c:99");
    EXPECT_EQ(ArgumentTextOf("Quorvellanto.scr"), "");
    EXPECT_EQ(ArgumentTextOf("\"C:\\a b\\Quorvellanto.scr\""), "");
    EXPECT_EQ(ArgumentTextOf("Quorvellanto.scr\t/S"), "/S");
}

TEST(Startup, ModeComesFromPositionTwoOnly)
{
    struct Case {
        const char* arguments;
        StartupMode mode;
    };
    for (Case c : {Case{"/s", StartupMode::RunHidden}, Case{"/S", StartupMode::RunHidden},
                   Case{"-s", StartupMode::RunHidden}, Case{"xs", StartupMode::RunHidden},
                   Case{"s", StartupMode::End}, Case{"", StartupMode::RunVisible},
                   Case{"/c", StartupMode::Settings}, Case{"/C:1234", StartupMode::Settings},
                   Case{"/c 99", StartupMode::Settings}, Case{"/a", StartupMode::End},
                   Case{"/x", StartupMode::End}, Case{"/p 1234", StartupMode::Preview},
                   Case{"/p:1234", StartupMode::Preview}, Case{"/p1234", StartupMode::Preview},
                   Case{" ", StartupMode::End}}) {
        EXPECT_EQ(ModeOf(c.arguments), c.mode) << "'" << c.arguments << "'";
    }
    EXPECT_EQ(ModeLetter("/s"), "S");
    EXPECT_EQ(ModeLetter("s"), "");
}

TEST(Startup, HostHandleIsReadFromPositionFour)
{
    EXPECT_EQ(PreviewHostHandle("/p 1234"), 1234);
    EXPECT_EQ(PreviewHostHandle("/p:1234"), 1234);
    EXPECT_EQ(PreviewHostHandle("/p1234"), 234);
    EXPECT_EQ(PreviewHostHandle("/p   77 extra"), 77);
    EXPECT_EQ(PreviewHostHandle("/p"), 0);
    EXPECT_EQ(PreviewHostHandle("/p abc"), 0);
    EXPECT_EQ(PreviewHostHandle("/p 12.5"), 12);
    EXPECT_EQ(PreviewHostHandle("/p 13.5"), 14);
    EXPECT_EQ(PreviewHostHandle("/p 99999999999"), 0) << "beyond 32 bits";
}

TEST(Startup, PreviewSizeInTwipsMustFitSixteenBits)
{
    const struct {
        int dpi;
        std::int64_t pixels;
        std::optional<std::int16_t> twips;
    } rows[] = {
        {96, 152, 2280}, {96, 112, 1680}, {96, 2184, 32760}, {96, 2185, std::nullopt} /* 32775 twips */, {96, 0, 0},
        {120, 2730, 32760}, {144, 152, 1520},
        // 7.5 twips a pixel: rounded up, so that the form comes back to the host's pixels.
        {192, 152, 1140}, {192, 151, 1133}, {192, 4368, 32760}, {192, 4369, std::nullopt}, {0, 152, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PreviewSideTwips(row.dpi, row.pixels), row.twips) << row.pixels << " px at " << row.dpi << " dpi";
        if (row.twips && row.dpi > 0) EXPECT_EQ(*row.twips * row.dpi / 1440, row.pixels) << "back to pixels";
    }
}
