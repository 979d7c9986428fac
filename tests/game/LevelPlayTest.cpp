#include "game/LevelFixture.h"

#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMMessage.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMTransportObj.h"

namespace {

// House columns 2, 5, 8, 3 put their bubbles here: the 40-pixel bubble with
// its 8-pixel patience row stands on the roof at 100.
constexpr float kOrderY = 74.0f;
float OrderX(int column)
{
    return 40.0f * static_cast<float>(column) + 20.0f;
}

std::string Customers(int kinds, const std::string& patience = "60")
{
    std::string t;
    for (int i = 0; i < kinds; ++i)
        t += "\"CUS\" \"cus.img\" \"cus.img\" 0 " + patience + " 1 1 1\n";
    return t;
}

const std::string kGoods = "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500\n"
                           "\"SHG\" \"goods.img\" \"goodsh.img\" 2 30 0 200 500\n";
// A bonus kind, so that a shop follows the day.
const std::string kSpeedUp = "\"BON\" \"goods.img\" \"goodsh.img\" \"goods.img\" 0 40 2 2 700 500\n";

}  // namespace

class LevelPlay : public LevelTest {
protected:
    // Plays until `open` orders stand fully grown over their houses.
    void UntilOrders(int open)
    {
        for (int i = 0; i < 2000 && Value("orders-open") < open; ++i)
            Run(16);
        Run(400);
        ASSERT_EQ(Value("orders-open"), open);
    }

    // The n-th open order's bubble position.
    void OrderAt(int n, float* x, float* y) { ASSERT_TRUE(m_run.FindOpenOrder(n, x, y)); }

    void PickGoods(int goods)
    {
        float x = 0, y = 0;
        ASSERT_TRUE(m_run.FindGoodsIcon(goods, &x, &y)) << goods;
        Click(x, y);
        ASSERT_EQ(Value("held"), goods);
    }

    void ClickOrder(int n)
    {
        float x = 0, y = 0;
        OrderAt(n, &x, &y);
        Click(x, y);
    }
};

// ---- A whole day ------------------------------------------------------------------------

TEST_F(LevelPlay, DeliveredOrderPaysEndsTheDayAndIsSaved)
{
    WriteLevel("level2.lvl", "\"END\"");
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 1 \"LSC\" 10 \"LVL\" \"level2.lvl\" \"END\"",
                       "level1.lvl"),
              kLoadOk);
    UntilPlay();
    UntilOrders(1);
    EXPECT_EQ(Value("orders-left"), 0);
    float ox = 0, oy = 0;
    OrderAt(1, &ox, &oy);
    EXPECT_FLOAT_EQ(ox, OrderX(2));
    EXPECT_FLOAT_EQ(oy, kOrderY);

    PickGoods(1);
    ClickOrder(1);
    EXPECT_EQ(Value("queue"), 1);
    EXPECT_EQ(Value("held"), 0) << "capacity 1: the icon is used up";
    Run(300);  // one cell at 10 cells a second
    EXPECT_EQ(Value("delivered"), 1);
    EXPECT_EQ(Value("cash"), 40) << "the price and, at a full rating, as much again as a tip";
    EXPECT_EQ(Value("extra"), 20);
    EXPECT_EQ(Value("queue"), 0);
    EXPECT_EQ(Value("points"), 6) << "delivered in the first sixth of the patience";
    EXPECT_FLOAT_EQ(m_run.GetRatingValue(), 5.0f) << "capped at the maximum";

    Run(600);  // the order fades; every order placed and settled ends the day
    EXPECT_TRUE(m_run.GetStateWord() & kStateUfoGame) << "a perfect day: the bonus game first";
    for (int i = 0; i < 3000 && !(m_run.GetStateWord() & kStateReport); ++i)
        Run(16);
    EXPECT_TRUE(m_run.GetStateWord() & kStateReport);
    EXPECT_EQ(m_run.GetBigMessageText(), "EXCELLENT!");
    for (int i = 0; i < 400 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Run(16);
    ASSERT_TRUE(m_run.GetStateWord() & kStateReportDone);
    EXPECT_EQ(m_run.GetReportLines(), 6);
    EXPECT_EQ(Click(449, 506), kLevelGoOn) << "continue: saved, then the fade-out";
    EXPECT_EQ(m_profile.GetScore(), 40);
    EXPECT_STREQ(m_profile.GetCurrentLevel(), "level2.lvl");
    EXPECT_EQ(m_profile.GetCurrentLevelIndex(), 1);
    EXPECT_EQ(Run(1000), kLevelNext);
}

TEST_F(LevelPlay, RatingOfExactlyZeroEndsTheDayAsAPoorJob)
{
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 5 \"END\""), kLoadOk);
    UntilPlay();
    m_run.SetRating(0.0f);
    Run(16);
    EXPECT_TRUE(m_run.GetStateWord() & kStateReport) << "orders were left, but the rating is used up";
    EXPECT_EQ(m_run.GetBigMessageText(), "P%75zOOR%100z J%75zOB%100z!");
    for (int i = 0; i < 400 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Run(16, 1);
    EXPECT_EQ(m_run.GetReportLines(), 6);
    EXPECT_FLOAT_EQ(m_run.GetReportZoom(), 512.0f) << "a click during the zoom shows the whole panel";
    EXPECT_EQ(Click(449, 506), kLevelFailed);
    EXPECT_EQ(m_profile.GetScore(), 0);
}

TEST_F(LevelPlay, DeveloperEndOfDayDeliversEverything)
{
    ASSERT_EQ(LoadText(Town(2) + kGoods + Customers(2) + "\"LOR\" 10 \"LSC\" 100 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(2);
    m_run.EndTheDay();
    EXPECT_EQ(Value("orders-left"), 0);
    EXPECT_EQ(Value("delivered"), 2);
    EXPECT_EQ(Value("extra"), 5000);
    EXPECT_EQ(Value("cash"), 15040);
    Run(600);
    EXPECT_TRUE(m_run.GetStateWord() & kStateReport);
    EXPECT_EQ(m_run.GetBigMessageText(), "W%75zELL%100z D%75zONE%100z!") << "not every order was delivered";
}

// ---- Closing the game on a day -------------------------------------------------------------

// The day that ends the game's levels: its file name leaves the profile's list.
TEST_F(LevelPlay, TheLastLevelWonLeavesTheLevelList)
{
    m_profile.AddLevel("level1.lvl");
    m_profile.AddLevel("level9.lvl");
    m_profile.SetCurrentLevel("level9.lvl");
    m_profile.SetCurrentLevelIndex(8);
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 1 \"BUY\" 0 \"END\"", "level9.lvl"), kLoadOk);
    ASSERT_EQ(m_run.GetNextLevel(), "");
    UntilPlay();
    m_run.EndTheDay();
    for (int i = 0; i < 3000 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Run(16, 1);
    ASSERT_TRUE(m_run.GetStateWord() & kStateReportDone);
    EXPECT_EQ(Click(449, 506), kLevelGoOn);
    GMProfile saved;
    ASSERT_EQ(saved.LoadProfile("Tess.prf"), 0);
    EXPECT_LT(saved.FindLevel("level9.lvl"), 0) << "the last level left the list";
    EXPECT_GE(saved.FindLevel("level1.lvl"), 0);
    EXPECT_EQ(saved.GetCurrentLevel(), nullptr);
    EXPECT_EQ(saved.GetCurrentLevelIndex(), 0);
}

// Closing the game while the screen shows the day as won saves it once, as
// its continue button would; a lost day and a day still in play are left.
TEST_F(LevelPlay, ADayShownAsWonIsSavedOnceWhenTheGameShutsDown)
{
    const std::string day = Town(1) + kGoods + Customers(1) + "\"LOR\" 1 \"LSC\" 10 \"LVL\" \"level2.lvl\" ";
    struct Case {
        const char* what;
        uint32_t until;  // state flags to wait for after the end of the day
        bool perfect;    // every order delivered (else the day is lost)
        bool saved;
    };
    const Case cases[] = {
        {"in play", 0, true, false},
        {"bonus game", kStateUfoGame, true, true},
        {"report", kStateReport, true, true},
        {"report done", kStateReportDone, true, true},
        {"shop", kStateShop, true, true},
        {"lost day's report", kStateReportDone, false, false},
    };
    WriteLevel("level2.lvl", "\"END\"");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_profile.SetScore(100);
        m_profile.SetCurrentLevel("level1.lvl");
        m_profile.SetCurrentLevelIndex(0);
        ASSERT_EQ(m_profile.SaveProfile("Tess.prf"), 0);
        ASSERT_EQ(LoadText(day + kSpeedUp + "\"END\"", "level1.lvl"), kLoadOk);
        UntilPlay();
        UntilOrders(1);
        if (c.until != 0) {
            auto* order = static_cast<GMOrderObj*>(m_run.Orders().GetAt(0));
            m_run.CompleteOrder(order, m_run.GetVehicle(), c.perfect);
            for (int i = 0; i < 5000 && (m_run.GetStateWord() & c.until) != c.until; ++i) {
                // On through the report's continue button to the shop.
                if (c.until == kStateShop && (m_run.GetStateWord() & kStateReportDone))
                    Click(449, 506);
                else
                    Run(16);
            }
            ASSERT_EQ(m_run.GetStateWord() & c.until, c.until);
        }
        EXPECT_EQ(m_run.SaveShownDay(), c.saved);
        EXPECT_FALSE(m_run.SaveShownDay()) << "never twice";
        GMProfile saved;
        ASSERT_EQ(saved.LoadProfile("Tess.prf"), 0);
        EXPECT_STREQ(saved.GetCurrentLevel(), c.saved ? "level2.lvl" : "level1.lvl");
        EXPECT_EQ(saved.GetScore(), c.saved ? 100 + static_cast<int32_t>(Value("cash")) : 100);
        EXPECT_EQ(saved.GetCurrentLevelIndex(), c.saved ? 1 : 0);
    }
}

TEST_F(LevelPlay, ADaySavedByItsButtonIsNotSavedAgainOnTheWayOut)
{
    WriteLevel("level2.lvl", "\"END\"");
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 1 \"LVL\" \"level2.lvl\" \"BUY\" 0 \"END\"",
                       "level1.lvl"),
              kLoadOk);
    m_profile.SetScore(100);
    UntilPlay();
    m_run.EndTheDay();
    for (int i = 0; i < 3000 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Run(16, 1);
    ASSERT_TRUE(m_run.GetStateWord() & kStateReportDone);
    Click(449, 506);  // saved; the fade-out runs
    ASSERT_TRUE(m_run.GetStateWord() & kStateFadeOut);
    const int32_t score = m_profile.GetScore();
    EXPECT_EQ(score, 100 + static_cast<int32_t>(Value("cash")));
    EXPECT_FALSE(m_run.SaveShownDay());
    EXPECT_EQ(m_profile.GetScore(), score) << "the day's money counted once";
    EXPECT_EQ(m_profile.GetCurrentLevelIndex(), 1);
}

// ---- Spawning ---------------------------------------------------------------------------

TEST_F(LevelPlay, BusyCustomerKindsBlockSpawning)
{
    ASSERT_EQ(LoadText(Town(2) + kGoods + Customers(1) + "\"LOR\" 3 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    Run(3000);
    EXPECT_EQ(Value("orders-open"), 1) << "the only customer kind already has an order";
    EXPECT_EQ(Value("orders-left"), 2);
    PickGoods(1);
    ClickOrder(1);
    Run(1200);
    EXPECT_EQ(Value("delivered"), 1);
    EXPECT_EQ(Value("orders-open"), 1) << "the kind came free and ordered again";
    EXPECT_EQ(Value("orders-left"), 1);
}

TEST_F(LevelPlay, PausedSpawnerAndItsResumeLevel)
{
    ASSERT_EQ(LoadText(Town(3) + kGoods + Customers(3) + "\"LOR\" 3 \"OSG\" 1 \"OMG\" 0 \"END\""), kLoadOk);
    UntilPlay();
    Run(3000);
    EXPECT_EQ(Value("orders-open"), 1) << "one open order pauses the spawner";
    EXPECT_TRUE(m_run.IsSpawnPaused());

    ASSERT_EQ(LoadText(Town(3) + kGoods + Customers(3) + "\"LOR\" 3 \"OSG\" 1 \"OMG\" 4 \"END\""), kLoadOk);
    UntilPlay();
    Run(3000);
    EXPECT_EQ(Value("orders-open"), 3) << "with OMG >= OSG the pause never lasts";
    EXPECT_FALSE(m_run.IsSpawnPaused());
}

// ---- Assigning goods --------------------------------------------------------------------

TEST_F(LevelPlay, CapacityOneUsesTheIconUpAndAFreshOneGrowsAtTheShop)
{
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 2 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    PickGoods(1);
    ClickOrder(1);
    EXPECT_EQ(Value("held"), 0);
    Run(200);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(1, &x, &y)) << "a fresh icon at the shop";
    EXPECT_FLOAT_EQ(x, 100.0f);
    EXPECT_FLOAT_EQ(y, 500.0f);
    int icons = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Icons().GetNext(c));)
        icons += static_cast<GMQueryGoodsObj*>(o)->GetGoodsNumber() == 1;
    EXPECT_EQ(icons, 1) << "the used-up one has gone";
}

TEST_F(LevelPlay, CapacityThreeKeepsTheIconForThreeOrdersAndIgnoresRepeats)
{
    m_profile.AddBonus(GMLevelRun::kCapacityBonus, 0.0f, 10, 1.0f, 2);
    ASSERT_EQ(LoadText(Town(3) + kGoods + Customers(3) + "\"LOR\" 3 \"OBT\" 0.5 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(3);
    PickGoods(1);
    EXPECT_EQ(m_run.GetRemainingAssignments(), 3);
    ClickOrder(1);
    EXPECT_EQ(Value("queue"), 1);
    ClickOrder(1);
    EXPECT_EQ(Value("queue"), 1) << "an order already queued adds nothing";
    EXPECT_EQ(m_run.GetRemainingAssignments(), 2) << "and costs no assignment";
    ClickOrder(2);
    EXPECT_EQ(Value("held"), 1);
    ClickOrder(3);
    EXPECT_EQ(Value("queue"), 3);
    EXPECT_EQ(Value("held"), 0) << "three orders used it up";
    Run(5000);
    EXPECT_EQ(Value("delivered"), 3);
    // The rating climbs 4.2 -> 10.2 -> 14 of 14: the second and third pay a tip.
    EXPECT_EQ(Value("cash"), 20 + 40 + 40);
}

TEST_F(LevelPlay, HeldGoodsSoundTheHoverOnceWhenABubbleBecomesTheirCandidate)
{
    if (!UseGeneratedSounds())
        GTEST_SKIP() << "needs the generated sounds";
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 2 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    PickGoods(1);
    const float ox = OrderX(2);
    const char* hover = "sfx\\ButtonHover.ogg";
    auto hold = [&](float x, float y) {
        for (int i = 0; i < 30; ++i)
            m_run.Frame(x, y, 0, 16.0f);
    };
    hold(ox, kOrderY + 200.0f);
    m_sound.ClearLog();
    // The icon (30 px) overlaps the bubble (60 px) while the pointer is beside it.
    hold(ox + 40.0f, kOrderY);
    EXPECT_EQ(Heard(hover), 1) << "once, not every frame";
    hold(ox, kOrderY);
    EXPECT_EQ(Heard(hover), 1) << "onto the bubble itself: still the same candidate";
    hold(ox, kOrderY + 200.0f);
    hold(ox, kOrderY);
    EXPECT_EQ(Heard(hover), 2) << "away and back: a candidate again";
}

TEST_F(LevelPlay, RightClickLetsGoTheIconThenRemovesTheLastJob)
{
    m_profile.AddBonus(GMLevelRun::kCapacityBonus, 0.0f, 10, 1.0f, 2);
    ASSERT_EQ(LoadText(Town(2) + kGoods + Customers(2) + "\"LOR\" 2 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(2);
    PickGoods(1);
    ClickOrder(2);
    ClickOrder(1);
    ASSERT_EQ(Value("queue"), 2);
    Click(-500, -500, 2);
    EXPECT_EQ(Value("held"), 0) << "the first right click lets the icon go";
    EXPECT_EQ(Value("queue"), 2);
    Click(-500, -500, 2);
    EXPECT_EQ(Value("queue"), 1) << "the second takes the last job away";
    ASSERT_EQ(m_run.Jobs().size(), 1u);
    float x = 0, y = 0;
    OrderAt(2, &x, &y);
    EXPECT_FLOAT_EQ(m_run.Jobs()[0].order->GetX(), x) << "the first job stays";
}

TEST_F(LevelPlay, WrongGoodsFailTheOrder)
{
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 10 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    PickGoods(2);  // the order wants goods 1 (goods 2 has no weight)
    ClickOrder(1);
    Run(300);
    EXPECT_EQ(Value("delivered"), 0);
    EXPECT_EQ(Value("cash"), -10) << "minus half the price";
    EXPECT_EQ(Value("points"), -18);
    ASSERT_GE(m_run.GetFloatingTextCount(), 1u);
    EXPECT_STREQ(m_run.GetFloatingText(m_run.GetFloatingTextCount() - 1)->GetText(), "-$10");
}

// ---- Completing orders: combos and tips --------------------------------------------------

TEST_F(LevelPlay, ComboRunIsHeldAtLevelThree)
{
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 50 \"CMB\" 10 20 30 1 2 3 \"END\""), kLoadOk);
    auto* kind = static_cast<GMCustomerObj*>(m_run.Customers().GetAt(0));
    auto* g1 = static_cast<GMShopGoodsObj*>(m_run.ShopGoods().GetAt(0));
    auto* g2 = static_cast<GMShopGoodsObj*>(m_run.ShopGoods().GetAt(1));
    auto deliver = [&](GMShopGoodsObj* goods) {
        auto* order = new GMOrderObj;
        order->SetCustomerFrom(kind);
        order->SetGoodsFrom(goods);
        EXPECT_EQ(m_run.CompleteOrder(order, m_run.GetVehicle(), true), 0);
        order->Release();
    };
    const int expectedExtra[] = {10, 30, 60, 60, 60};
    const int expectedRun[] = {1, 2, 3, 3, 3};
    for (int i = 0; i < 5; ++i) {
        deliver(g1);
        EXPECT_EQ(m_run.GetComboRun(), expectedRun[i]) << i;
        EXPECT_EQ(Value("extra"), expectedExtra[i]) << i;
    }
    deliver(g2);
    EXPECT_EQ(m_run.GetComboRun(), 1) << "another goods starts a new run";
    EXPECT_EQ(m_run.GetComboGoods(), 2);
    EXPECT_EQ(Value("extra"), 70);
    EXPECT_EQ(Value("cash"), 5 * 20 + 30 + 70);

    auto* failing = new GMOrderObj;
    failing->SetCustomerFrom(kind);
    failing->SetGoodsFrom(g1);
    EXPECT_EQ(m_run.CompleteOrder(failing, m_run.GetVehicle(), false), 1);
    failing->Release();
    EXPECT_EQ(m_run.GetComboRun(), 0) << "a failure ends the combo";
}

TEST_F(LevelPlay, HighRatingPaysATip)
{
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) + "\"LOR\" 1 \"END\""), kLoadOk);
    m_run.SetRating(5.0f);  // ratio 1
    auto* order = new GMOrderObj;
    order->SetCustomerFrom(static_cast<GMCustomerObj*>(m_run.Customers().GetAt(0)));
    order->SetGoodsFrom(static_cast<GMShopGoodsObj*>(m_run.ShopGoods().GetAt(0)));
    m_run.CompleteOrder(order, m_run.GetVehicle(), true);
    order->Release();
    EXPECT_EQ(Value("cash"), 40);
    EXPECT_EQ(Value("extra"), 20);
}

// ---- The police and the thief ------------------------------------------------------------

class LevelPolice : public LevelPlay {
protected:
    std::string ThiefTown(const std::string& patience)
    {
        return Town(1) + kGoods +
               "\"BL\" \"house.img\" 4 0 0 N\n"
               "\"POL\" \"post.img\" \"post.img\" 180 120\n"
               "\"PLC\" \"car.img\" \"car.img\" \"car.img\" \"car.img\"\n"
               "\"CUS\" \"cus.img\" \"cus.img\" 3 " + patience + " 1 -50 80\n"
               "\"LOR\" 2 \"END\"";
    }
};

TEST_F(LevelPolice, PoliceCarCatchesTheThief)
{
    ASSERT_EQ(LoadText(ThiefTown("60")), kLoadOk);
    ASSERT_NE(m_run.GetPoliceCar(), nullptr);
    UntilPlay();
    UntilOrders(1);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(kPoliceGoods, &x, &y)) << "a thief is waiting: the police icon is out";
    EXPECT_FLOAT_EQ(x, 180.0f);
    PickGoods(kPoliceGoods);
    ClickOrder(1);
    EXPECT_EQ(m_run.PoliceQueue().size(), 1u);
    EXPECT_EQ(Value("queue"), 0) << "the thief is the police's, not the delivery car's";
    Run(400);
    EXPECT_EQ(Value("delivered"), 1);
    EXPECT_EQ(Value("cash"), 80) << "the thief kind's success pay";
    EXPECT_EQ(Value("points"), 0);
    EXPECT_TRUE(m_run.PoliceQueue().empty());
}

TEST_F(LevelPolice, AThiefOnItsWayIsNeverQueuedASecondTime)
{
    ASSERT_EQ(LoadText(ThiefTown("60")), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    PickGoods(kPoliceGoods);
    ClickOrder(1);
    ASSERT_EQ(m_run.PoliceQueue().size(), 1u);
    // Goods for the delivery car offered to the same thief add nothing.
    PickGoods(1);
    ClickOrder(1);
    EXPECT_EQ(Value("queue"), 0) << "already the police's";
    EXPECT_EQ(Value("held"), 1) << "nothing assigned: the goods stay in hand";
    EXPECT_EQ(m_run.GetRemainingAssignments(), 1);
    Run(600);
    EXPECT_EQ(Value("delivered"), 1);
    EXPECT_EQ(Value("cash"), 80) << "settled once, by the police: no -50 from the van as well";
}

TEST_F(LevelPolice, NoPoliceIconPopsUpAgainAfterTheDispatch)
{
    ASSERT_EQ(LoadText(ThiefTown("60")), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    PickGoods(kPoliceGoods);
    ClickOrder(1);
    float x = 0, y = 0;
    for (int frame = 0; frame < 10; ++frame) {
        EXPECT_FALSE(m_run.FindGoodsIcon(kPoliceGoods, &x, &y)) << "frame " << frame << " after the dispatch";
        Run(16);
    }
}

TEST_F(LevelPolice, ExpiringThiefIsAnOrdinaryFailure)
{
    ASSERT_EQ(LoadText(ThiefTown("1")), kLoadOk);
    UntilPlay();
    Run(1600);
    EXPECT_EQ(Value("points"), -18);
    EXPECT_EQ(Value("cash"), 0) << "half the police service's price of 0";
    EXPECT_EQ(Value("delivered"), 0);
    Run(400);
    float x = 0, y = 0;
    EXPECT_FALSE(m_run.FindGoodsIcon(kPoliceGoods, &x, &y)) << "no thief left: the police icon shrank away";
}

// ---- Tutorial hints and the story screen -------------------------------------------------

TEST_F(LevelPlay, FirstHintLeadsFromTheShopToTheOrder)
{
    ASSERT_EQ(LoadText(Town(2) + kGoods + Customers(2) +
                       "\"OTM\" 1 \"LOR\" 3 \"TUT\" 1 \"lit.img\" \"unlit.img\" \"END\""),
              kLoadOk);
    UntilPlay();
    Run(16);
    ASSERT_EQ(m_run.Orders().GetCount(), 1);
    EXPECT_EQ(m_run.GetTutorialStep(), 0) << "the hint waits until the order has grown in: it stops the order's clock";
    Run(600);
    ASSERT_EQ(m_run.GetTutorialStep(), 2) << "the hint points at the shop of the first order's goods";
    float delay = m_run.GetSpawnDelay();
    EXPECT_NEAR(delay, 2000.0f, 16.0f) << "the next order waits 2 s";
    auto* order = static_cast<GMOrderObj*>(m_run.Orders().GetAt(0));
    ASSERT_NE(order, nullptr);
    Run(400);
    float patience = order->GetPatienceLeft();
    Run(1000);
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), patience) << "orders do not age while a hint shows";
    EXPECT_FLOAT_EQ(m_run.GetSpawnDelay(), delay) << "nor does the spawner count";

    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(2, &x, &y));
    Click(x, y);
    EXPECT_EQ(Value("held"), 0) << "only the hinted icon can be picked up";
    PickGoods(1);
    EXPECT_EQ(m_run.GetTutorialStep(), 1) << "now the hint points at the order";
    Click(-500, -500, 2);
    EXPECT_EQ(Value("held"), 1) << "right clicks are ignored while a hint shows";
    ClickOrder(1);
    EXPECT_EQ(m_run.GetTutorialStep(), 0);
    EXPECT_EQ(Value("queue"), 1);
}

// The arrow never hides what it points at: over the goods icon where there is
// room above it, under the order (and its patience row) when the order stands
// too near the top of the screen, pointing up.
TEST_F(LevelPlay, TheHintArrowLeavesItsGoodsAndItsOrderInSight)
{
    WriteSolidTemplate("arrow", 1, 64, 64, 0xFF2020D0);
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) +
                       "\"OTM\" 1 \"LOR\" 2 \"TUT\" 1 \"arrow.img\" \"arrow.img\" \"END\""),
              kLoadOk);
    UntilPlay();
    Run(700);
    ASSERT_EQ(m_run.GetTutorialStep(), 2);
    auto blue = [&](int x, int y) { return Pixel(x, y) == 0xFF2020D0u; };
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindHintTarget(&x, &y));
    Shoot();
    // The icon (30 px) is whole; the arrow stands on its top edge.
    for (int dy = -14; dy <= 14; dy += 7)
        EXPECT_FALSE(blue(int(x), int(y) + dy)) << dy;
    EXPECT_TRUE(blue(int(x), int(y) - 20));
    PickGoods(1);
    ASSERT_EQ(m_run.GetTutorialStep(), 1);
    ASSERT_TRUE(m_run.FindHintTarget(&x, &y));
    ASSERT_LT(y - 20.0f - 64.0f, 0.0f) << "no room above the order";
    Shoot();
    // Bubble (40 px) and patience row (8 px) are whole; the arrow stands under them.
    for (int dy = -18; dy <= 26; dy += 4)
        EXPECT_FALSE(blue(int(x), int(y) + dy)) << dy;
    EXPECT_TRUE(blue(int(x), int(y) + 40));
}

TEST_F(LevelPlay, FirstHintGoesStraightToTheOrderWhenItsGoodsAreInHand)
{
    ASSERT_EQ(LoadText(Town(2) + kGoods + Customers(2) +
                       "\"OTM\" 1 \"LOR\" 3 \"TUT\" 1 \"lit.img\" \"unlit.img\" \"END\""),
              kLoadOk);
    UntilPlay();
    PickGoods(1);  // before the first order: the goods it will want are already held
    Run(616);
    ASSERT_EQ(m_run.Orders().GetCount(), 1);
    ASSERT_EQ(static_cast<GMOrderObj*>(m_run.Orders().GetAt(0))->GetGoodsNumber(), 1);
    EXPECT_EQ(m_run.GetTutorialStep(), 1) << "a held icon takes no click: the hint points at the order";
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindHintTarget(&x, &y));
    float ox = 0, oy = 0;
    OrderAt(1, &ox, &oy);
    EXPECT_FLOAT_EQ(x, ox);
    EXPECT_FLOAT_EQ(y, oy);
    EXPECT_NEAR(m_run.GetSpawnDelay(), 2000.0f, 16.0f);
    ClickOrder(1);
    EXPECT_EQ(m_run.GetTutorialStep(), 0) << "the day goes on";
    EXPECT_EQ(Value("queue"), 1);
    EXPECT_FALSE(m_run.FindHintTarget(&x, &y));
}

TEST_F(LevelPolice, SecondHintForcesAThiefAndPointsAtThePolice)
{
    std::string text = Town(1) + kGoods +
                       "\"BL\" \"house.img\" 4 0 0 N\n\"POL\" \"post.img\" \"post.img\" 180 120\n"
                       "\"PLC\" \"car.img\" \"car.img\" \"car.img\" \"car.img\"\n"
                       "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n\"CUS\" \"cus.img\" \"cus.img\" 3 60 0 -50 80\n"
                       "\"LOR\" 2 \"TUT\" 2 \"lit.img\" \"unlit.img\" \"END\"";
    ASSERT_EQ(LoadText(text), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    auto* order = static_cast<GMOrderObj*>(m_run.Orders().GetAt(0));
    ASSERT_NE(order, nullptr);
    EXPECT_EQ(order->GetCustomerKind(), 3) << "the first order is the thief, though its weight is 0";
    EXPECT_EQ(order->GetGoodsNumber(), kPoliceGoods);
    EXPECT_EQ(m_run.GetTutorialStep(), 3) << "the hint points at the police station";
    PickGoods(kPoliceGoods);
    EXPECT_EQ(m_run.GetTutorialStep(), 1);
    ClickOrder(1);
    EXPECT_EQ(m_run.GetTutorialStep(), 0);
    EXPECT_EQ(m_run.PoliceQueue().size(), 1u);
    EXPECT_EQ(m_run.GetTutorialKind(), 0);
}

TEST_F(LevelPlay, FourthHintPointsAtABonus)
{
    ASSERT_EQ(LoadText(Town(1) + kGoods + Customers(1) +
                       "\"BON\" \"goods.img\" \"goods.img\" \"goods.img\" 2 40 10 1.5 700 500\n"
                       "\"LOR\" 2 \"TUT\" 4 \"lit.img\" \"unlit.img\" \"END\""),
              kLoadOk);
    EXPECT_EQ(m_run.GetTutorialStep(), 5);
    auto* bonus = static_cast<GMObject*>(m_run.Bonuses().GetAt(0));
    EXPECT_NE(bonus->GetMark(), -1) << "the hinted bonus gets a use and is offered";
    UntilPlay();
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindBonusButton(2, &x, &y));
    Click(x, y);
    EXPECT_EQ(m_run.GetTutorialStep(), 0) << "using it ends the hint";
}

TEST_F(LevelTest, StoryScreenComesFirstAndItsButtonStartsTheDay)
{
    std::string story = "\"TXT\" \"Once upon a time\" \"BTN\" \"lit.img\" \"lit.img\" 400 500";
    WriteLevel("story1.lay", story);
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 1 \"STO\" \"story1.lay\" \"LVN\" \"Day one\" \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeIn | kStateIntro);
    Run(2000);
    EXPECT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateIntro)) << "the story waits for its button";
    BeginFrame();
    m_run.Draw(m_device);
    EndFrame();
    Click(400, 500);
    EXPECT_TRUE(m_run.GetStateWord() & kStateFadeOut);
    Run(400);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeIn | kStateMessage);
    EXPECT_EQ(m_run.GetBigMessageText(), "Day one");
}

TEST_F(LevelTest, DayOfOnlyAStorySavesTheProgressWhenItsButtonIsClicked)
{
    m_profile.SetRatingPoints(30);
    m_profile.SetScore(100);
    WriteLevel("level9.lvl", "\"END\"");
    WriteLevel("story2.lay", "\"TXT\" \"Meanwhile\" \"BTN\" \"lit.img\" \"lit.img\" 400 500");
    ASSERT_EQ(LoadText(Town(1) + Trade() + "\"LOR\" 0 \"BUY\" 0 \"STO\" \"story2.lay\" \"LVL\" \"level9.lvl\" \"END\""),
              kLoadOk);
    EXPECT_EQ(m_run.GetStateWord(), kStateFadeIn | kStateIntro);
    Run(1000);
    Click(400, 500);
    EXPECT_STREQ(m_profile.GetCurrentLevel(), "level9.lvl");
    EXPECT_EQ(m_profile.GetRatingPoints(), 30) << "the saved rating points are the totals, not 0";
    EXPECT_EQ(m_profile.GetScore(), 100);
    EXPECT_EQ(Run(1000), kLevelNext);
}
