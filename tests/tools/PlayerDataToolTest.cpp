#include "tools/RunTool.h"
#include "player/GMHighscoreTable.h"
#include "player/GMProfile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


TEST(PlayerDataTool, ProfilePrintsEveryField)
{
    TempDir dir;
    GMProfile p;
    p.SetDisplayName("Ada");
    p.AddLevel("level1.lvl");
    p.AddLevel("level2.lvl");
    p.SetCurrentLevel("level2.lvl");
    p.SetCurrentLevelIndex(1);
    p.SetScore(4200);
    p.SetMoney(15);
    p.AddBonus(3, 2500.0f, 40, 1.5f, 2);
    ASSERT_EQ(p.SaveProfile(dir.File("Ada.prf").c_str()), 0);

    ToolResult r = RunTool({"profile", dir.File("Ada.prf")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "name: \"Ada\"\nscore: 4200\nrating points: 0\nmoney: 15\n"
              "current level: \"level2.lvl\" (index 1)\nlevels: 2\n  0: \"level1.lvl\"\n  1: \"level2.lvl\"\n"
              "bonuses: 1\n  kind 3: count 2, price 40, duration 2.5 s, value 1.5\n");

    EXPECT_EQ(RunTool({"profile", dir.File("Missing.prf")}).status, 1);
    EXPECT_EQ(RunTool({"profile"}).status, 2);
}

TEST(PlayerDataTool, ADamagedProfileIsPrintedAndExitsNonZero)
{
    TempDir dir;
    GMProfile p;
    p.SetDisplayName("Ada");
    p.SetMoney(1234);
    ASSERT_EQ(p.SaveProfile(dir.File("Ada.prf").c_str()), 0);
    std::string bytes = dir.Read("Ada.prf");
    dir.Write("Ada.prf", bytes.substr(0, bytes.size() - 2));  // "1234" cut to "123"

    ToolResult r = RunTool({"profile", dir.File("Ada.prf")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("name: \"Ada\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("money: 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("is damaged"), std::string::npos) << r.err;
    // The tool only reads: the file stays where it is.
    EXPECT_EQ(dir.Read("Ada.prf"), bytes.substr(0, bytes.size() - 2));

    // The copy the game keeps aside reads with the key of its own first name.
    for (const char* kept : {"Ada.prf.damaged", "Ada.prf.3.damaged"}) {
        dir.Write(kept, bytes.substr(0, bytes.size() - 2));
        r = RunTool({"profile", dir.File(kept)});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("name: \"Ada\"\n"), std::string::npos) << kept << ":\n" << r.out;
    }
}

TEST(PlayerDataTool, HighscoresPrintsRowsAndACutShortFile)
{
    TempDir dir;
    GMHighscoreTable t;
    t.InsertHighscore("BO", 70);
    t.InsertHighscore("CY", 900);
    ASSERT_EQ(t.SaveHighscores(dir.File("highscores.dat").c_str()), 0);
    ToolResult r = RunTool({"highscores", dir.File("highscores.dat")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  1  CY           900\n  2  BO           70\n"), std::string::npos) << r.out;

    std::string bytes = dir.Read("highscores.dat");
    dir.Write("cut.dat", bytes.substr(0, bytes.size() - 2));
    r = RunTool({"highscores", dir.File("cut.dat")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("file ends after 1 of 2 entries"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(dir.Read("cut.dat"), bytes.substr(0, bytes.size() - 2));
    EXPECT_EQ(RunTool({"highscores", dir.File("none.dat")}).status, 1);
}

}  // namespace
