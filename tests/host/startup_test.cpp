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
    EXPECT_EQ(PreviewSideTwips(15, 152), 2280);
    EXPECT_EQ(PreviewSideTwips(15, 112), 1680);
    EXPECT_EQ(PreviewSideTwips(15, 2184), 32760);
    EXPECT_FALSE(PreviewSideTwips(15, 2185)) << "32775 twips";
    EXPECT_EQ(PreviewSideTwips(15, 0), 0);
    EXPECT_EQ(PreviewSideTwips(12, 2730), 32760) << "at 120 dots per inch";
}
