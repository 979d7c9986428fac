#include "tools/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>


TEST(DataTool, ScrambleThenUnscrambleRoundTripsArbitraryBytes)
{
    TempDir dir;
    std::string bytes;
    std::mt19937 rng(7);
    for (int i = 0; i < 5000; ++i)
        bytes.push_back(static_cast<char>(rng() & 0xFF));
    dir.Write("in.bin", bytes);
    ASSERT_EQ(RunTool({"scramble", dir.File("in.bin"), dir.File("LEVEL1.LVL")}).status, 0);
    EXPECT_NE(dir.Read("LEVEL1.LVL"), bytes);
    EXPECT_EQ(dir.Read("LEVEL1.LVL").size(), bytes.size());

    ToolResult same = RunTool({"unscramble", dir.File("LEVEL1.LVL")});
    ASSERT_EQ(same.status, 0);
    EXPECT_EQ(same.out, bytes);

    std::rename(dir.File("LEVEL1.LVL").c_str(), dir.File("level1.lvl").c_str());
    EXPECT_EQ(RunTool({"unscramble", dir.File("level1.lvl")}).out, bytes) << "the key ignores letter case";

    std::rename(dir.File("level1.lvl").c_str(), dir.File("level2.lvl").c_str());
    EXPECT_NE(RunTool({"unscramble", dir.File("level2.lvl")}).out, bytes) << "another name gives garbage";
}

TEST(DataTool, BadInputGivesAMessageAndAFailureStatus)
{
    TempDir dir;
    ToolResult missing = RunTool({"unscramble", dir.File("nope.lvl")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
    EXPECT_EQ(RunTool({"scramble", dir.File("nope"), dir.File("x.lvl")}).status, 1);
    EXPECT_EQ(RunTool({"scramble", dir.File("only-one")}).status, 2);
    ToolResult unknown = RunTool({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
    EXPECT_EQ(RunTool({}).status, 2);
}
