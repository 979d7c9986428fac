#include "app/ScriptRunner.h"
#include "app/WindowSettings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(WindowSettings, ScaleAndFilterWordsAreCheckedStrictly)
{
    EXPECT_EQ(ParseWindowScale("1"), 1);
    EXPECT_EQ(ParseWindowScale("2"), 2);
    EXPECT_EQ(ParseWindowScale("8"), 8);
    for (const char* bad : {"0", "9", "-2", "2x", "", " 2", "1.5", "99999999999999999999"})
        EXPECT_EQ(ParseWindowScale(bad), 0) << bad;
    EXPECT_EQ(ParseWindowScale(nullptr), 0);
    EXPECT_EQ(ParseWindowFilter("sharp"), 0);
    EXPECT_EQ(ParseWindowFilter("smooth"), 1);
    EXPECT_EQ(ParseWindowFilter("Sharp"), -1);
    EXPECT_EQ(ParseWindowFilter(nullptr), -1);
}

TEST(WindowSettings, FileRoundTripsAndBadLinesKeepDefaults)
{
    TempDir dir;
    WindowSettings s;
    EXPECT_FALSE(ReadWindowSettings(dir.File("window.cfg").c_str(), &s));
    EXPECT_EQ(s.scale, 1);
    EXPECT_TRUE(s.smooth);

    ASSERT_TRUE(WriteWindowSettings(dir.File("window.cfg").c_str(), {3, false}));
    EXPECT_EQ(dir.Read("window.cfg"), "scale 3\nfilter sharp\n");
    WindowSettings back;
    ASSERT_TRUE(ReadWindowSettings(dir.File("window.cfg").c_str(), &back));
    EXPECT_EQ(back.scale, 3);
    EXPECT_FALSE(back.smooth);

    // A hand-edited file: unknown names, bad values, no final newline.
    dir.Write("edited.cfg", "# mine\nvolume 3\nscale 12\nfilter blurry\nscale\n\nfilter sharp");
    WindowSettings edited;
    ASSERT_TRUE(ReadWindowSettings(dir.File("edited.cfg").c_str(), &edited));
    EXPECT_EQ(edited.scale, 1);
    EXPECT_FALSE(edited.smooth);
    // Binary rubbish reads as nothing.
    dir.Write("rubbish.cfg", std::string("\0\xff\x01scale\0 4\n", 12));
    WindowSettings rubbish;
    ASSERT_TRUE(ReadWindowSettings(dir.File("rubbish.cfg").c_str(), &rubbish));
    EXPECT_EQ(rubbish.scale, 1);
}

TEST(ScriptRunner, AltKeysAndWindowPixelCommandsParse)
{
    ScriptRunner ok;
    std::string error;
    EXPECT_TRUE(ok.Parse("key alt+enter\nkey Alt+F4\nwindow-click 1006 666\nwindow-click 1 2 right\n"
                         "window-shot big\n",
                         &error))
        << error;
    for (const char* bad : {"key alt+", "key alt+nothing", "window-click 10", "window-click a b",
                            "window-click 1 2 side", "window-shot", "window-shot a b"}) {
        ScriptRunner r;
        EXPECT_FALSE(r.Parse(bad, &error)) << bad;
    }
}
