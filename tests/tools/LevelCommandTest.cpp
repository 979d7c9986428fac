#include "tools/RunTool.h"

#include "core/TaggedFile.h"
#include "support/TempDir.h"
#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A data directory with the pictures a day needs and a scrambled level.
class LevelCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScopedChdir in(m_dir.Path());
        std::filesystem::create_directories("Menu");
        WriteSolidTemplate("road", 1, 40, 40, 0xFF808080);
        WriteSolidTemplate("house", 1, 40, 40, 0xFFA05020);
        WriteSolidTemplate("car", 1, 30, 20, 0xFF2020F0);
        WriteSolidTemplate("goods", 1, 30, 30, 0xFF20F020);
        for (const char* hud : {"RatingBk", "Rating", "BonusBuyBk", "UfoI", "UfoH", "DiaryBtnI", "DiaryBtnH",
                                "Menu/MainBtnI", "Menu/MainBtnH"})
            WriteSolidTemplate(hud, 1, 100, 40, 0xFF606060);
        WriteBlockFont("FontStd", {});
        WriteBlockFont("FontBig", {});
    }

    void WriteLevel(const std::string& name, const std::string& text)
    {
        FileKey key(name.c_str());
        std::string bytes = text;
        for (char& c : bytes)
            c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
        m_dir.Write(name, bytes);
    }

    static void Contains(const std::string& out, const std::string& line)
    {
        EXPECT_NE(out.find(line), std::string::npos) << "missing \"" << line << "\" in:\n" << out;
    }

    TempDir m_dir;
};

}  // namespace

TEST_F(LevelCommand, PrintsTheTownItsTradeAndEveryRefusedLine)
{
    WriteLevel("level3.lvl",
               "\"FLW\" 8 \"FLH\" 4 \"LOR\" 4 \"LSC\" 60 \"LVL\" \"level4.lvl\"\n"
               "\"RN\" \"road.img\" 1 1 0 \"RNR\" 2 1 0\n\"RN\" \"road.img\" 2 1 0 \"RNL\" 1 1 0\n"
               "\"RN\" \"road.img\" 30 1 0\n\"BL\" \"house.img\" 2 0 0 Y\n\"BL\" \"house.img\" 6 3 0 Y\n"
               "\"DEC\" \"missing.img\" 10 10 0\n"
               "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 5 1 R\n"
               "\"SHG\" \"goods.img\" \"goods.img\" 1 20 3 100 500\n\"SHG\" \"goods.img\" \"goods.img\" 2 35 1 200 500\n"
               "\"CUS\" \"goods.img\" \"goods.img\" 0 45 1 1 1\n\"END\"\n");
    ToolResult r = RunTool({"level", m_dir.File("level3.lvl")});
    EXPECT_EQ(r.status, 0) << r.err;
    Contains(r.out, "level \"level3.lvl\": loaded (result 0)\n");
    Contains(r.out, "refused: tag 10 RN \"road.img\" 30 1 0: cell outside the 25 x 20 x 5 grid\n");
    Contains(r.out, "refused: tag 13 DEC \"missing.img\" 10 10 0: image cannot be loaded\n");
    Contains(r.out, "level number 3, kind 0 (working day)\n");
    Contains(r.out, "orders 4, money target 60, rating-points target 0, rating maximum 19\n");
    Contains(r.out, "next level \"level4.lvl\";");
    Contains(r.out, "refused: LVL \"level4.lvl\": the next day's file cannot be opened\n");
    Contains(r.out, "road node (1, 1, 0) right->(2, 1, 0)\n");
    Contains(r.out, "road node (2, 1, 0) left->(1, 1, 0)\n");
    Contains(r.out, "building (2, 0, 0) house, entrance (2, 1, 0)\n");
    Contains(r.out, "building (6, 3, 0) house, no entrance (never places orders)\n");
    Contains(r.out, "2 road nodes, 2 buildings, 1 houses that place orders\n");
    Contains(r.out, "vehicle at (1, 1, 0), speed 5 cells/s, capacity 1\n");
    Contains(r.out, "goods 1 price 20 weight 3 (75.0%) at (100, 500)\n");
    Contains(r.out, "goods 2 price 35 weight 1 (25.0%) at (200, 500)\n");
    Contains(r.out, "customer kind 0 patience 45 s weight 1 (100.0%) factors 1 1\n");
}

TEST_F(LevelCommand, FailedLoadNamesWhatFailed)
{
    std::filesystem::remove(m_dir.File("FontBig.img"));
    WriteLevel("level5.lvl", "\"LOR\" 1 \"END\"");
    ToolResult r = RunTool({"level", "-C", m_dir.Path(), "level5.lvl"});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "the load failed (result 2)");
    Contains(r.out, "failed: level5.lvl: cannot load \"FontBig.img\"");
    Contains(r.err, "cannot load \"FontBig.img\"");

    // A day that could never end, and bounded values, with their reasons.
    {
        ScopedChdir in(m_dir.Path());
        WriteBlockFont("FontBig", {});
    }
    WriteLevel("level6.lvl", "\"LOR\" 3 \"OTI\" 100000 \"OSG\" -1 \"END\"");
    r = RunTool({"level", "-C", m_dir.Path(), "level6.lvl"});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "refused: OTI 100000 s: bounded to 600 s\n");
    Contains(r.out, "refused: OSG -1: bounded to 1\n");
    Contains(r.err, "level6.lvl: 3 orders (\"LOR\") but no house that places orders (a house needs a road at its "
                    "door): the day could never end");
    WriteLevel("level7.lvl", "\"LOR\" 3 \"LSC\" 60");
    r = RunTool({"level", "-C", m_dir.Path(), "level7.lvl"});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "failed: level7.lvl: the file ends before \"END\"");

    r = RunTool({"level", m_dir.File("nowhere.lvl")});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "the file cannot be opened (result 1)");
    EXPECT_EQ(RunTool({"level"}).status, 2);
}

TEST_F(LevelCommand, CheckListsWhatMakesADayUnplayable)
{
    {
        ScopedChdir in(m_dir.Path());
        WriteSolidTemplate("bubble", 1, 64, 40, 0xFFFFFFFF);
    }
    // Two houses side by side: their bubbles overlap, and the first one's
    // bubble hangs over the goods icon. No goods weigh anything, the time
    // between orders is a million seconds (bounded), one line is skipped.
    WriteLevel("level3.lvl",
               "\"FLW\" 8 \"FLH\" 4 \"LOR\" 4 \"LSC\" 60 \"LVL\" \"level4.lvl\" \"OIT\" \"bubble.img\" \"OTM\" 1e6\n"
               "\"RN\" \"road.img\" 1 1 0 \"RNR\" 2 1 0\n\"RN\" \"road.img\" 2 1 0 \"RNL\" 1 1 0 \"RNR\" 3 1 0\n"
               "\"RN\" \"road.img\" 3 1 0 \"RNL\" 2 1 0\n\"RN\" \"road.img\" 30 1 0\n"
               "\"BL\" \"house.img\" 2 0 0 Y\n\"BL\" \"house.img\" 3 0 0 Y\n"
               "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 5 1 R\n"
               "\"SHG\" \"goods.img\" \"goods.img\" 1 20 0 40 40\n"
               "\"CUS\" \"goods.img\" \"goods.img\" 0 45 1 1 1\n\"END\"\n");
    ToolResult r = RunTool({"check", m_dir.File("level3.lvl")});
    EXPECT_EQ(r.status, 1) << r.err;
    Contains(r.out, "level3.lvl: the loader skips tag ");
    Contains(r.out, "level3.lvl: there are no goods to order (none with a weight above 0): the day can never end\n");
    Contains(r.out, "level3.lvl: the loader skips OTM 1e+06 s: bounded to 600 s\n");
    Contains(r.out, "level3.lvl: the order bubble of the house at cell (2, 0) covers the bubble of the house at (3, 0)\n");
    Contains(r.out, "level3.lvl: the order bubble of the house at cell (2, 0) covers goods 1 at (40, 40)\n");
    Contains(r.out, "level3.lvl: 6 problems\n");

    // No house with a road at its door: the loader's own refusal, and the
    // money target it bounds.
    WriteLevel("level4.lvl", "\"FLW\" 8 \"FLH\" 4 \"LOR\" 4 \"LSC\" 1e30 \"LVL\" \"\"\n\"RN\" \"road.img\" 1 1 0\n"
                             "\"BL\" \"house.img\" 5 0 0 Y\n"
                             "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 5 1 R\n"
                             "\"SHG\" \"goods.img\" \"goods.img\" 1 20 1 300 500\n\"END\"\n");
    r = RunTool({"check", "-C", m_dir.Path(), "level4.lvl"});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "level4.lvl: the loader skips LSC 1e+30: bounded to 1e+09\n");
    Contains(r.out, "level4.lvl: the game refuses the level: level4.lvl: 4 orders (\"LOR\") but no house that places "
                    "orders (a house needs a road at its door): the day could never end\n");

    // A cut-short file, one that is not there, and a day with nothing wrong.
    WriteLevel("level5.lvl", "\"FLW\" 8 \"FLH\" 4 \"LOR\" 0 \"LVL\" \"\"\n");
    r = RunTool({"check", m_dir.File("level5.lvl")});
    Contains(r.out, "level5.lvl: the game refuses the level: level5.lvl: the file ends before \"END\"\n");
    EXPECT_EQ(r.status, 1);
    r = RunTool({"check", m_dir.File("nowhere.lvl")});
    Contains(r.out, "nowhere.lvl: the file cannot be opened\n");
    EXPECT_EQ(r.status, 1);
    WriteLevel("level6.lvl", "\"FLW\" 8 \"FLH\" 4 \"LOR\" 2 \"LVL\" \"\"\n\"RN\" \"road.img\" 1 1 0 \"RNR\" 2 1 0\n"
                             "\"RN\" \"road.img\" 2 1 0 \"RNL\" 1 1 0\n\"BL\" \"house.img\" 2 0 0 Y\n"
                             "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 5 1 R\n"
                             "\"SHG\" \"goods.img\" \"goods.img\" 1 20 1 300 500\n"
                             "\"CUS\" \"goods.img\" \"goods.img\" 0 45 1 1 1\n\"END\"\n");
    r = RunTool({"check", m_dir.File("level6.lvl")});
    EXPECT_EQ(r.status, 0) << r.out;
    Contains(r.out, "level6.lvl: no problems found\n");
    EXPECT_EQ(RunTool({"check"}).status, 2);
}

#ifdef BRIMVALE_DATAGEN_DATA_DIR
// Sources are compiled against the generated data set first, as --try does,
// with the roofs its pictures have: every shipped source checks as clean as
// the level built from it (a guessed roof once put four days' icons under
// their bubbles here only).
TEST_F(LevelCommand, CheckCompilesASourceAndNamesItsLine)
{
    const std::string data = BRIMVALE_DATAGEN_DATA_DIR;
    const std::string sources = BRIMVALE_DATAGEN_SRC_DIR "/levels/";
    for (int n = 1; n <= 14; ++n) {
        const std::string day = "level" + std::to_string(n) + ".txt";
        ToolResult r = RunTool({"check", "-C", data, sources + day});
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        Contains(r.out, std::string(day) + ": no problems found\n");
    }
    m_dir.Write("level7.txt", "name: x\nnext: -\norders: 1e10\n");
    ToolResult r = RunTool({"check", "-C", data, m_dir.File("level7.txt")});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "level7.txt: the compiler refuses it: level7.txt:3: orders: 1e+10 is not a whole number");
#ifdef BRIMVALE_FUZZ_DIR
    // A day without its buildings compiles from no source, but its built file
    // is checked the same way: nothing ever places an order.
    std::ifstream in(std::string(BRIMVALE_FUZZ_DIR) + "/level1-no-buildings.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty());
    WriteLevel("level1.lvl", text.str());
    r = RunTool({"check", "-C", data, m_dir.File("level1.lvl")});
    EXPECT_EQ(r.status, 1);
    Contains(r.out, "level1.lvl: the game refuses the level: level1.lvl: 6 orders (\"LOR\") but no house that places "
                    "orders (a house needs a road at its door): the day could never end\n");
#endif
}
#endif
