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

    // A hand-edited file: unknown names, bad values, no final newline. Each
    // line not understood is named in the log; the file stays as it was.
    const std::string edits = "# mine\nvolume 3\nscale 12\nfilter blurry\nscale\n\nfilter sharp";
    dir.Write("edited.cfg", edits);
    WindowSettings edited;
    const std::string log = dir.File("Error.log");
    ASSERT_TRUE(ReadWindowSettings(dir.File("edited.cfg").c_str(), &edited, log.c_str()));
    EXPECT_EQ(edited.scale, 1);
    EXPECT_FALSE(edited.smooth);
    EXPECT_EQ(dir.Read("edited.cfg"), edits);
    const std::string logged = dir.Read("Error.log");
    size_t lines = 0;
    for (char c : logged)
        lines += c == '\n';
    EXPECT_EQ(lines, 4u) << logged;
    for (const char* named : {"line 2 not understood, ignored: \"volume 3\"", "line 3 not understood, ignored: \"scale 12\"",
                              "line 4 not understood, ignored: \"filter blurry\"", "line 5 not understood, ignored: \"scale\""})
        EXPECT_NE(logged.find(named), std::string::npos) << named << "\n" << logged;
    EXPECT_EQ(logged.find("line 1 "), std::string::npos);
    EXPECT_EQ(logged.find("line 7 "), std::string::npos);
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
