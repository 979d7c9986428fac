#include "game/LevelFixture.h"

#include "core/GameRandom.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <limits>

// Damaged and hostile level files: each loads what it can or fails with its
// result code, and the day that loads can be played and drawn.

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

TEST_F(DamagedLevel, EveryTruncationLoadsOrFailsCleanly)
{
    const std::string full = FullLevel();
    int loaded = 0;
    for (size_t n = 0; n <= full.size(); n += 41) {
        int32_t r = LoadText(full.substr(0, n));
        ASSERT_TRUE(r == kLoadOk || r == kLoadFailed) << n;
        loaded += r == kLoadOk;
        for (int i = 0; i < 30; ++i)
            m_run.Frame(100.0f, 100.0f, i % 5 == 0 ? 1u : 0u, 16.0f);
    }
    EXPECT_GT(loaded, 0) << "a working day without END loads what it read";
    ASSERT_EQ(LoadText(full), kLoadOk);
    EXPECT_TRUE(m_notes.refused.empty()) << m_notes.refused.front();
    PlayAndDraw();
}

TEST_F(DamagedLevel, UnknownTagsAndGarbageArePassedOver)
{
    std::string text = "\"XYZ\" 1 2 3 \"NOPE\" \"LOR\" 2 \"RNQ\" 1 1 1 \"\" 5 \"LSC\" 12 garbage tokens here\n" + Town(1) +
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500 \"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n"
                       "\"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.Day().orders, 2);
    EXPECT_FLOAT_EQ(m_run.Day().moneyTarget, 12.0f);
    PlayAndDraw();

    // Bytes that are no level at all.
    GameRandom r(99);
    std::string noise;
    for (int i = 0; i < 4000; ++i)
        noise.push_back(static_cast<char>(r.Next() & 0xFF));
    int32_t result = LoadText(noise);
    EXPECT_TRUE(result == kLoadOk || result == kLoadFailed);
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
    EXPECT_EQ(m_run.GetOrdersLeft(), std::numeric_limits<int32_t>::max());
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

    ASSERT_EQ(LoadText(Town(1) + "\"LOR\" -7 \"END\""), kLoadOk);
    PlayAndDraw();
}

TEST_F(DamagedLevel, LinksOutsideTheGridAndToThemselves)
{
    std::string text = "\"FLW\" 10 \"FLH\" 10\n"
                       "\"RN\" \"road.img\" 2 2 0 \"RNR\" 3 2 0 \"RNL\" 2 2 0 \"RNT\" 2 99 0 \"RNB\" 9999 9999 4\n"
                       "\"RN\" \"road.img\" 3 2 0 \"RNL\" 2 2 0 \"RNR\" 3 2 0 \"RNB\" 24 19 4\n"
                       "\"BL\" \"house.img\" 3 1 0 Y\n"
                       "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 2 2 0 5 1 L\n"
                       "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500 \"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n"
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
                       "\"SHG\" \"gone.img\" \"gone.img\" 1 20 1 100 500 \"CUS\" \"gone.img\" \"gone.img\" 0 60 1 1 1\n"
                       "\"LOR\" 2 \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.DrawList().GetCount(), 0);
    EXPECT_GE(m_notes.refused.size(), 6u);
    PlayAndDraw();
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
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" 1 \"LOR\" 1"), kLoadOk) << "the mini-game kind loads without END too";
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" -3 \"LOR\" 1"), kLoadFailed);
    EXPECT_EQ(LoadText(Town(1) + "\"LVT\" 99 \"LOR\" 1 \"END\""), kLoadOk);
}
