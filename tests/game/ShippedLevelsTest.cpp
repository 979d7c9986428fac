// Every day the data set ships, loaded through the game's own loader: the
// chain from level1.lvl, the town's links, entrances, shops and pictures.
#include "CourseWay.h"
#include "core/TaggedFile.h"
#include "game/GMHud.h"
#include "game/GMLevelCheck.h"
#include "game/GMLevelRun.h"
#include "player/GMProfile.h"
#include "support/gfx/GfxTestSupport.h"
#include "ui/GMStoryLayout.h"
#include "world/GMBonusObj.h"
#include "world/GMBuildingObj.h"
#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"
#include "world/LevelTargetRule.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Every day's title in its banner and every story on its paper, measured
// with the fonts the game draws them in.
TEST_F(ShippedLevels, EveryTitleFitsItsBannerAndEveryStoryItsPaper)
{
    constexpr float kPaperRight = 770.0f, kPaperBottom = 400.0f;  // the story backdrops' paper
    std::string longest;
    float longestWidth = 0.0f;
    int stories = 0;
    for (const std::string& name : LevelChain(m_data)) {
        SCOPED_TRACE(name);
        ASSERT_EQ(m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, nullptr, nullptr), 0);
        const std::string title = m_run.Day().title;
        m_run.ShowBigMessage(250.0f, 2300.0f, 250.0f, title.c_str(), 0xFFB600);
        GMHud& hud = m_run.Hud();
        const float width = hud.BigMessageWidth(m_run);
        EXPECT_GT(width, 0.0f);
        EXPECT_LE(width, GMHud::BannerRoom(m_run)) << title;
        EXPECT_GE(hud.BigMessageScale(m_run), 0.4f) << title << " shrinks past reading";
        const float natural = GMHud::WidestLine(m_run.GetBigFont(), title, GMHud::kBigMessageScale);
        if (natural > longestWidth) {
            longestWidth = natural;
            longest = title;
        }
        const GMStoryLayout* story = m_run.GetStory();
        if (!story || !story->GetLines().GetCount())
            continue;
        ++stories;
        GMImage* font = m_run.GetPanelFont();
        ASSERT_NE(font, nullptr);
        float y = story->GetTextY();
        for (int32_t c = -1; const char* line = static_cast<const char*>(story->GetLines().GetNext(c));) {
            EXPECT_NE(line[0], '@') << "a line in another font: " << line;
            float w = 0.0f, h = 0.0f;
            font->DrawText(0.0f, 0.0f, 0.0f, 1.0f, 0, line, nullptr, &w, &h);
            EXPECT_LE(story->GetTextX() + w, kPaperRight - 10.0f) << line;
            y += h + 1.0f;
        }
        EXPECT_LE(y, kPaperBottom - 10.0f);
    }
    EXPECT_GE(stories, 7);
    // The longest title, which the golden pictures show in its banner.
    EXPECT_EQ(longest, "Wednesday: on the evening news");
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
    // Spread seeds, and plain seeds whose courses were once lost: 118, where
    // the one lane still open opened just after the driver's look and it
    // swerved into a dead end instead of waiting; 658, where a lane free for
    // a screen and a half ended in a wall; 2200, where of two ways out the
    // driver took the one that holds only when each step comes on time.
    std::vector<uint32_t> seeds;
    for (uint32_t seed = 1; seed <= 100; ++seed)
        seeds.push_back(seed * 7919u);
    for (uint32_t seed : {118u, 658u, 2200u})
        seeds.push_back(seed);
    int courses = 0;
    for (const std::string& name : LevelChain(m_data)) {
        for (const uint32_t seed : seeds) {
            m_run.FixSeed(seed);
            ASSERT_EQ(m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, nullptr, nullptr), 0);
            if (m_run.Day().levelKind != 1) {
                m_run.Reset();
                break;
            }
            SCOPED_TRACE(testing::Message() << name << ", seed " << seed);
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
    EXPECT_EQ(courses, 2 * static_cast<int>(seeds.size()));
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


// Day 10's mover, served first with two more jobs queued behind him: the van
// carried all three goods; he takes the load, the other two jobs are dropped
// (their orders wait to be served again) and their goods fly back home.
TEST_F(ShippedLevels, DayTensMoverTakesTheLoadAndTheJobsForItGoBack)
{
    m_profile.SetMatchingBonusCount(2, GMLevelRun::kCapacityBonus, 0.0f, 300, 1.0f);
    ASSERT_EQ(m_run.LoadLevel("level10.lvl", m_manager.get(), m_device, nullptr, nullptr), 0);
    ASSERT_EQ(m_run.GetVehicle()->GetCapacity(), 3);
    auto frame = [&](float x = -500.0f, float y = -500.0f, uint32_t buttons = 0) {
        m_run.Frame(x, y, buttons, 16.0f);
    };
    auto open = [&](bool mover) {
        std::vector<GMOrderObj*> out;
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));) {
            auto* order = static_cast<GMOrderObj*>(o);
            if (GMLevelRun::IsOrderFinished(order) || order->GetTransition() != GMOrderObj::kNoTransition ||
                order->GetGoodsNumber() >= GMLevelRun::kShopGoodsLimit)
                continue;
            if ((order->GetCustomerKind() == 6) == mover)
                out.push_back(order);
        }
        return out;
    };
    // Past the story screen and the title.
    for (int i = 0; i < 2000 && m_run.GetStateWord() != 0; ++i) {
        float x = 0, y = 0;
        if (m_run.FindButton("story", &x, &y) && (m_run.GetStateWord() & kStateIntro) &&
            !(m_run.GetStateWord() & kStateFadeIn))
            frame(x, y, 1);
        else
            frame();
    }
    ASSERT_EQ(m_run.GetStateWord(), 0u);
    // Orders wait (their patience kept full) until the mover and two others
    // stand open; while the open places are full without him, the oldest is
    // settled to make room.
    for (int i = 0; i < 20000 && (open(true).empty() || open(false).size() < 2); ++i) {
        frame();
        GMOrderObj* oldest = nullptr;
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));) {
            auto* order = static_cast<GMOrderObj*>(o);
            order->SetPatience(30000.0f);
            if (!oldest && !GMLevelRun::IsOrderFinished(order))
                oldest = order;
        }
        if (open(true).empty() && oldest && m_run.Orders().GetCount() >= m_run.Day().maxActiveOrders)
            m_run.CompleteOrder(oldest, m_run.GetVehicle(), true);
    }
    ASSERT_EQ(m_run.GetStateWord(), 0u);
    ASSERT_FALSE(open(true).empty()) << "no mover came";
    GMOrderObj* mover = open(true)[0];
    std::vector<GMOrderObj*> others = open(false);
    ASSERT_GE(others.size(), 2u);
    others.resize(2);
    auto serve = [&](GMOrderObj* order) {
        float x = 0, y = 0;
        ASSERT_TRUE(m_run.FindGoodsIcon(order->GetGoodsNumber(), &x, &y));
        frame(x, y, 1);
        frame(order->GetX(), order->GetY(), 1);
        frame(-500.0f, -500.0f, 2);  // let the rest of the pick-up go
        ASSERT_TRUE(order->IsTaken());
    };
    serve(mover);
    EXPECT_EQ(m_run.GetVehicle()->GetCargo(0), mover->GetGoodsNumber()) << "loaded when queued";
    serve(others[0]);
    serve(others[1]);
    ASSERT_EQ(m_run.Jobs().size(), 3u);
    std::set<int32_t> load;
    for (int32_t i = 0; i < 3; ++i)
        if (m_run.GetVehicle()->GetCargo(i) != 0)
            load.insert(m_run.GetVehicle()->GetCargo(i));
    EXPECT_EQ(load, (std::set<int32_t>{mover->GetGoodsNumber(), others[0]->GetGoodsNumber(),
                                       others[1]->GetGoodsNumber()}));
    const int32_t delivered = m_run.GetDelivered();
    for (int i = 0; i < 3000 && m_run.GetDelivered() == delivered; ++i)
        frame();
    ASSERT_EQ(m_run.GetDelivered(), delivered + 1);
    EXPECT_TRUE(GMLevelRun::IsOrderFinished(mover));
    EXPECT_TRUE(m_run.Jobs().empty()) << "the jobs for his load are dropped";
    int returning = 0;
    for (GMOrderObj* order : others) {
        EXPECT_FALSE(order->IsTaken());
        EXPECT_FALSE(GMLevelRun::IsOrderFinished(order)) << "still waiting to be served";
    }
    for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Icons().GetNext(c));) {
        auto* icon = static_cast<GMQueryGoodsObj*>(o);
        returning += icon->GetTransition() == GMQueryGoodsObj::kShrinking && !icon->IsAtRest();
    }
    const bool sameGoods = others[0]->GetGoodsNumber() == others[1]->GetGoodsNumber();
    EXPECT_EQ(returning, sameGoods ? 1 : 2) << "their goods fly back to the shops";
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(m_run.GetVehicle()->GetCargo(i), 0) << "the van is empty";
    // Served again, the other two are delivered as usual.
    for (GMOrderObj* order : others)
        serve(order);
    for (int i = 0; i < 5000 && m_run.GetDelivered() < delivered + 3; ++i)
        frame();
    EXPECT_EQ(m_run.GetDelivered(), delivered + 3);
}


// Every house of every day: its order bubble (with the portrait left of it and
// the patience row under it) stands on its own roof, nearer to it than to any
// other building, and covers no goods icon or police post a player must click.
TEST_F(ShippedLevels, EveryOrderBubbleStandsOnItsOwnHouse)
{
    int checked = 0;
    for (const std::string& name : LevelChain(m_data)) {
        SCOPED_TRACE(name);
        ASSERT_EQ(m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, nullptr, nullptr), 0);
        if (m_run.Day().levelKind != 0) {
            m_run.Reset();
            continue;
        }
        const GMFieldGrid& grid = m_run.Grid();
        struct Box {
            float left, top, right, bottom;
        };
        // What of a building one sees: its picture's rows with any solid texel.
        auto seen = [&](GMBuildingObj* b) {
            const float foot = grid.FootY(static_cast<float>(b->GetCellY()));
            const float x = grid.FootX(static_cast<float>(b->GetCellX()));
            const float top = foot - b->GetHitHeight() + b->GetImage().SolidTop(0x80, 1);
            return Box{x - grid.cellWidth / 2.0f, top, x + grid.cellWidth / 2.0f, foot};
        };
        auto gap = [](const Box& b, float x, float y) {
            const float dx = std::max({b.left - x, 0.0f, x - b.right}), dy = std::max({b.top - y, 0.0f, y - b.bottom});
            return std::sqrt(dx * dx + dy * dy);
        };
        auto overlap = [](const Box& a, const Box& b) {
            return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
        };
        for (int32_t c = -1; auto* o = static_cast<GMObject*>(m_run.Buildings().GetNext(c));) {
            auto* house = static_cast<GMBuildingObj*>(o);
            if (!house->IsOrderHouse())
                continue;
            ++checked;
            float x = 0, y = 0;
            m_run.FindOrderSpot(house, &x, &y);
            const std::string at = "house at (" + std::to_string(house->GetCellX()) + ", " +
                                    std::to_string(house->GetCellY()) + "), bubble at (" +
                                    std::to_string(int(x)) + ", " + std::to_string(int(y)) + ")";
            // The patience row's bottom, under the bubble's tail.
            const float tailX = x, tailY = y + 42.0f;
            const Box own = seen(house);
            // A house in the top row has no room above: the bubble stands over it, just under the frame.
            if (y > 40.0f)
                EXPECT_LE(gap(own, tailX, tailY), 4.0f) << at << ": not on its roof";
            else
                EXPECT_LE(tailY, own.bottom + 16.0f) << at << ": hangs below its house";
            const Box order{x - 72.0f, y - 32.0f, x + 32.0f, y + 42.0f};
            for (int32_t c2 = -1; auto* o2 = static_cast<GMObject*>(m_run.Buildings().GetNext(c2));) {
                auto* other = static_cast<GMBuildingObj*>(o2);
                if (other == house)
                    continue;
                EXPECT_GT(gap(seen(other), tailX, tailY), gap(own, tailX, tailY))
                    << at << ": nearer to the building at (" << other->GetCellX() << ", " << other->GetCellY() << ")";
            }
            // The police icon comes up at the post, not where its shop goods stand.
            std::vector<std::pair<int32_t, GMInteractiveObj*>> icons;
            for (int32_t c2 = -1; auto* o2 = static_cast<GMObject*>(m_run.ShopGoods().GetNext(c2));) {
                const int32_t goods = static_cast<GMShopGoodsObj*>(o2)->GetGoodsNumber();
                if (goods != kPoliceGoods)
                    icons.emplace_back(goods, static_cast<GMInteractiveObj*>(o2));
            }
            for (int32_t c2 = -1; auto* o2 = static_cast<GMObject*>(m_run.PolicePosts().GetNext(c2));)
                icons.emplace_back(kPoliceGoods, static_cast<GMInteractiveObj*>(o2));
            for (const auto& [goods, icon] : icons) {
                const Box box{icon->GetX() - 24.0f, icon->GetY() - 24.0f, icon->GetX() + 24.0f, icon->GetY() + 24.0f};
                EXPECT_FALSE(overlap(order, box)) << at << " covers goods " << goods;
            }
        }
        // And the level maker's check, with its own boxes, finds nothing.
        for (const std::string& problem : GMLevelCheck::CheckLoaded(m_run))
            ADD_FAILURE() << problem;
        m_run.Reset();
    }
    EXPECT_GE(checked, 13 * 4);
}

#endif
