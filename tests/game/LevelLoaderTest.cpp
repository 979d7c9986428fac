#include "game/LevelFixture.h"

#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string s)
{
    // Tags only: the picture names stay as they are.
    std::string out;
    bool inQuote = false;
    std::string word;
    for (char c : s) {
        if (c == '"') {
            if (inQuote) {
                bool isTag = word.size() <= 3 && std::all_of(word.begin(), word.end(), [](char ch) {
                                 return std::isupper(static_cast<unsigned char>(ch));
                             });
                if (isTag)
                    std::transform(word.begin(), word.end(), word.begin(), ::tolower);
                out += word;
                word.clear();
            }
            inQuote = !inQuote;
            out += c;
        } else if (inQuote) {
            word += c;
        } else {
            out += c;
        }
    }
    return out;
}

GMRoadNodeObj* Node(GMLevelRun& run, int x, int y, int layer = 0)
{
    GMFieldObj* obj = run.Grid().Lookup(x, y, layer);
    return obj && obj->GetKind() == kKindRoadNode ? static_cast<GMRoadNodeObj*>(obj) : nullptr;
}

}  // namespace

// ---- Tags -----------------------------------------------------------------------------------

TEST_F(LevelTest, LowerCaseTagsLoadLikeUpperCase)
{
    std::string text = Town(2) + Trade() + "\"LOR\" 4 \"LSC\" 55.5 \"LST\" 9 \"OBT\" 1.5 \"CMB\" 1 2 3 4 5 6\n\"END\"\n";
    ASSERT_EQ(LoadText(text), kLoadOk);
    GMLevelRun::DayParameters upper = m_run.Day();
    int32_t upperHouses = m_run.GetOrderHouseCount();
    int32_t upperShops = m_run.ShopGoods().GetCount();

    ASSERT_EQ(LoadText(Lower(text)), kLoadOk) << Lower(text);
    const GMLevelRun::DayParameters& lower = m_run.Day();
    EXPECT_EQ(lower.orders, 4);
    EXPECT_FLOAT_EQ(lower.moneyTarget, upper.moneyTarget);
    EXPECT_EQ(lower.ratingTarget, upper.ratingTarget);
    EXPECT_FLOAT_EQ(lower.orderStopTime, 1500.0f) << "seconds become milliseconds";
    EXPECT_EQ(lower.combo[5], 6);
    EXPECT_EQ(m_run.GetOrderHouseCount(), upperHouses);
    EXPECT_EQ(upperHouses, 2);
    EXPECT_EQ(m_run.ShopGoods().GetCount(), upperShops);
    EXPECT_NE(Node(m_run, 9, 1), nullptr);
}

TEST_F(LevelTest, LinkTagsNeedACurrentNodeAndTheirThirdLetter)
{
    // An RNR before any road node is an unknown tag: its numbers are passed
    // over and the tags after it still count.
    std::string text = "\"RNR\" 4 4 0 \"LOR\" 0\n"
                       "\"RN\" \"road.img\" 3 4 0 \"RNR\" 4 4 0 \"RNX\" 9 9 9\n"
                       "\"RN\" \"road.img\" 4 4 0 \"rnl\" 3 4 0 \"RNB\" -1 5 0\n"
                       "\"FLW\" 10 \"FLH\" 10\n\"END\"\n";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeOut | kStateShop) << "the LOR after the RNR counted";
    GMRoadNodeObj* a = Node(m_run, 3, 4);
    GMRoadNodeObj* b = Node(m_run, 4, 4);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetNeighbour(kSideRight), b);
    EXPECT_EQ(b->GetNeighbour(kSideLeft), a);
    EXPECT_EQ(b->GetNeighbour(kSideBottom), nullptr) << "a negative coordinate is not recorded";
    EXPECT_EQ(a->GetNeighbour(kSideTop), nullptr);
}

TEST_F(LevelTest, SecondRoadNodeReplacesTheFirstAndBadCellsAreRefused)
{
    WriteSolidTemplate("road2", 1, 40, 40, 0xFF404040);
    std::string text = "\"RN\" \"road.img\" 3 4 0\n\"RN\" \"road2.img\" 3 4 0\n"
                       "\"RN\" \"road.img\" 25 0 0\n\"RN\" \"road.img\" -1 0 0\n\"RN\" \"road.img\" 0 0 5\n"
                       "\"RN\" \"\" 1 1 0\n\"RN\" \"missing.img\" 2 2 0\n\"FLW\" 10 \"FLH\" 10\n\"END\"\n";
    ASSERT_EQ(LoadText(text), kLoadOk);
    GMRoadNodeObj* node = Node(m_run, 3, 4);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(node->GetImage().GetTemplateName(), "road2.img");
    EXPECT_EQ(m_run.DrawList().GetCount(), 1) << "only the replacing node is in the town";
    EXPECT_EQ(m_notes.refused.size(), 5u);
    ASSERT_GE(m_notes.refused.size(), 5u);
    EXPECT_NE(m_notes.refused[0].find("outside"), std::string::npos) << m_notes.refused[0];
    EXPECT_NE(m_notes.refused[1].find("negative"), std::string::npos) << m_notes.refused[1];
    EXPECT_NE(m_notes.refused[3].find("empty image"), std::string::npos) << m_notes.refused[3];
    EXPECT_NE(m_notes.refused[4].find("cannot be loaded"), std::string::npos) << m_notes.refused[4];
}

TEST_F(LevelTest, FieldSizesAndCellSizesAreClamped)
{
    ASSERT_EQ(LoadText("\"FLW\" 40 \"FLH\" 99 \"FLL\" 7 \"CLW\" -3 \"CLH\" 0\n\"END\"\n"), kLoadOk);
    EXPECT_EQ(m_run.Day().fieldWidth, 25);
    EXPECT_EQ(m_run.Day().fieldHeight, 20);
    EXPECT_EQ(m_run.Day().fieldLayers, 5);
    EXPECT_FLOAT_EQ(m_run.Grid().cellWidth, 4.0f);
    EXPECT_FLOAT_EQ(m_run.Grid().cellHeight, 4.0f);

    ASSERT_EQ(LoadText("\"FLW\" 0 \"FLH\" -4 \"FLL\" 0\n\"END\"\n"), kLoadOk);
    EXPECT_EQ(m_run.Day().fieldWidth, 1);
    EXPECT_EQ(m_run.Day().fieldHeight, 1);
    EXPECT_EQ(m_run.Day().fieldLayers, 1);
    EXPECT_FLOAT_EQ(m_run.Grid().cellWidth, 45.0f) << "defaults come back with each load";
    EXPECT_FLOAT_EQ(m_run.Grid().originX, -22.0f);
}

TEST_F(LevelTest, LevelNumberComesFromTheFileName)
{
    ASSERT_EQ(LoadText("\"END\"", "level7.lvl"), kLoadOk);
    EXPECT_EQ(m_run.GetLevelNumber(), 7);
    EXPECT_EQ(m_run.GetFileName(), "level7.lvl");
    ASSERT_EQ(LoadText("\"END\"", "level12.lvl"), kLoadOk);
    EXPECT_EQ(m_run.GetLevelNumber(), 12);
    ASSERT_EQ(LoadText("\"END\"", "final.lvl"), kLoadOk);
    EXPECT_EQ(m_run.GetLevelNumber(), 0);
}

TEST_F(LevelTest, NextLevelThatIsNotThereIsNoted)
{
    // Not taken for the last day: whoever goes on to it is told it is missing.
    ASSERT_EQ(LoadText("\"LVL\" \"level9.lvl\" \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetNextLevel(), "level9.lvl");
    EXPECT_EQ(m_notes.refused, std::vector<std::string>{"LVL \"level9.lvl\": the next day's file cannot be opened"});
    WriteLevel("level9.lvl", "\"END\"");
    ASSERT_EQ(LoadText("\"LVL\" \"level9.lvl\" \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetNextLevel(), "level9.lvl");
    EXPECT_TRUE(m_notes.refused.empty());
}

// ---- Missing END, level kinds, failures -------------------------------------------------------

TEST_F(LevelTest, DayWithoutEndIsRefusedWhateverItsKind)
{
    // A day cut short would lose the rest of itself and the game after it.
    std::string body = Town(1) + Trade() + "\"LOR\" 3";
    for (const char* kind : {"", "\"LVT\" 0 ", "\"LVT\" 1 ", "\"LVT\" 2 "}) {
        ASSERT_EQ(LoadText(kind + body), kLoadFailed) << kind;
        EXPECT_FALSE(m_notes.reachedEnd);
        EXPECT_EQ(m_notes.failure, "level3.lvl: the file ends before \"END\"");
        EXPECT_EQ(m_run.Day().orders, 0) << "a failed load leaves the run reset";
        EXPECT_EQ(m_run.DrawList().GetCount(), 0);
    }
    ASSERT_EQ(LoadText(body + " \"END\""), kLoadOk);
    EXPECT_EQ(m_run.Day().orders, 3);
    EXPECT_EQ(m_run.GetOrderHouseCount(), 1);
    ASSERT_EQ(LoadText("\"LVT\" 2 " + body + " \"END\""), kLoadFailed) << "an unknown kind never ends";
}

TEST_F(LevelTest, MissingFileAndMissingInterfacePictures)
{
    EXPECT_EQ(Load("nowhere.lvl"), kLoadNoFile);
    EXPECT_NE(m_notes.failure.find("nowhere.lvl"), std::string::npos) << m_notes.failure;
    std::filesystem::remove("FontBig.img");
    std::filesystem::remove("RatingBk.img");
    EXPECT_EQ(LoadText("\"LOR\" 1 \"END\""), kLoadFailed);
    EXPECT_NE(m_notes.failure.find("RatingBk.img"), std::string::npos) << "the first failure is named: "
                                                                        << m_notes.failure;
}

TEST_F(LevelTest, TruncatedTagDropsItsValues)
{
    // The file ends in the middle of a BL: that building is not made, and
    // the day is refused, naming the tag.
    ASSERT_EQ(LoadText(Town(1) + "\"LOR\" 2 \"BL\" \"house.img\" 5 0"), kLoadFailed);
    EXPECT_EQ(m_notes.cutTag, "BL");
    EXPECT_EQ(m_notes.failure, "level3.lvl: the file ends in the middle of \"BL\" (no \"END\")");
    EXPECT_EQ(m_run.Buildings().GetCount(), 0);
}

// ---- Post-load steps ------------------------------------------------------------------------

TEST_F(LevelTest, TownIsLinkedAfterLoading)
{
    std::string text = Town(2) + Trade() +
                       "\"BL\" \"house.img\" 8 3 0 Y\n"  // a house with no road: never orders
                       "\"BL\" \"house.img\" 4 0 0 N\n"  // a shop on the road
                       "\"DEC\" \"deco.img\" 10 20 1 \"DEC\" \"deco.img\" 10 20 5\n"
                       "\"LOR\" 2 \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    EXPECT_EQ(m_run.GetOrderHouseCount(), 2);
    EXPECT_EQ(m_run.Buildings().GetCount(), 4);
    EXPECT_EQ(m_run.Decorations(1).GetCount(), 1);
    EXPECT_EQ(m_notes.refused.size(), 1u) << "the decoration in layer 5";

    GMTransportObj* car = m_run.GetVehicle();
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->GetCurrentNode(), Node(m_run, 1, 1)) << "the start cell becomes the current node";
    EXPECT_EQ(car->GetCapacity(), 1) << "capacity is 1 plus the profile's extra slots";

    // The draw list runs layer, then row, then column.
    ASSERT_EQ(m_run.DrawList().GetCount(), 9 + 4);
    DrawOrderKey last{-1, -1, -1};
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.DrawList().GetNext(c));) {
        DrawOrderKey key = DrawOrderOf(static_cast<GMFieldObj*>(o));
        EXPECT_TRUE(last < key);
        last = key;
    }
    EXPECT_FLOAT_EQ(m_run.GetGoodsWeight(), 1.0f);
    EXPECT_FLOAT_EQ(m_run.GetCustomerWeight(), 1.0f);
    // One icon per offered goods, resting at its shop.
    EXPECT_EQ(m_run.Icons().GetCount(), 2);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(2, &x, &y));
    EXPECT_FLOAT_EQ(x, 200.0f);
    EXPECT_FLOAT_EQ(y, 500.0f);
}

TEST_F(LevelTest, CapacityFollowsTheProfilesExtraSlots)
{
    m_profile.AddBonus(GMLevelRun::kCapacityBonus, 0.0f, 10, 1.0f, 2);
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 1 \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetVehicle()->GetCapacity(), 3);
}

TEST_F(LevelTest, DayWithoutOrdersEndsOnItsFirstFrame)
{
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 0 \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeOut | kStateShop);
    EXPECT_FLOAT_EQ(m_run.GetRatingMaximum(), 0.0f);
    EXPECT_EQ(m_run.Frame(0, 0, 0, 16.0f), kLevelNext);
}

TEST_F(LevelTest, TitleShowsAsBigMessageAtTheStart)
{
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 2 \"LVN\" \"Monday\" \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeIn | kStateMessage);
    EXPECT_EQ(m_run.GetBigMessageText(), "Monday");
    EXPECT_FLOAT_EQ(m_run.GetAlpha(), 255.0f);
    EXPECT_FLOAT_EQ(m_run.GetSpawnDelay(), 0.0f);
}
