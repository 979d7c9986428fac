// The special visitors through the level run: announcements, the outcome of
// every special kind delivered and failed, the cafes and Supply All passing
// over thieves, and the police icon coming and going.
#include "game/LevelFixture.h"

#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMTransportObj.h"

namespace {

// Goods 1 (price 20) and 2 (price 30), both ordered.
const std::string kGoods = "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500\n"
                           "\"SHG\" \"goods.img\" \"goodsh.img\" 2 30 1 200 500\n";
// The police station stands in column 4; its post is the police icon's home.
const std::string kPolice = "\"BL\" \"house.img\" 4 0 0 N\n"
                            "\"POL\" \"post.img\" \"post.img\" 180 120\n"
                            "\"PLC\" \"car.img\" \"car.img\" \"car.img\" \"car.img\"\n";

std::string Customer(int special, const std::string& patience, float f0, float f1, float weight = 1.0f)
{
    return "\"CUS\" \"cus.img\" \"cus.img\" " + std::to_string(special) + " " + patience + " " +
           std::to_string(weight) + " " + std::to_string(f0) + " " + std::to_string(f1) + "\n";
}

bool IsGone(const GMOrderObj* order)
{
    return order->GetTransition() == GMOrderObj::kDisappearing || order->GetScale() == 0.0f;
}

}  // namespace

class VisitorTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        UseGeneratedSounds();
    }

    void TearDown() override
    {
        m_run.Reset();
        LevelTest::TearDown();
    }

    // A day of ten orders (rating maximum 48, so no delivery here earns a
    // tip) in the town with three houses and the police station.
    int32_t LoadDay(const std::string& customers, const std::string& extra = "")
    {
        WriteLevel("level3.lvl", Town(3) + kGoods + kPolice + customers + "\"LOR\" 10 " + extra + "\"END\"");
        return Load("level3.lvl");
    }

    void Hush() { m_sound.StopGroup(kGroupEffects, false); }
    // What was heard since the last Hush; nothing is checked without the sounds.
    void ExpectHeard(const char* name, const char* notHeard = nullptr)
    {
        if (!m_hasSound)
            return;
        EXPECT_TRUE(Playing(name)) << name;
        if (notHeard) {
            EXPECT_FALSE(Playing(notHeard)) << notHeard;
        }
    }

    // The open order of a special kind, once it has grown in; null if none comes.
    GMOrderObj* WaitForOrder(int special)
    {
        for (int i = 0; i < 600; ++i) {
            for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));) {
                auto* order = static_cast<GMOrderObj*>(o);
                if (order->GetCustomerKind() == special && !IsGone(order) &&
                    order->GetTransition() == GMOrderObj::kNoTransition)
                    return order;
            }
            Run(16);
        }
        return nullptr;
    }

    void Pick(int goods)
    {
        float x = 0, y = 0;
        ASSERT_TRUE(m_run.FindGoodsIcon(goods, &x, &y)) << "goods " << goods;
        Click(x, y);
        ASSERT_EQ(Value("held"), goods);
    }

    // Sends goods to the order by the vehicle (or, goods 100, the police car)
    // and runs until the order is settled.
    void Send(GMOrderObj* order, int goods)
    {
        Pick(goods);
        Click(order->GetX(), order->GetY());
        ASSERT_TRUE(order->IsTaken());
        Hush();
        for (int i = 0; i < 600 && !IsGone(order); ++i)
            Run(16);
        ASSERT_TRUE(IsGone(order));
    }

    // The order now wants these goods (the spawner picks them by chance).
    void SetGoods(GMOrderObj* order, int goods)
    {
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.ShopGoods().GetNext(c));) {
            auto* shop = static_cast<GMShopGoodsObj*>(o);
            if (shop->GetGoodsNumber() == goods)
                order->SetGoodsFrom(shop);
        }
        ASSERT_EQ(order->GetGoodsNumber(), goods);
    }

    void Expire(GMOrderObj* order)
    {
        Hush();
        for (int i = 0; i < 600 && !IsGone(order); ++i)
            Run(16);
        ASSERT_TRUE(IsGone(order));
    }

};

// ---- The outcome table --------------------------------------------------------------------

struct Outcome {
    int special;
    float f0, f1;
    const char* shown;  // announcement
    int deliveredCash, deliveredPoints;
    const char* deliveredSound;
    int failedCash, failedPoints;  // by expiry, or for a thief by the vehicle
    const char* failedSound;
};

// Goods 1 costs 20 (a failure pays -10 before the factors); a prompt delivery
// has rating value 6; the day's rating maximum is 48. Thief orders ask for
// the police, whose price is 0.
const Outcome kOutcomes[] = {
    {0, 1.0f, 1.0f, "sfx\\OrderShow.ogg", 20, 6, "sfx\\OrderComplete.ogg", -10, -18, "sfx\\OrderFail.ogg"},
    {1, 2.0f, 1.5f, "sfx\\MayorShow.ogg", 40, 9, "sfx\\Mayor.ogg", -20, -27, "sfx\\OrderFail.ogg"},
    {2, 0.5f, 0.25f, "sfx\\TVShow.ogg", 20, 12, "sfx\\TVReporter.ogg", -10, -9, "sfx\\OrderFail.ogg"},
    {3, -50.0f, 80.0f, "sfx\\ThiefShow.ogg", 80, 0, "sfx\\ThiefCatch.ogg", -50, 0, "sfx\\Thief.ogg"},
    {4, 0.25f, 60.0f, "sfx\\ThiefShow.ogg", 60, 6, "sfx\\ThiefCatch.ogg", 0, -12, "sfx\\Thief.ogg"},
    {5, 0.5f, 0.5f, "sfx\\CafeShow.ogg", 20, 6, "sfx\\Cafe.ogg", -5, -9, "sfx\\OrderFail.ogg"},
    {6, 0.5f, 0.5f, "sfx\\OrderShow.ogg", 20, 6, "sfx\\OrderComplete.ogg", -5, -9, "sfx\\OrderFail.ogg"},
    {7, 0.5f, 0.5f, "sfx\\CafeShow.ogg", 20, 6, "sfx\\Cafe.ogg", -5, -9, "sfx\\OrderFail.ogg"},
};

TEST_F(VisitorTest, EverySpecialKindDeliveredIsAnnouncedPaidAndRated)
{
    for (const Outcome& row : kOutcomes) {
        SCOPED_TRACE("special kind " + std::to_string(row.special));
        ASSERT_EQ(LoadDay(Customer(row.special, "60", row.f0, row.f1)), kLoadOk) << m_notes.failure;
        Hush();
        UntilPlay();
        GMOrderObj* order = WaitForOrder(row.special);
        ASSERT_NE(order, nullptr);
        ExpectHeard(row.shown);
        const bool thief = row.special == 3 || row.special == 4;
        EXPECT_EQ(order->GetGoodsNumber() == kPoliceGoods, thief) << "a thief asks for the police";
        if (!thief)
            SetGoods(order, 1);
        Send(order, thief ? kPoliceGoods : 1);
        EXPECT_EQ(Value("cash"), row.deliveredCash);
        EXPECT_EQ(Value("points"), row.deliveredPoints);
        EXPECT_EQ(Value("delivered"), 1);
        ExpectHeard(row.deliveredSound, thief ? "sfx\\Thief.ogg" : "sfx\\OrderFail.ogg");
    }
}

TEST_F(VisitorTest, EverySpecialKindFailedPaysAndRatesByItsFactors)
{
    for (const Outcome& row : kOutcomes) {
        SCOPED_TRACE("special kind " + std::to_string(row.special));
        const bool thief = row.special == 3 || row.special == 4;
        // Ordinary visitors fail by running out of patience; a thief fails
        // when the wrong help reaches it (here the delivery van with bread).
        ASSERT_EQ(LoadDay(Customer(row.special, thief ? "60" : "1", row.f0, row.f1)), kLoadOk);
        UntilPlay();
        GMOrderObj* order = WaitForOrder(row.special);
        ASSERT_NE(order, nullptr);
        if (thief) {
            Send(order, 1);
        } else {
            SetGoods(order, 1);
            Expire(order);
        }
        EXPECT_EQ(Value("cash"), row.failedCash);
        EXPECT_EQ(Value("points"), row.failedPoints);
        EXPECT_EQ(Value("delivered"), 0);
        ExpectHeard(row.failedSound, thief ? nullptr : "sfx\\Thief.ogg");
    }
}

TEST_F(VisitorTest, AThiefRunningOutOfPatienceIsAnOrdinaryFailureEvenWhenQueuedForThePolice)
{
    for (int special : {3, 4}) {
        SCOPED_TRACE("special kind " + std::to_string(special));
        // A slow van makes a slow police car: the thief's 2 s run out on the way.
        const std::string slowVan = "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 0.3 1 R\n";
        WriteLevel("level3.lvl", Town(3, slowVan) + kGoods + kPolice + Customer(special, "2", 0.5f, 80.0f) +
                                     "\"LOR\" 10 \"END\"");
        ASSERT_EQ(m_run.LoadLevel("level3.lvl", m_manager.get(), m_device, m_hasSound ? &m_sound : nullptr,
                                  nullptr, &m_notes),
                  kLoadOk);
        m_run.SetRating(48.0f);  // the failure must not end the day
        UntilPlay();
        GMOrderObj* order = WaitForOrder(special);
        ASSERT_NE(order, nullptr);
        Pick(kPoliceGoods);
        Click(order->GetX(), order->GetY());
        ASSERT_EQ(m_run.PoliceQueue().size(), 1u);
        Expire(order);
        EXPECT_TRUE(m_run.PoliceQueue().empty()) << "it left the police queue";
        EXPECT_EQ(Value("cash"), 0) << "half the police's price of 0";
        EXPECT_EQ(Value("points"), -18);
        ExpectHeard("sfx\\OrderFail.ogg", "sfx\\Thief.ogg");
        Run(3000);
        EXPECT_FALSE(m_run.GetPoliceCar()->IsMoving()) << "the police car stops at the end of its leg";
    }
}

// ---- Side effects of the special deliveries -------------------------------------------------

class VisitorCrowd : public VisitorTest {
protected:
    // Waits until orders of every kind named stand open; fails the test otherwise.
    void WaitForAll(std::initializer_list<int> specials, std::vector<GMOrderObj*>& out)
    {
        out.clear();
        for (int special : specials) {
            GMOrderObj* order = WaitForOrder(special);
            ASSERT_NE(order, nullptr) << "no order of kind " << special;
            out.push_back(order);
        }
    }
};

TEST_F(VisitorCrowd, TheCafeOfSameGoodsSuppliesOnlyOrdersOfItsGoods)
{
    ASSERT_EQ(LoadDay(Customer(5, "60", 1.0f, 1.0f) + Customer(0, "60", 1.0f, 1.0f) + Customer(0, "60", 1.0f, 1.0f),
                      "\"OSG\" 3 "),
              kLoadOk);
    UntilPlay();
    std::vector<GMOrderObj*> o;
    WaitForAll({5, 0}, o);
    Run(2000);  // the second ordinary kind orders too
    ASSERT_EQ(m_run.Orders().GetCount(), 3);
    GMOrderObj* cafe = o[0];
    std::vector<GMOrderObj*> others;
    for (int32_t c = -1; GMObject* x = static_cast<GMObject*>(m_run.Orders().GetNext(c));) {
        if (x != cafe)
            others.push_back(static_cast<GMOrderObj*>(x));
    }
    ASSERT_EQ(others.size(), 2u);
    SetGoods(cafe, 1);
    SetGoods(others[0], 1);
    SetGoods(others[1], 2);
    Send(cafe, 1);
    EXPECT_TRUE(IsGone(others[0])) << "same goods: supplied by the cafe";
    EXPECT_FALSE(IsGone(others[1])) << "other goods: still waiting";
    EXPECT_EQ(Value("delivered"), 2);
    EXPECT_EQ(Value("cash"), 40) << "the cafe's price and the supplied order's";
    EXPECT_EQ(CountTexts("$20"), 2) << "each paid order shows its money";
    EXPECT_EQ(Value("points"), 12);
    ExpectHeard("sfx\\Cafe.ogg");
}

TEST_F(VisitorCrowd, TheCafeOfAllOrdersSuppliesEveryoneButTheThief)
{
    ASSERT_EQ(LoadDay(Customer(7, "60", 1.0f, 1.0f) + Customer(0, "60", 1.0f, 1.0f) + Customer(3, "60", 0.0f, 80.0f),
                      "\"OSG\" 3 "),
              kLoadOk);
    UntilPlay();
    std::vector<GMOrderObj*> o;
    WaitForAll({7, 0, 3}, o);
    GMOrderObj *cafe = o[0], *ordinary = o[1], *thief = o[2];
    SetGoods(cafe, 1);
    SetGoods(ordinary, 2);
    Send(cafe, 1);
    EXPECT_TRUE(IsGone(ordinary)) << "any goods: supplied";
    EXPECT_FALSE(IsGone(thief)) << "only the police settle a thief";
    EXPECT_EQ(Value("delivered"), 2);
    EXPECT_EQ(Value("cash"), 50);
    float x = 0, y = 0;
    EXPECT_TRUE(m_run.FindGoodsIcon(kPoliceGoods, &x, &y)) << "the thief still waits for the police";
}

TEST_F(VisitorCrowd, SupplyingEveryOrderPassesOverThievesAndEmptiesTheQueues)
{
    ASSERT_EQ(LoadDay(Customer(0, "60", 1.0f, 1.0f) + Customer(1, "60", 2.0f, 1.0f) + Customer(4, "60", 0.0f, 60.0f),
                      "\"OSG\" 3 "),
              kLoadOk);
    UntilPlay();
    std::vector<GMOrderObj*> o;
    WaitForAll({0, 1, 4}, o);
    SetGoods(o[0], 1);
    SetGoods(o[1], 1);
    Pick(1);
    Click(o[0]->GetX(), o[0]->GetY());
    ASSERT_EQ(Value("queue"), 1);
    Hush();
    EXPECT_EQ(m_run.SupplyOrders(), 2);
    EXPECT_EQ(Value("queue"), 0) << "a supplied order leaves the job queue";
    EXPECT_TRUE(IsGone(o[0]));
    EXPECT_TRUE(IsGone(o[1]));
    EXPECT_FALSE(IsGone(o[2]));
    EXPECT_EQ(Value("delivered"), 2);
    EXPECT_EQ(Value("cash"), 40) << "the mayor's pay factor counts only by the vehicle";
    EXPECT_EQ(CountTexts("$20"), 2) << "each supplied order shows its money";
    if (m_hasSound) {
        EXPECT_FALSE(Playing("sfx\\OrderComplete.ogg")) << "no sound without the vehicle";
        EXPECT_FALSE(Playing("sfx\\Mayor.ogg"));
    }
}

TEST_F(VisitorCrowd, AReporterWithoutRatingFactorMakesEveryoneWantItsGoods)
{
    ASSERT_EQ(LoadDay(Customer(2, "60", 1.0f, 0.0f) + Customer(0, "60", 1.0f, 1.0f) + Customer(3, "60", 0.0f, 80.0f),
                      "\"OSG\" 3 "),
              kLoadOk);
    UntilPlay();
    std::vector<GMOrderObj*> o;
    WaitForAll({2, 0, 3}, o);
    GMOrderObj *reporter = o[0], *ordinary = o[1], *thief = o[2];
    SetGoods(reporter, 2);
    SetGoods(ordinary, 1);
    Send(reporter, 2);
    EXPECT_EQ(Value("points"), 6) << "the rating value, unchanged";
    EXPECT_EQ(Value("cash"), 30);
    EXPECT_EQ(ordinary->GetGoodsNumber(), 2);
    EXPECT_EQ(ordinary->GetPrice(), 30.0f);
    EXPECT_EQ(thief->GetGoodsNumber(), kPoliceGoods) << "a special order keeps its number";
    EXPECT_STREQ(thief->GetGoods()->GetImageName(1), reporter->GetGoods()->GetImageName(1)) << "but shows the goods";
    ExpectHeard("sfx\\TVReporter.ogg");
}

// The van carries the goods of its queued jobs; the load-clearing visitor,
// served first, takes the whole load: the job behind him is dropped, its order
// waits again and its goods fly back to their shop.
TEST_F(VisitorCrowd, TheLoadClearingVisitorTakesTheWholeLoadAndTheJobsForIt)
{
    ASSERT_EQ(LoadDay(Customer(6, "60", 1.0f, 1.0f) + Customer(0, "60", 1.0f, 1.0f), "\"OSG\" 3 "), kLoadOk);
    UntilPlay();
    std::vector<GMOrderObj*> o;
    WaitForAll({6, 0}, o);
    GMOrderObj *mover = o[0], *ordinary = o[1];
    SetGoods(mover, 1);
    SetGoods(ordinary, 2);
    GMTransportObj* van = m_run.GetVehicle();
    van->SetCapacity(2);
    Pick(1);
    Click(mover->GetX(), mover->GetY());
    Click(-500, -500, 2);  // the second pick-up is not wanted
    EXPECT_EQ(van->GetCargo(0), 1) << "loaded when queued";
    Pick(2);
    Click(ordinary->GetX(), ordinary->GetY());
    Click(-500, -500, 2);
    EXPECT_EQ(van->GetCargo(0), 2) << "the newest first";
    EXPECT_EQ(van->GetCargo(1), 1);
    ASSERT_EQ(Value("queue"), 2);
    for (int i = 0; i < 600 && !IsGone(mover); ++i)
        Run(16);
    ASSERT_TRUE(IsGone(mover));
    EXPECT_EQ(Value("delivered"), 1);
    EXPECT_EQ(Value("queue"), 0) << "the job for goods 2 went with the load";
    EXPECT_FALSE(ordinary->IsTaken());
    EXPECT_FALSE(IsGone(ordinary)) << "it waits to be served again";
    EXPECT_EQ(van->GetCargo(0), 0);
    EXPECT_EQ(van->GetCargo(1), 0);
    int flying = 0;
    for (int32_t c = -1; GMObject* x = static_cast<GMObject*>(m_run.Icons().GetNext(c));) {
        auto* icon = static_cast<GMQueryGoodsObj*>(x);
        if (icon->GetGoodsNumber() == 2 && !icon->IsAtRest() && icon->GetTransition() == GMQueryGoodsObj::kShrinking)
            ++flying;
    }
    EXPECT_EQ(flying, 1) << "goods 2 fly back to their shop";
    Send(ordinary, 2);
    EXPECT_EQ(Value("delivered"), 2);
}

// ---- The police icon ----------------------------------------------------------------------

TEST_F(VisitorTest, ThePoliceIconGrowsInForAThiefAndShrinksAwayIn100MsWhenNoneWaits)
{
    ASSERT_EQ(LoadDay(Customer(3, "1", 0.0f, 80.0f)), kLoadOk);
    m_run.SetRating(48.0f);  // the failure must not end the day
    UntilPlay();
    float x = 0, y = 0;
    EXPECT_FALSE(m_run.FindGoodsIcon(kPoliceGoods, &x, &y)) << "no thief yet, no police icon";
    GMQueryGoodsObj* icon = nullptr;
    for (int i = 0; i < 600 && !icon; ++i) {
        Run(16);
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Icons().GetNext(c));) {
            auto* q = static_cast<GMQueryGoodsObj*>(o);
            if (q->GetGoodsNumber() == kPoliceGoods)
                icon = q;
        }
    }
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetTransition(), GMQueryGoodsObj::kGrowing);
    EXPECT_FLOAT_EQ(icon->GetX(), 180.0f) << "at the police post";
    EXPECT_FLOAT_EQ(icon->GetY(), 120.0f);
    icon->AddRef();
    Run(200);
    EXPECT_EQ(icon->GetScale(), 1.0f) << "grown in";
    // The thief's second of patience runs out: nobody waits for the police.
    for (int i = 0; i < 200 && icon->GetTransition() != GMQueryGoodsObj::kShrinking; ++i)
        Run(16);
    ASSERT_EQ(icon->GetTransition(), GMQueryGoodsObj::kShrinking);
    EXPECT_FLOAT_EQ(icon->GetTransitionLeft(), 100.0f);
    Run(48);
    EXPECT_NEAR(icon->GetScale(), (100.0f - 48.0f) / 100.0f, 1e-4);
    Run(64);
    EXPECT_FALSE(m_run.FindGoodsIcon(kPoliceGoods, &x, &y));
    bool listed = false;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Icons().GetNext(c));)
        listed = listed || o == icon;
    EXPECT_FALSE(listed) << "shrunk away and removed";
    icon->Release();
}
