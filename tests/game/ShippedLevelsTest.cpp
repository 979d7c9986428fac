// Every day the data set ships, loaded through the game's own loader: the
// chain from level1.lvl, the town's links, entrances, shops and pictures.
#include "CourseWay.h"
#include "core/TaggedFile.h"
#include "game/GMLevelRun.h"
#include "player/GMProfile.h"
#include "support/gfx/GfxTestSupport.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"
#include "world/LevelTargetRule.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef BRIMVALE_GAME_DATA_DIR

namespace {

// A scrambled data file as text (the key is its own upper-cased name).
std::string ReadScrambled(const std::string& dir, const std::string& name)
{
    std::ifstream in(dir + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    std::string bytes = s.str();
    FileKey key(name.c_str());
    for (char& c : bytes)
        c = static_cast<char>(static_cast<uint8_t>(c) - key.Next());
    return bytes;
}

std::vector<std::string> Quoted(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t a = text.find('"'); a != std::string::npos;) {
        size_t b = text.find('"', a + 1);
        if (b == std::string::npos)
            break;
        out.push_back(text.substr(a + 1, b - a - 1));
        a = text.find('"', b + 1);
    }
    return out;
}

// Quoted strings and bare words in file order.
std::vector<std::string> Tokens(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        } else if (text[i] == '"') {
            size_t end = text.find('"', i + 1);
            if (end == std::string::npos)
                break;
            out.push_back(text.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            size_t end = i;
            while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])))
                ++end;
            out.push_back(text.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

bool TemplateExists(const std::string& dir, std::string name)
{
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return std::filesystem::exists(dir + "/" + name);
}

// The level files from level1.lvl on, each named by the one before.
std::vector<std::string> LevelChain(const std::string& dir)
{
    std::vector<std::string> chain;
    std::string name = "level1.lvl";
    while (!name.empty() && chain.size() < 40 && std::filesystem::exists(dir + "/" + name)) {
        chain.push_back(name);
        std::vector<std::string> q = Quoted(ReadScrambled(dir, name));
        name.clear();
        for (size_t i = 0; i + 1 < q.size(); ++i)
            if (q[i] == "LVL")
                name = q[i + 1];
    }
    return chain;
}

class ShippedLevels : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        m_chdir.reset();
        m_chdir = std::make_unique<ScopedChdir>(m_data);
        m_profile.SetDisplayName("Tess");
        m_profile.SetFileName("ShippedLevelsTest.prf");
        m_run.SetProfile(&m_profile);
        m_run.FixSeed(11);
    }
    void TearDown() override
    {
        m_run.Reset();
        DeviceTest::TearDown();
    }

    const std::string m_data = BRIMVALE_GAME_DATA_DIR;
    GMProfile m_profile;
    GMLevelRun m_run;
};

} // namespace

TEST_F(ShippedLevels, FourteenDaysChainedFromTheFirstToALastWithAnEmptyNext)
{
    std::vector<std::string> chain = LevelChain(m_data);
    ASSERT_EQ(chain.size(), 14u);
    for (size_t i = 0; i < chain.size(); ++i)
        EXPECT_EQ(chain[i], "level" + std::to_string(i + 1) + ".lvl");
    std::vector<std::string> last = Quoted(ReadScrambled(m_data, chain.back()));
    bool emptyNext = false;
    for (size_t i = 0; i + 1 < last.size(); ++i)
        emptyNext |= last[i] == "LVL" && last[i + 1].empty();
    EXPECT_TRUE(emptyNext);
}

TEST_F(ShippedLevels, EveryDayLoadsWithAConnectedTownAndShopsForItsOrders)
{
    std::set<int> tutorials, kinds, bonusKinds, visitors;
    int bridges = 0;
    for (const std::string& name : LevelChain(m_data)) {
        SCOPED_TRACE(name);
        ASSERT_EQ(m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, nullptr, nullptr), 0);
        const auto& day = m_run.Day();
        EXPECT_FALSE(day.title.empty());
        tutorials.insert(day.tutorial);
        kinds.insert(day.levelKind);
        for (int32_t c = -1; auto* b = static_cast<GMObject*>(m_run.Bonuses().GetNext(c));)
            bonusKinds.insert(static_cast<GMBonusObj*>(b)->GetBonusKind());
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Customers().GetNext(c));)
            visitors.insert(static_cast<GMCustomerObj*>(o)->GetCustomerKind());
        const GMFieldGrid& grid = m_run.Grid();
        // Road nodes: every link reaches a road node that links back.
        std::vector<GMRoadNodeObj*> nodes;
        for (int32_t l = 0; l < day.fieldLayers; ++l)
            for (int32_t y = 0; y < day.fieldHeight; ++y)
                for (int32_t x = 0; x < day.fieldWidth; ++x) {
                    GMFieldObj* f = grid.Lookup(x, y, l);
                    if (!f || f->GetKind() != kKindRoadNode)
                        continue;
                    auto* node = static_cast<GMRoadNodeObj*>(f);
                    nodes.push_back(node);
                    bridges += l > 0;
                    int links = 0;
                    for (int32_t side = 0; side < kSideCount; ++side) {
                        GMRoadNodeObj* to = node->GetNeighbour(side);
                        if (!to)
                            continue;
                        ++links;
                        EXPECT_EQ(to->GetNeighbour((side + 2) % 4), node) << "one-way road at (" << x << ", " << y << ")";
                    }
                    EXPECT_GT(links, 0) << "road (" << x << ", " << y << ", " << l << ") has no neighbour";
                }
        // Every link tag of the file names a cell that holds a road node.
        std::vector<std::string> tokens = Tokens(ReadScrambled(m_data, name));
        int32_t cur[3] = {-1, -1, -1};
        for (size_t i = 0; i + 3 < tokens.size(); ++i) {
            const std::string& t = tokens[i];
            if (t == "RN" && i + 4 < tokens.size()) {
                for (int k = 0; k < 3; ++k)
                    cur[k] = std::atoi(tokens[i + 2 + k].c_str());
            } else if (t.size() == 3 && t.rfind("RN", 0) == 0 && cur[0] >= 0) {
                int32_t x = std::atoi(tokens[i + 1].c_str()), y = std::atoi(tokens[i + 2].c_str()),
                        l = std::atoi(tokens[i + 3].c_str());
                GMFieldObj* to = grid.Lookup(x, y, l);
                EXPECT_TRUE(to && to->GetKind() == kKindRoadNode)
                    << t << " of (" << cur[0] << ", " << cur[1] << ", " << cur[2] << ") points at (" << x << ", " << y
                    << ", " << l << ")";
            }
        }
        ASSERT_FALSE(nodes.empty());
        // Every road node can be driven to from the vehicle's start.
        ASSERT_NE(m_run.GetVehicle(), nullptr);
        GMRoadNodeObj* start = m_run.GetVehicle()->GetCurrentNode();
        ASSERT_NE(start, nullptr);
        std::set<GMRoadNodeObj*> seen{start};
        std::vector<GMRoadNodeObj*> todo{start};
        while (!todo.empty()) {
            GMRoadNodeObj* n = todo.back();
            todo.pop_back();
            for (int32_t s = 0; s < kSideCount; ++s)
                if (GMRoadNodeObj* to = n->GetNeighbour(s); to && seen.insert(to).second)
                    todo.push_back(to);
        }
        EXPECT_EQ(seen.size(), nodes.size()) << "road nodes the vehicle cannot reach";
        if (day.levelKind != 0) {
            // A course needs an order (0 makes it a story-only day that is
            // skipped) and a length that takes a few seconds to drive.
            EXPECT_GE(day.orders, 1);
            EXPECT_GT(m_run.GetOrdersLeft(), 0);
            EXPECT_GE(day.levelTime, 3000.0f);
            EXPECT_LE(day.levelTime, 20000.0f);
            continue;
        }
        // Houses: each has an entrance, and they are the houses that place orders.
        int houses = 0;
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Buildings().GetNext(c));) {
            auto* b = static_cast<GMBuildingObj*>(o);
            if (!b->IsHouse())
                continue;
            ++houses;
            EXPECT_NE(b->GetEntrance(), nullptr) << "house at (" << b->GetCellX() << ", " << b->GetCellY() << ")";
        }
        EXPECT_GE(houses, 4);
        EXPECT_EQ(m_run.GetOrderHouseCount(), houses);
        // Every goods an order may ask for sits over a shop building.
        const float cw = 45.0f, ch = 45.0f, ox = -22.0f, oy = -22.0f;
        int ordered = 0;
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.ShopGoods().GetNext(c));) {
            auto* g = static_cast<GMShopGoodsObj*>(o);
            if (g->GetWeight() <= 0.0f || g->GetGoodsNumber() >= GMLevelRun::kShopGoodsLimit)
                continue;
            ++ordered;
            // Its shop stands just under the icon (the icon may sit beside the roof).
            bool sold = false;
            for (int32_t c2 = -1; auto* o2 = static_cast<GMObject*>(m_run.Buildings().GetNext(c2));) {
                auto* b = static_cast<GMBuildingObj*>(o2);
                float fx = (b->GetCellX() + 0.5f) * cw + ox, fy = (b->GetCellY() + 1.0f) * ch + oy;
                sold |= !b->IsHouse() && std::fabs(fx - g->GetX()) <= 46.0f && fy - g->GetY() >= 0.0f &&
                        fy - g->GetY() <= 65.0f;
            }
            EXPECT_TRUE(sold) << "goods " << g->GetGoodsNumber() << " at (" << g->GetX() << ", " << g->GetY()
                              << ") has no shop";
        }
        EXPECT_GE(ordered, 2);
        m_run.Reset();
    }
    EXPECT_EQ(bonusKinds.size(), 8u) << "every bonus kind is on sale on some day";
    EXPECT_EQ(visitors.size(), 8u) << "ordinary customers and all seven visitors";
    EXPECT_TRUE(tutorials.count(1) && tutorials.count(2) && tutorials.count(3) && tutorials.count(4));
    EXPECT_TRUE(kinds.count(0) && kinds.count(1));
    EXPECT_GT(bridges, 0) << "no town with a bridge";
}

TEST_F(ShippedLevels, EveryDayInTownHasTheRulesTargetAndCatchingAThiefPays)
{
    int thieves = 0;
    for (const std::string& name : LevelChain(m_data)) {
        SCOPED_TRACE(name);
        ASSERT_EQ(m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, nullptr, nullptr), 0);
        const auto& day = m_run.Day();
        if (day.levelKind != 0) {
            m_run.Reset();
            continue;
        }
        LevelPayDay pay;
        pay.orders = day.orders;
        float cheapest = 1e9f;
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.ShopGoods().GetNext(c));) {
            auto* g = static_cast<GMShopGoodsObj*>(o);
            if (g->GetGoodsNumber() >= GMLevelRun::kShopGoodsLimit)
                continue;
            pay.goods.push_back({g->GetPrice(), g->GetWeight()});
            if (g->GetWeight() > 0.0f)
                cheapest = std::min(cheapest, g->GetPrice());
        }
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Customers().GetNext(c));) {
            auto* k = static_cast<GMCustomerObj*>(o);
            pay.customers.push_back({k->GetCustomerKind(), k->GetFactor(0), k->GetFactor(1)});
            if (k->GetCustomerKind() != 3 && k->GetCustomerKind() != 4)
                continue;
            ++thieves;
            // Caught, a thief pays more than any goods the day sells for
            // little; when the police fail he costs money (kind 3) or a part
            // of the rating, not all of it (kind 4).
            EXPECT_GT(k->GetFactor(1), cheapest);
            if (k->GetCustomerKind() == 3) {
                EXPECT_LT(k->GetFactor(0), 0.0f);
            } else {
                EXPECT_GT(k->GetFactor(0), 0.0f);
                EXPECT_LT(k->GetFactor(0), 0.5f);
            }
        }
        // Serving every order always reaches the target, and the rule asks
        // for the whole of that least pay.
        EXPECT_EQ(day.moneyTarget, static_cast<float>(RuleTarget(pay)));
        EXPECT_GE(day.moneyTarget, 100.0f);
        m_run.Reset();
    }
    EXPECT_GE(thieves, 5);
}

TEST_F(ShippedLevels, TheCarefulDriverWinsEveryCourseOverManySeeds)
{
    int courses = 0;
    for (const std::string& name : LevelChain(m_data)) {
        for (uint32_t seed = 1; seed <= 100; ++seed) {
            m_run.FixSeed(seed * 7919u);
            ASSERT_EQ(m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, nullptr, nullptr), 0);
            if (m_run.Day().levelKind != 1) {
                m_run.Reset();
                break;
            }
            SCOPED_TRACE(testing::Message() << name << ", seed " << seed * 7919u);
            ++courses;
            const GMMiniGame& game = m_run.MiniGame();
            ASSERT_FALSE(game.Cars().empty());
            std::vector<int32_t> lanes;
            for (const auto* button : game.LaneButtons())
                lanes.push_back(GMMiniGame::LaneOf(button));
            const GMFieldGrid& grid = m_run.Grid();
            const float foot = (game.GetVehicleRow() + 1.0f) * grid.cellHeight + grid.originY;
            ASSERT_TRUE(WayThrough(game.Cars(), lanes, static_cast<int32_t>(game.GetChosenLane()), foot,
                                   game.GetVehicleHeight(), grid.cellHeight / 4.0f))
                << "every lane closed somewhere";
            int32_t frames = 0;
            for (; frames < 20000 && !(m_run.GetStateWord() & kStateReport); frames += 2) {
                // As a player would: the pointer on the lane's button, then a click.
                const int32_t lane = game.FindSafeLane(m_run);
                float x = -500.0f, y = -500.0f;
                if (lane >= 0) {
                    ASSERT_TRUE(game.FindLaneButton(lane, &x, &y));
                }
                m_run.Frame(x, y, 0, 16.0f);
                m_run.Frame(x, y, lane >= 0 ? 1u : 0u, 16.0f);
            }
            EXPECT_TRUE(m_run.GetStateWord() & kStateReport) << "the course never ended";
            EXPECT_FALSE(game.IsCrashed()) << "after " << game.GetTravelled() << " px";
            m_run.Reset();
        }
    }
    EXPECT_EQ(courses, 200);
}

TEST_F(ShippedLevels, EveryPictureTheLevelsStoriesAndCarListNameExists)
{
    std::vector<std::string> names;
    int stories = 0;
    for (const std::string& level : LevelChain(m_data)) {
        std::vector<std::string> q = Quoted(ReadScrambled(m_data, level));
        for (size_t i = 0; i < q.size(); ++i) {
            if (q[i].size() > 4 && q[i].substr(q[i].size() - 4) == ".img")
                names.push_back(q[i]);
            if (q[i] == "STO" && i + 1 < q.size()) {
                ++stories;
                ASSERT_TRUE(std::filesystem::exists(m_data + "/" + q[i + 1])) << q[i + 1];
                std::string story = ReadScrambled(m_data, q[i + 1]);
                EXPECT_NE(story.find("\"BTN\""), std::string::npos) << q[i + 1];
                for (const std::string& s : Quoted(story))
                    if (s.size() > 4 && s.substr(s.size() - 4) == ".img")
                        names.push_back(s);
            }
        }
        names.push_back("Levels\\" + level.substr(0, level.size() - 4) + "I.img");
        names.push_back("Levels\\" + level.substr(0, level.size() - 4) + "H.img");
    }
    EXPECT_GE(stories, 6);
    std::ifstream cars(m_data + "/cars.lst");
    std::stringstream list;
    list << cars.rdbuf();
    std::vector<std::string> carNames = Quoted(list.str());
    EXPECT_GE(carNames.size(), 2u);
    names.insert(names.end(), carNames.begin(), carNames.end());
    EXPECT_GT(names.size(), 100u);
    for (const std::string& n : names)
        EXPECT_TRUE(TemplateExists(m_data, n)) << n;
}

#endif
