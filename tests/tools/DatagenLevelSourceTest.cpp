// The level compiler: what a source turns into and every refusal, with the
// source line it names.
// The generator is built only with the data set (not in the unit-only tree).
#ifdef BRIMVALE_DATAGEN_DATA_DIR

#include "DatagenLoadFixture.h"
#include "datagen/Generator.h"
#include "datagen/Town.h"
#include "game/GMLevelCheck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* kHeader =
    "name: Test day\n"
    "next: level2.lvl\n"
    "orders: 5\n"
    "target: 100\n"
    "open: 1\n"
    "customer: Anna 0 30 1 1 1\n"
    "goods: 1 20 1\n";

// Header (lines 1-7), then "map:" on line 8 and the rows from line 9.
std::string Source(const std::string& rows, const std::string& extra = "")
{
    return std::string(kHeader) + "map:\n" + rows + (extra.empty() ? "" : "\n" + extra);
}

const char* kTown =
    "..H.1.\n"   // line 9
    ".@###.\n"   // line 10
    ".#..#.\n"   // line 11
    ".####.\n";  // line 12

std::string Compile(const std::string& text, bool expectOk = true)
{
    CompiledLevel out;
    std::string error;
    bool ok = CompileLevelSource("level1.txt", text, TownPictureSize, out, error, TownMeasures());
    EXPECT_EQ(ok, expectOk) << error;
    return ok ? out.levelText : error;
}

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

} // namespace

TEST(DatagenLevelSource, RoadsBecomeNodesLinkedBothWaysWithThePieceOfTheirShape)
{
    std::string t = Compile(Source(kTown));
    // The start corner (1, 1) joins right and down; the loop's corners and straights follow.
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadB | kRoadR) + "\" 1 1 0\n\"RNB\" 1 2 0\n\"RNR\" 2 1 0\n")) << t;
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadL | kRoadR) + "\" 2 1 0\n\"RNL\" 1 1 0\n\"RNR\" 3 1 0\n"));
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadL | kRoadB) + "\" 4 1 0\n"));
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadT | kRoadB) + "\" 1 2 0\n\"RNT\" 1 1 0\n\"RNB\" 1 3 0\n"));
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadT | kRoadL) + "\" 4 3 0\n"));
    // The house takes orders; the shop does not; the goods icon stands over the
    // shop, here lower down than usual so that the top edge does not cut it.
    EXPECT_TRUE(Has(t, "\"BL\" \"Town\\House\\"));
    EXPECT_TRUE(Has(t, " 2 0 0 Y\n"));
    EXPECT_TRUE(Has(t, "\"BL\" \"" + ShopTemplate(1) + "\" 4 0 0 N\n"));
    double x = 4.5 * kCellW + kOriginX, y = 1.0 * kCellH + kOriginY - 10;
    char icon[96];
    std::snprintf(icon, sizeof icon, " 1 20 1 %g %g\n", x, y);
    EXPECT_TRUE(Has(t, icon)) << icon;
    // The van at the @, the day's numbers, the chain and the end.
    EXPECT_TRUE(Has(t, "\"Town\\Vehicle\\VanDown.img\" 1 1 0 4 1 R\n"));
    EXPECT_TRUE(Has(t, "\"LOR\" 5 \"LSC\" 100"));
    EXPECT_TRUE(Has(t, "\"FLW\" 6 \"FLH\" 4 \"FLL\" 2\n"));
    EXPECT_TRUE(Has(t, "\"LVL\" \"level2.lvl\"\n\"END\"\n"));
    EXPECT_FALSE(Has(t, "\"PLC\"")) << "no police station, no police car";
    // Deterministic: the same source gives the same bytes.
    EXPECT_EQ(t, Compile(Source(kTown)));
}

TEST(DatagenLevelSource, RefusesABrokenSourceNamingItsLine)
{
    struct Case {
        const char* what;
        std::string source;
        const char* message;
    } cases[] = {
        {"unknown character", Source("..H.1.\n.@###Q\n.#..#.\n.####.\n"), "level1.txt:10: unknown map character 'Q' in column 6"},
        {"house without a road at its door", Source("..H.1.\n.@.##.\n.#..#.\n.####.\n"),
         "level1.txt:9: the house in column 3 has no road at its door"},
        {"road with no neighbour", Source("..H.1.\n.@###.\n.#..#.\n.####.\n#.....\n"),
         "level1.txt:13: the road in column 1 has no neighbouring road"},
        {"road that cannot be reached", Source("..H.1.\n.@###.\n.#..#.\n.####.\n......\n##....\n"),
         "level1.txt:14: the road in column 1 cannot be reached from the van's start"},
        {"goods no shop sells", Source(kTown, "goods: 3 10 1"), "level1.txt:14: goods 3 (Flowers): no shop on the map sells it"},
        {"shop whose goods nobody priced", Source("..H.12\n.@###.\n.#..#.\n.####.\n"),
         "level1.txt:9: the shop 2 in column 6 sells goods nobody priced"},
        {"rows of different width", Source("..H.1.\n.@###\n.#..#.\n.####.\n"), "level1.txt:10: every row must be 6 characters wide"},
        {"no start", Source("..H.1.\n.####.\n.#..#.\n.####.\n"), "level1.txt:9: the map has no @"},
        {"unknown header line", "colour: red\n" + Source(kTown), "level1.txt:1: unknown header line \"colour:\""},
        {"a number that is not one", Source(kTown, "orders: many"), "level1.txt:14: orders: \"many\" is not a number"},
        {"a thief without police", Source(kTown, "customer: Thief 3 20 1 1 1"), "level1.txt:14: a thief needs a police station"},
        {"more open orders than customers", Source(kTown, "open: 3"), "open: 3 orders at once need as many ordinary customers (1 given)"},
        {"a portrait that does not exist", Source(kTown, "customer: Nobody 0 20 1 1 1"), "level1.txt:14: there is no picture Town\\People\\NobodyI.img"},
        {"lane hint in town", Source(kTown, "tutorial: 3"), "tutorial: 3 is the lane hint of the mini-game only"},
        {"a bridge over a house", Source(kTown, "upper:\n..=...\n......\n......\n......"), "level1.txt:15: a bridge cannot pass over a building"},
        {"a bridge that ends in the grass", Source(kTown, "upper:\n......\n......\n......\n.....=\n"),
         "level1.txt:18: the bridge in column 6 must reach a road at both ends"},
        {"a target that serving every order may not reach", Replaced(Source(kTown), "goods: 1 20 1", "goods: 1 19 1"),
         "level1.txt:4: target: 100 is more than delivering every order pays at least ($90)"},
        {"a thief caught for less", Source("..H.1P\n.@####\n.#..#.\n.####.\n", "customer: Thief 3 20 1 -5 15"),
         "level1.txt:4: target: 100 is more than delivering every order pays at least ($70)"},
        {"next missing", "name: x\norders: 1\nopen: 1\ncustomer: Anna 0 30 1 1 1\ngoods: 1 20 1\nmap:\n" + std::string(kTown),
         "next: is missing"},
    };
    for (const Case& c : cases) {
        std::string error = Compile(c.source, false);
        EXPECT_TRUE(Has(error, c.message)) << c.what << ": got \"" << error << "\"";
    }
}

TEST(DatagenLevelSource, ADayInTownWithoutATargetGetsTheRulesOne)
{
    const std::string noTarget = Replaced(Source(kTown), "target: 100\n", "");
    // Five orders of $20 bread.
    EXPECT_TRUE(Has(Compile(noTarget), "\"LOR\" 5 \"LSC\" 100 "));
    // The mayor's pay factor and a thief's catch pay count.
    std::string cheap = noTarget + "\n";
    cheap.insert(cheap.find("map:"), "customer: Mayor 1 30 1 0.5 2\n");
    EXPECT_TRUE(Has(Compile(cheap), "\"LSC\" 50 ")) << "5 x $20 x 0.5";
    std::string thief = Replaced(noTarget, "..H.1.\n.@###.\n", "..H.1P\n.@####\n");
    thief.insert(thief.find("map:"), "customer: Thief 3 30 1 -25 18\n");
    EXPECT_TRUE(Has(Compile(thief), "\"LSC\" 90 ")) << "5 x $18, rounded down to tens";
    // A lower target than the rule's is the level maker's to give; a course's
    // target is its pay, not bound by the rule.
    EXPECT_TRUE(Has(Compile(Replaced(Source(kTown), "target: 100", "target: 60")), "\"LSC\" 60 "));
}

TEST(DatagenLevelSource, ABridgeCarriesTheRoadOverWaterOnTheUpperLayer)
{
    std::string t = Compile(Source("..H....H\n.@#~~~##\n.#.....#\n.#######\n1.......\n",
                                   "upper:\n........\n...===..\n........\n........\n........"));
    // The road before the river climbs onto the bridge, which leads back down after it.
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadL | kRoadR) + "\" 2 1 0\n\"RNL\" 1 1 0\n\"RNR\" 3 1 1\n")) << t;
    EXPECT_TRUE(Has(t, "\"RN\" \"Town\\Road\\BridgeLR.img\" 3 1 1\n\"RNL\" 2 1 0\n\"RNR\" 4 1 1\n"));
    EXPECT_TRUE(Has(t, "\"RN\" \"Town\\Road\\BridgeLR.img\" 5 1 1\n\"RNL\" 4 1 1\n\"RNR\" 6 1 0\n"));
    // The river's cells join their water neighbours: open towards them, a bank elsewhere.
    EXPECT_TRUE(Has(t, "\"DEC\" \"Town\\Deco\\WaterR.img\""));
    EXPECT_TRUE(Has(t, "\"DEC\" \"Town\\Deco\\WaterLR.img\""));
    EXPECT_TRUE(Has(t, "\"DEC\" \"Town\\Deco\\WaterL.img\""));

    // A bridge over a road: the road below runs on under it and does not turn onto it sideways.
    t = Compile(Source("..H....\n.@####.\n.#.#.#.\n.#####.\n.#.#.#.\n.#####.\n1......\n",
                       "upper:\n.......\n.......\n.......\n...=...\n.......\n.......\n......."));
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadT | kRoadB) + "\" 3 3 0\n\"RNT\" 3 2 0\n\"RNB\" 3 4 0\n")) << t;
    EXPECT_TRUE(Has(t, "\"RN\" \"Town\\Road\\BridgeLR.img\" 3 3 1\n\"RNL\" 2 3 0\n\"RNR\" 4 3 0\n"));
    EXPECT_TRUE(Has(t, "\"RN\" \"" + RoadTemplate(kRoadL | kRoadR) + "\" 2 3 0\n\"RNL\" 1 3 0\n\"RNR\" 3 3 1\n"));
}

TEST(DatagenLevelSource, StoryTutorialBonusesAndThePoliceBecomeTheirTags)
{
    CompiledLevel out;
    std::string error;
    std::string src = Source("..H.P.\n.@###.\n.#..#.\n.####.\n...1..\n",
                             "customer: Thief 3 20 1 -25 40\ntutorial: 2\nbonus: SpeedUp 100 10 1.5\nbonus: Capacity 300 0 1\n"
                             "story: Story\\Depot.img\nstory picture: Story\\Van.img 200 500\nstory text: Hello\nstory text: @Day 1");
    ASSERT_TRUE(CompileLevelSource("level4.txt", src, TownPictureSize, out, error, TownMeasures())) << error;
    EXPECT_EQ(out.storyFile, "level4.sto");
    EXPECT_TRUE(Has(out.levelText, "\"STO\" \"level4.sto\"\n"));
    EXPECT_TRUE(Has(out.storyText, "\"BKI\" \"Story\\Depot.img\"\n\"IMG\" \"Story\\Van.img\" 200 500\n"));
    // Lines run on into one paragraph; "@" starts another after an empty line, in the same font.
    EXPECT_TRUE(Has(out.storyText, "\"TXT\" \"Hello\"\n\"TXT\" \" \"\n\"TXT\" \"Day 1\"\n\"BTN\" "));
    EXPECT_TRUE(Has(out.levelText, "\"TUT\" 2 "));
    EXPECT_TRUE(Has(out.levelText, "\"PLC\" \"Town\\Vehicle\\PoliceLeft.img\""));
    EXPECT_TRUE(Has(out.levelText, "\"POL\" \"Town\\Police\\PostI.img\""));
    EXPECT_TRUE(Has(out.levelText, " 4 0 0 N\n")) << "the station takes no orders";
    EXPECT_TRUE(Has(out.levelText, "\"Town\\Bonus\\SpeedUpShop.img\" 0 100 10 1.5 770 110\n"));
    EXPECT_TRUE(Has(out.levelText, "\"Town\\Bonus\\CapacityShop.img\" 7 300 0 1 0 0\n")) << "no button for the cargo slot";
    for (const auto& p : out.pictures)
        EXPECT_TRUE(FindTownPicture(p) || p == "Hud\\Digits.img" || p == "Hud\\HudFont.img") << p;
    EXPECT_EQ(out.nextLevels, std::vector<std::string>{"level2.lvl"});
}

TEST(DatagenLevelSource, WaterLiesUnderTheOtherDecorationsAndAPondInItBecomesLilies)
{
    // Flowers come first in the map, a pond sits between two water cells, a
    // second pond stands alone on the grass.
    const std::string t = Compile(Source("*.H.1.o\n.@###..\n.#..#..\n.####..\n~o~....\n"));
    const size_t firstWater = t.find("\"DEC\" \"Town\\Deco\\WaterR.img\"");
    ASSERT_NE(firstWater, std::string::npos) << t;
    EXPECT_TRUE(Has(t, "\"DEC\" \"Town\\Deco\\WaterLR.img\""));
    EXPECT_TRUE(Has(t, "\"DEC\" \"Town\\Deco\\WaterL.img\""));
    const size_t flowers = t.find("FlowersRed.img");
    const size_t lilies = t.find("Lilies.img");
    ASSERT_NE(flowers, std::string::npos);
    ASSERT_NE(lilies, std::string::npos);
    EXPECT_LT(t.rfind("\"DEC\" \"Town\\Deco\\Water"), flowers) << "every water cell before the flowers";
    EXPECT_GT(lilies, flowers);
    EXPECT_EQ(t.find("Lilies.img", lilies + 1), std::string::npos) << "the pond on the grass stays a pond";
    EXPECT_TRUE(Has(t, "Pond.img"));
}

TEST(DatagenLevelSource, StoryTextIsWrappedToThePaperInThePanelFont)
{
    const std::string words =
        "story text: Somebody has been taking parcels from doorsteps all over town, so keep an eye on\n"
        "story text: every stranger who orders today.\n";
    CompiledLevel out;
    std::string error;
    ASSERT_TRUE(CompileLevelSource("level1.txt", Source(kTown, "story: Story\\Depot.img\n" + words), TownPictureSize, out, error,
                                   TownMeasures()))
        << error;
    std::vector<std::string> lines;
    for (size_t a = out.storyText.find("\"TXT\" \""); a != std::string::npos;
         a = out.storyText.find("\"TXT\" \"", a + 1)) {
        const size_t b = out.storyText.find('"', a + 7);
        lines.push_back(out.storyText.substr(a + 7, b - a - 7));
    }
    ASSERT_GE(lines.size(), 3u) << out.storyText;
    std::string joined;
    const double room = kStoryPaperX + kStoryPaperW - kStoryPaperMargin - 360;
    for (const std::string& line : lines) {
        EXPECT_LE(FontTextWidth(kHudFontStyle, line), room) << line;
        EXPECT_GT(FontTextWidth(kHudFontStyle, line), room / 2) << "a narrow column: " << line;
        joined += (joined.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(joined,
              "Somebody has been taking parcels from doorsteps all over town, so keep an eye on every stranger who "
              "orders today.");

    // One word wider than the paper, and more text than the paper holds.
    EXPECT_TRUE(Has(Compile(Source(kTown, "story: Story\\Depot.img\nstory text: " + std::string(60, 'W')), false),
                    "a word is wider than the paper"));
    std::string tall = "story: Story\\Depot.img\n";
    for (int i = 0; i < 16; ++i)
        tall += "story text: @Line\n";
    EXPECT_TRUE(Has(Compile(Source(kTown, tall), false), "runs past the bottom of the paper"));
}

TEST(DatagenLevelSource, MiniGameCourseUsesLaneCellsAndTheLastDayHasAnEmptyNext)
{
    std::string src = "name: Ride\nnext: -\nkind: 1\norders: 1\ncourse: 6000\ntutorial: 3\ntarget: 200 3\nmap:\n"
                      "T.....T\n.......\n.##@##.\n";
    CompiledLevel out;
    std::string error;
    ASSERT_TRUE(CompileLevelSource("level5.txt", src, TownPictureSize, out, error, TownMeasures())) << error;
    EXPECT_TRUE(Has(out.levelText, "\"RN\" \"MiniGame\\Lane.img\" 1 2 0\n\"RNR\" 2 2 0\n"));
    EXPECT_TRUE(Has(out.levelText, "\"LVT\" 1\n"));
    EXPECT_TRUE(Has(out.levelText, "\"LTM\" 6\n")) << "the loader reads seconds: 6 s is a 6000 px course";
    EXPECT_TRUE(Has(out.levelText, "\"BAK\" \"MiniGame\\Road.img\""));
    EXPECT_TRUE(Has(out.levelText, " 3 2 0 4 1 T\n")) << "the van drives up the course";
    EXPECT_TRUE(Has(out.levelText, "\"LVL\" \"\"\n\"END\"\n"));
    EXPECT_TRUE(out.nextLevels.empty());
    EXPECT_FALSE(CompileLevelSource("level5.txt", src + "..H....\n", TownPictureSize, out, error, TownMeasures()));
    EXPECT_TRUE(Has(error, "level5.txt:12: a mini-game course holds lanes and decorations only")) << error;
    // A day of 0 orders is a story-only day, which would skip the course.
    std::string none = src;
    none.replace(none.find("orders: 1"), 9, "orders: 0");
    EXPECT_FALSE(CompileLevelSource("level5.txt", none, TownPictureSize, out, error, TownMeasures()));
    EXPECT_TRUE(Has(error, "level5.txt:4: orders: a driving course is one order")) << error;
}

// `brimvale --try` and `brimvale-data check` compile a source in the game, over
// the data set, with what its pictures and font measure: every shipped source
// must come out as the very day and story the generator built, or the level
// maker tries and checks another day than the one that ships.
TEST_F(DatagenGameLoad, EverySourceCompiledInTheGameIsTheDayTheGeneratorBuilt)
{
    const LevelMeasures game = GMLevelCheck::Measures(m_manager.get(), m_device);
    for (int n = 1; n <= 14; ++n) {
        const std::string name = "level" + std::to_string(n) + ".txt";
        SCOPED_TRACE(name);
        std::ifstream in(std::string(BRIMVALE_DATAGEN_SRC_DIR) + "/levels/" + name, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ASSERT_FALSE(text.str().empty());
        CompiledLevel built, tried;
        std::string error;
        ASSERT_TRUE(CompileLevelSource(name, text.str(), TownPictureSize, built, error, TownMeasures())) << error;
        ASSERT_TRUE(CompileLevelSource(name, text.str(), DataSetPictureSize, tried, error, game)) << error;
        EXPECT_EQ(tried.levelText, built.levelText);
        EXPECT_EQ(tried.storyText, built.storyText);
    }
}

#endif
