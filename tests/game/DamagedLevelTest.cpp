#include "game/LevelFixture.h"

#include "core/GameRandom.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <limits>
#include <vector>

// Damaged and hostile level files: each is refused with its reason, or loads
// with its values bounded so that the day can always end; the day that loads
// can be played and drawn.

class DamagedLevel : public LevelTest {
protected:
    // A few seconds of play with clicks all over, drawn every frame.
    void PlayAndDraw()
    {
        GameRandom r(3);
        for (int i = 0; i < 200; ++i) {
            float x = static_cast<float>(r.Next() % 800), y = static_cast<float>(r.Next() % 600);
            uint32_t buttons = (i % 7 == 0) ? 1u : (i % 23 == 0) ? 2u : 0u;
            int32_t result = m_run.Frame(x, y, buttons, 16.0f);
            ASSERT_GE(result, 0);
            ASSERT_LE(result, 3);
            BeginFrame();
            m_run.Draw(m_device);
            EndFrame();
            if (result != 0)
                break;
        }
    }

    std::string FullLevel()
    {
        return Town(3) + "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500\n"
                         "\"SHG\" \"goods.img\" \"goodsh.img\" 2 30 1 200 500\n"
                         "\"CUS\" \"cus.img\" \"cus.img\" 0 5 1 1 1\n\"CUS\" \"cus.img\" \"cus.img\" 1 5 1 2 2\n"
                         "\"BL\" \"house.img\" 4 0 0 N\n\"POL\" \"post.img\" \"post.img\" 180 120\n"
                         "\"PLC\" \"car.img\" \"car.img\" \"car.img\" \"car.img\"\n"
                         "\"CUS\" \"cus.img\" \"cus.img\" 3 5 1 -50 80\n"
                         "\"BON\" \"goods.img\" \"goods.img\" \"goods.img\" 1 50 10 2 700 500\n"
                         "\"DEC\" \"deco.img\" 300 300 1 \"TUT\" 1 \"lit.img\" \"unlit.img\"\n"
                         "\"CMB\" 5 10 15 2 3 4 \"LOR\" 6 \"LSC\" 40 \"LVN\" \"Day\" \"END\"\n";
    }
};

TEST_F(DamagedLevel, EveryTruncationIsRefusedWithItsReason)
{
    const std::string full = FullLevel();
    const size_t end = full.rfind("\"END\"");
    for (size_t n = 0; n < end; n += 41) {
        ASSERT_EQ(LoadText(full.substr(0, n)), kLoadFailed) << n;
        EXPECT_NE(m_notes.failure.find("level3.lvl: the file ends"), std::string::npos) << m_notes.failure;
        EXPECT_EQ(m_run.DrawList().GetCount(), 0) << "nothing of a refused day stays";
        EXPECT_EQ(m_run.Frame(100.0f, 100.0f, 1u, 16.0f), kLevelGoOn);
    }
    // Cut inside a tag's values: the reason names the tag.
    ASSERT_EQ(LoadText(full.substr(0, full.find("\"LSC\" 40") + 6)), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level3.lvl: the file ends in the middle of \"LSC\" (no \"END\")");
    // A cut between two tags: no tag was cut, END is missing.
    ASSERT_EQ(LoadText(full.substr(0, end)), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level3.lvl: the file ends before \"END\"");
    ASSERT_EQ(LoadText(full), kLoadOk);
    EXPECT_TRUE(m_notes.refused.empty()) << m_notes.refused.front();
    PlayAndDraw();
}

// A tag whose values the end of the file cut off changes nothing: the file is
// refused for its missing END, and the reason names the tag.
TEST_F(DamagedLevel, TagsCutAtTheEndChangeNothing)
{
    for (const char* tag : {"FLW", "FLH", "FLL", "ORX", "ORY", "OTD", "OTM", "OTI", "OBT", "SBT", "PBT", "LTM",
                            "BUY", "LOR", "OSG", "LVT", "LSC"}) {
        ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 2 \"" + tag + "\""), kLoadFailed) << tag;
        EXPECT_EQ(m_notes.cutTag, tag);
        EXPECT_EQ(m_notes.failure,
                  std::string("level3.lvl: the file ends in the middle of \"") + tag + "\" (no \"END\")");
        EXPECT_EQ(m_run.Day().fieldWidth, 17) << tag << ": the run is back at its defaults";
    }
}

TEST_F(DamagedLevel, UnknownTagsAndGarbageArePassedOver)
{
    std::string text = "\"XYZ\" 1 2 3 \"NOPE\" \"LOR\" 2 \"RNQ\" 1 1 1 \"\" 5 \"LSC\" 12 garbage tokens here\n" + Town(1) +
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500\n"
                       "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n"
                       "\"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.Day().orders, 2);
    EXPECT_FLOAT_EQ(m_run.Day().moneyTarget, 12.0f);
    PlayAndDraw();

    // Bytes that are no level at all: no END, refused.
    GameRandom r(99);
    std::string noise;
    for (int i = 0; i < 4000; ++i)
        noise.push_back(static_cast<char>(r.Next() & 0xFF));
    EXPECT_EQ(LoadText(noise), kLoadFailed);
    EXPECT_NE(m_notes.failure.find("the file ends"), std::string::npos) << m_notes.failure;
    PlayAndDraw();
}

TEST_F(DamagedLevel, HugeAndNegativeNumbersStayDefined)
{
    std::string text = Town(2) +
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 1 1e30 1e30 100 500\n"
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 2 -5 -1 1e38 -1e38\n"
                       "\"CUS\" \"cus.img\" \"cus.img\" 0 1e30 1 1e30 -1e30\n"
                       "\"CUS\" \"cus.img\" \"cus.img\" 7 -4 -1 1 1\n"
                       "\"LOR\" 2147483647 \"OSG\" -5 \"OMG\" 99999999999 \"CMB\" 2147483647 2147483647 1 1 2 -3\n"
                       "\"OTM\" 1e38 \"OTI\" -1e38 \"ORX\" 1e38 \"ORY\" -1e38 \"CLW\" 1e38 \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    // Values a day could never get past are bounded, each noted.
    EXPECT_EQ(m_run.GetOrdersLeft(), 1000);
    EXPECT_EQ(m_run.GetOrdersTotal(), 1000);
    EXPECT_EQ(m_run.Day().maxActiveOrders, 1);
    EXPECT_FLOAT_EQ(m_run.Day().minSpawnDelay, 600000.0f);
    EXPECT_FLOAT_EQ(m_run.Day().randomSpawnDelay, 0.0f);
    const std::vector<std::string> bounded = {"OTM inf s: bounded to 600 s", "OTI -inf s: bounded to 0 s",
                                              "LOR 2147483647: bounded to 1000", "OSG -5: bounded to 1"};
    EXPECT_EQ(m_notes.refused, bounded);
    EXPECT_FLOAT_EQ(m_run.Grid().originX, GMLevelRun::kMaxScreenCoord);
    EXPECT_FLOAT_EQ(m_run.Grid().originY, -GMLevelRun::kMaxScreenCoord);
    EXPECT_FLOAT_EQ(m_run.Grid().cellWidth, 10000.0f);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(2, &x, &y));
    EXPECT_FLOAT_EQ(x, GMLevelRun::kMaxScreenCoord) << "far off screen, but a number";
    PlayAndDraw();
    m_run.EndTheDay();
    EXPECT_EQ(m_run.GetReceipts(), std::numeric_limits<int32_t>::max()) << "sums saturate";
    PlayAndDraw();

    // Fewer than no orders is none: the day goes straight to the shop.
    ASSERT_EQ(LoadText(Town(1) + "\"LOR\" -7 \"END\""), kLoadOk);
    EXPECT_EQ(m_run.Day().orders, 0);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeOut | kStateShop);
    ASSERT_EQ(m_notes.refused.size(), 1u);
    EXPECT_EQ(m_notes.refused[0], "LOR -7: bounded to 0");
    PlayAndDraw();

    // Waits without end (seconds beyond a float once made milliseconds), a
    // resume level nothing falls to.
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 3 \"OTM\" 1e37 \"OTD\" 1e39 \"OBT\" 1e36 \"OMG\" -2 \"END\""),
              kLoadOk);
    EXPECT_FLOAT_EQ(m_run.Day().minSpawnDelay, 600000.0f);
    EXPECT_FLOAT_EQ(m_run.Day().startDelay, 600000.0f);
    EXPECT_FLOAT_EQ(m_run.Day().orderStopTime, 600000.0f);
    EXPECT_EQ(m_run.Day().resumeLevel, 0);
    EXPECT_EQ(m_notes.refused.size(), 4u);
}

TEST_F(DamagedLevel, DaysThatCouldNeverEndAreRefusedWithTheReason)
{
    const std::string noHouse = "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 10 1 R\n";
    struct Case {
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {noHouse + Trade() + "\"LOR\" 4 \"END\"", "4 orders (\"LOR\") but no house that places orders"},
        // A house without a road at its door places no orders either.
        {"\"BL\" \"house.img\" 2 0 0 Y\n" + Trade() + "\"LOR\" 4 \"END\"", "but no house that places orders"},
        {Town(1) + "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500 \"LOR\" 4 \"END\"", "but no customer"},
        {Town(1) + "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1 \"LOR\" 4 \"END\"", "but no goods to order"},
        // The police service is no goods a customer orders.
        {Town(1) + "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1 \"POL\" \"post.img\" \"post.img\" 180 120 "
                   "\"LOR\" 4 \"END\"",
         "but no goods to order"},
        {Town(1) + Trade() + "\"LVT\" 2 \"LOR\" 4 \"END\"", "unknown level kind 2"},
        {Town(1) + Trade() + "\"LVT\" -1 \"LOR\" 4 \"END\"", "unknown level kind -1"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(LoadText(c.text), kLoadFailed) << c.reason;
        EXPECT_NE(m_notes.failure.find(c.reason), std::string::npos) << m_notes.failure;
        EXPECT_EQ(m_notes.failure.find("level3.lvl: "), 0u) << m_notes.failure;
    }
    // Without orders the same towns are days that end at once.
    ASSERT_EQ(LoadText(noHouse + "\"LOR\" 0 \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeOut | kStateShop);
}

TEST_F(DamagedLevel, NextLevelThatCannotBeOpenedIsKeptAndNoted)
{
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 1 \"LVL\" \"level9.lvl\" \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetNextLevel(), "level9.lvl") << "not taken for the last day";
    ASSERT_EQ(m_notes.refused.size(), 1u);
    EXPECT_EQ(m_notes.refused[0], "LVL \"level9.lvl\": the next day's file cannot be opened");
    // Won, the day leads on to it: the profile keeps every day and names it.
    m_profile.AddLevel("level3.lvl");
    m_profile.SetCurrentLevel("level3.lvl");
    m_run.SaveToProfile(false);
    EXPECT_STREQ(m_profile.GetCurrentLevel(), "level9.lvl");
    EXPECT_EQ(m_profile.GetLevelCount(), 2);
    EXPECT_EQ(m_profile.FindLevel("level3.lvl"), 0);
}

TEST_F(DamagedLevel, LinksOutsideTheGridAndToThemselves)
{
    std::string text = "\"FLW\" 10 \"FLH\" 10\n"
                       "\"RN\" \"road.img\" 2 2 0 \"RNR\" 3 2 0 \"RNL\" 2 2 0 \"RNT\" 2 99 0 \"RNB\" 9999 9999 4\n"
                       "\"RN\" \"road.img\" 3 2 0 \"RNL\" 2 2 0 \"RNR\" 3 2 0 \"RNB\" 24 19 4\n"
                       "\"BL\" \"house.img\" 3 1 0 Y\n"
                       "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 2 2 0 5 1 L\n"
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500\n"
                       "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n"
                       "\"LOR\" 1 \"OTD\" 0 \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    auto* a = static_cast<GMRoadNodeObj*>(m_run.Grid().Lookup(2, 2, 0));
    auto* b = static_cast<GMRoadNodeObj*>(m_run.Grid().Lookup(3, 2, 0));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetNeighbour(kSideLeft), a) << "a link to itself is a road to itself";
    EXPECT_EQ(a->GetNeighbour(kSideTop), nullptr) << "a link outside the grid leads nowhere";
    EXPECT_EQ(a->GetNeighbour(kSideBottom), nullptr);
    EXPECT_EQ(b->GetNeighbour(kSideBottom), nullptr) << "an empty cell leads nowhere";
    UntilPlay();
    Run(500);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(1, &x, &y));
    Click(x, y);
    ASSERT_TRUE(m_run.FindOpenOrder(1, &x, &y));
    Click(x, y);
    Run(1000);
    EXPECT_EQ(m_run.GetDelivered(), 1);
    PlayAndDraw();
}

// Found by fuzzing (tests/fuzz/found/level-1.bin): a road node replaced in its
// cell was freed by the grid while the link tags after it still wrote to it.
TEST_F(DamagedLevel, LinkTagsAfterTheirNodeWasReplacedInItsCell)
{
    std::string text = "\"FLW\" 10 \"FLH\" 10\n"
                       "\"RN\" \"road.img\" 3 2 0 \"RN\" \"road.img\" 2 2 0 \"RNR\" 3 2 0\n"
                       "\"BL\" \"house.img\" 2 2 0 N \"RNL\" 1 2 0 \"RNT\" 2 1 0\n"
                       "\"RN\" \"road.img\" 3 2 0 \"RN\" \"road.img\" 3 2 0 \"RNL\" 3 2 0\n"
                       "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 3 2 0 5 1 L\n"
                       "\"LOR\" 0 \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.Grid().Lookup(2, 2, 0)->GetKind(), kKindBuilding) << "the house took the node's cell";
    auto* node = dynamic_cast<GMRoadNodeObj*>(m_run.Grid().Lookup(3, 2, 0));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetNeighbour(kSideLeft), node) << "the links after a node in a reused cell go to the new node";
    PlayAndDraw();
}

TEST_F(DamagedLevel, MissingPicturesDropTheirObjectsOnly)
{
    std::string text = "\"RN\" \"gone.img\" 1 1 0 \"BL\" \"gone.img\" 2 0 0 Y \"DEC\" \"gone.img\" 5 5 0\n"
                       "\"TR\" \"gone.img\" \"gone.img\" \"gone.img\" \"gone.img\" 1 1 0 5 1 R\n"
                       "\"BAK\" \"gone.img\" \"OIT\" \"gone.img\" \"TUT\" 1 \"gone.img\" \"gone.img\"\n"
                       "\"SHG\" \"gone.img\" \"goodsh.img\" 1 20 1 100 500\n"
                       "\"CUS\" \"cus.img\" \"gone.img\" 0 60 1 1 1\n"
                       "\"POL\" \"gone.img\" \"post.img\" 180 120\n"
                       "\"BON\" \"goods.img\" \"goods.img\" \"gone.img\" 1 50 10 2 700 500\n"
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 2 20 1 200 500 \"LOR\" 0 \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.DrawList().GetCount(), 0);
    // Goods, customers, police posts and bonuses without their pictures would
    // be invisible yet clickable: dropped, each named.
    ASSERT_EQ(m_run.ShopGoods().GetCount(), 1);
    EXPECT_EQ(m_run.Customers().GetCount(), 0);
    EXPECT_EQ(m_run.PolicePosts().GetCount(), 0);
    EXPECT_EQ(m_run.Bonuses().GetCount(), 0);
    EXPECT_FLOAT_EQ(m_run.GetGoodsWeight(), 1.0f) << "the dropped goods weigh nothing";
    for (const char* named : {"tag 8 SHG \"gone.img\" goods 1: image cannot be loaded",
                              "tag 9 CUS \"cus.img\" kind 0: image cannot be loaded",
                              "tag 10 POL \"gone.img\" 180 120: image cannot be loaded",
                              "tag 11 BON \"goods.img\" kind 1: image cannot be loaded"})
        EXPECT_NE(std::find(m_notes.refused.begin(), m_notes.refused.end(), named), m_notes.refused.end()) << named;
    PlayAndDraw();
}

TEST_F(DamagedLevel, BonusLinesOfUnknownKindsOrTwiceTheSameAreRefused)
{
    const std::string bon = "\"BON\" \"goods.img\" \"goods.img\" \"goods.img\" ";
    ASSERT_EQ(LoadText(Town(1) + Trade() + bon + "8 50 10 2 700 500\n" + bon + "-1 50 10 2 700 500\n" + bon +
                       "7 300 0 1 700 300\n" + bon + "1 50 10 2 700 400\n" + bon + "1 60 10.0000001 2 700 450\n" +
                       bon + "1 50 10 2.5 700 450\n\"LOR\" 1 \"END\""),
              kLoadOk);
    ASSERT_EQ(m_run.Bonuses().GetCount(), 3) << "kinds 7 and 1, and kind 1 with another value";
    const std::vector<std::string> refused = {
        "tag 45 BON \"goods.img\" kind 8: unknown bonus kind (0 to 7)",
        "tag 46 BON \"goods.img\" kind -1: unknown bonus kind (0 to 7)",
        "tag 49 BON \"goods.img\" kind 1: the same bonus (kind, duration, value) as an earlier line"};
    EXPECT_EQ(m_notes.refused, refused);
}

TEST_F(DamagedLevel, ObjectCountsAreBounded)
{
    std::string text = "\"FLW\" 10 \"FLH\" 10\n";
    for (int i = 0; i < GMLevelRun::kMaxDecorations + 10; ++i)
        text += "\"DEC\" \"deco.img\" 5 5 0\n";
    for (int i = 0; i < GMLevelRun::kMaxObjects + 3; ++i)
        text += "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n";
    text += "\"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.Decorations(0).GetCount(), GMLevelRun::kMaxDecorations);
    EXPECT_EQ(m_run.Customers().GetCount(), GMLevelRun::kMaxObjects);
    EXPECT_EQ(m_notes.refused.size(), 13u);
}

TEST_F(DamagedLevel, LevelKindsAndTheirEnd)
{
    WriteSolidTemplate("MGRangeBk", 1, 32, 16, 0xFF808080);  // the mini-game's progress bar
    WriteSolidTemplate("MGRange", 1, 32, 16, 0xFFFFFFFF);
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" 1 \"LOR\" 1"), kLoadFailed) << "a course cut short is damaged too";
    EXPECT_EQ(m_notes.failure, "level3.lvl: the file ends before \"END\"");
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" -3 \"LOR\" 1"), kLoadFailed);
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" 99 \"LOR\" 1 \"END\""), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level3.lvl: unknown level kind 99 (\"LVT\" 0 is a working day, 1 the course)");
    // A course without end; one of length 0 with a money target beyond 32 bits
    // pays the bounded target at once.
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" 1 \"LTM\" 1e39 \"END\""), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level3.lvl: the course never ends (\"LTM\" is too large)");
    ASSERT_EQ(LoadText(Town(1) + "\"LVT\" 1 \"LTM\" 0 \"LSC\" 1e308 \"END\""), kLoadOk);
    EXPECT_EQ(m_notes.refused, std::vector<std::string>{"LSC inf: bounded to 1e+09"});
    EXPECT_EQ(m_run.GetReceipts(), 1000000000);
    ASSERT_EQ(LoadText(Town(1) + "\"LVT\" 1 \"LTM\" 0 \"LSC\" -3e9 \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetReceipts(), -1000000000);
}
