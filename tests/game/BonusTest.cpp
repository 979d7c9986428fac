// Bonuses in play (use, effects, endings, HUD piles and blink) and the bonus
// shop between days (layout, buying, the hint, drawing).
#include "game/GMHud.h"
#include "game/GMOrderSigns.h"
#include "LevelFixture.h"

#include "world/GMBonusObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMOrderObj.h"
#include "world/GMTransportObj.h"

namespace {

bool Near(uint32_t pixel, uint32_t rgb, int tolerance = 3)
{
    return std::abs(Red(pixel) - int((rgb >> 16) & 0xFF)) <= tolerance &&
           std::abs(Green(pixel) - int((rgb >> 8) & 0xFF)) <= tolerance &&
           std::abs(Blue(pixel) - int(rgb & 0xFF)) <= tolerance;
}

// A BON line: the button pictures are 30 px squares, the shop icon a white 64 px one.
std::string Bonus(int kind, int price, const std::string& seconds, const std::string& value, int x, int y)
{
    return "\"BON\" \"goods.img\" \"goodsh.img\" \"icon.img\" " + std::to_string(kind) + " " +
           std::to_string(price) + " " + seconds + " " + value + " " + std::to_string(x) + " " + std::to_string(y) +
           "\n";
}

}  // namespace

TEST(BonusKinds, NamesDescriptionsAndLimits)
{
    EXPECT_STREQ(GMLevelRun::BonusName(0), "Speed Up");
    EXPECT_STREQ(GMLevelRun::BonusName(7), "Capacity");
    EXPECT_STREQ(GMLevelRun::BonusDescription(1), "This bonus gives you\ntwice as much time to\ndeliver orders.");
    EXPECT_EQ(GMLevelRun::BonusDescription(2), nullptr);
    EXPECT_STREQ(GMLevelRun::BonusDescription(5),
                 "This bonus shows on the\ngoods at each shop how\nmany customers are\nwaiting for them.");
    EXPECT_STREQ(GMLevelRun::BonusDescription(6), "This bonus points at the\ncustomer who will run\nout of patience first.");
    EXPECT_STREQ(GMLevelRun::BonusName(8), "");
    EXPECT_EQ(GMLevelRun::BonusLimit(0), 3);
    EXPECT_EQ(GMLevelRun::BonusLimit(6), 3);
    EXPECT_EQ(GMLevelRun::BonusLimit(7), 5);
    EXPECT_FLOAT_EQ(GMLevelRun::ShopRowY(0), 100.0f);
    EXPECT_FLOAT_EQ(GMLevelRun::ShopRowY(4), 400.0f);
    EXPECT_FLOAT_EQ(GMLevelRun::ShopRowY(6), 400.0f) << "rows past the fifth reuse it";
}

TEST(BonusKinds, TheButtonBlinksRedFasterAsTheLastFiveSecondsRunOut)
{
    EXPECT_EQ(GMHud::BonusBlinkColor(5001.0f), 0xFFFFFFFFu) << "white until 5 s are left";
    EXPECT_EQ(GMHud::BonusBlinkColor(0.0f), 0xFFFFFFFFu);
    // P = 400, phase 200 = P / 2: the top of the pulse.
    EXPECT_EQ(GMHud::BonusBlinkColor(5000.0f), 0xFFFF2B2Bu);
    // P = 300, phase 100: level 2/3, alpha 160 + 63.
    EXPECT_EQ(GMHud::BonusBlinkColor(2500.0f), 0xDFFF2B2Bu);
    // P = 240, phase 40: level 1/3, alpha 191.
    EXPECT_EQ(GMHud::BonusBlinkColor(1000.0f), 0xBFFF2B2Bu);
    // P = 205, phase 130, in the falling half: 1 - 27.5 / 102.5, alpha 229.
    EXPECT_EQ(GMHud::BonusBlinkColor(130.0f), 0xE5FF2B2Bu);
    // P = 208, phase 0: the bottom of the pulse, alpha 160.
    EXPECT_EQ(GMHud::BonusBlinkColor(208.0f), 0xA0FF2B2Bu);
    // P = 248, phase 208: 1 - 84 / 124, alpha 190.
    EXPECT_EQ(GMHud::BonusBlinkColor(1200.0f), 0xBEFF2B2Bu);
}

class BonusPlay : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        WriteSolidTemplate("icon", 1, 64, 64, 0xFFFFFFFF);
        WriteSolidTemplate("BuyBtnI", 1, 316, 66, 0x00000000);
        WriteSolidTemplate("BuyBtnH", 1, 316, 66, 0x40FFFFFF);
        WriteSolidTemplate("Zzz", 1, 32, 32, 0xFFFFFFFF);
    }

    GMBonusObj* BonusAt(int index) { return m_run.GetBonus(index); }

    // The shop of the loaded day as it opens after the report, with the
    // profile's money as its cash.
    void OpenShop()
    {
        m_run.ComputeTotals();
        m_run.LayOutShop();
        m_run.SetStateWord(kStateShop);
    }

    void Buy(int row)
    {
        float x = 0, y = 0;
        ASSERT_TRUE(m_run.FindButton(("buy" + std::to_string(row)).c_str(), &x, &y));
        Click(x, y);
    }

    GMOrderObj* FirstOrder()
    {
        int32_t c = -1;
        return static_cast<GMOrderObj*>(m_run.Orders().GetNext(c));
    }

    void UntilOrders(int open)
    {
        for (int i = 0; i < 2000 && Value("orders-open") < open; ++i)
            Run(16);
        Run(400);
        ASSERT_EQ(Value("orders-open"), open);
    }
};

// ---- In play ------------------------------------------------------------------------------

TEST_F(BonusPlay, SpeedUpUsesOneUnitDrivesFasterWithATrailAndCannotBeUsedAgainWhileItRuns)
{
    m_profile.AddBonus(0, 2000.0f, 40, 2.0f, 2);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "2", "2", 700, 500) + "\"LOR\" 3 \"END\""), kLoadOk);
    UntilPlay();
    GMBonusObj* bonus = BonusAt(0);
    GMTransportObj* car = m_run.GetVehicle();
    ASSERT_EQ(bonus->GetCount(), 2);
    const float base = car->GetSpeed();
    EXPECT_FLOAT_EQ(m_run.GetVehicleBaseSpeed(), base);

    Click(700, 500);
    EXPECT_EQ(bonus->GetCount(), 1);
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 2000.0f);
    EXPECT_FLOAT_EQ(car->GetSpeed(), base * 2.0f);
    EXPECT_TRUE(car->IsGhostOn());
    EXPECT_EQ(Value("bonus0"), 1);

    Click(700, 500);
    EXPECT_EQ(bonus->GetCount(), 1) << "a running bonus ignores clicks";
    EXPECT_FLOAT_EQ(bonus->GetTimeLeft(), 2000.0f - 16.0f);

    Run(2000);
    EXPECT_FALSE(bonus->IsRunning());
    EXPECT_FLOAT_EQ(car->GetSpeed(), base);
    EXPECT_FALSE(car->IsGhostOn());
    Click(700, 500);
    EXPECT_EQ(bonus->GetCount(), 0) << "the second unit";
    Run(2100);
    Click(700, 500);
    EXPECT_FALSE(bonus->IsRunning()) << "none left";
}

TEST_F(BonusPlay, TimeDelayOfStrengthTwoHalvesAgeingAndSendsUpSleepMarks)
{
    m_profile.AddBonus(1, 10000.0f, 40, 2.0f, 1);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(1, 40, "10", "2", 700, 500) + "\"LOR\" 1 \"END\""),
              kLoadOk);
    UntilPlay();
    UntilOrders(1);
    GMOrderObj* order = FirstOrder();
    float before = order->GetPatienceLeft();
    Run(1600);
    const float normal = before - order->GetPatienceLeft();
    EXPECT_NEAR(normal, 1600.0f, 16.0f);

    Click(700, 500);
    ASSERT_TRUE(BonusAt(0)->IsRunning());
    before = order->GetPatienceLeft();
    Run(1600);
    EXPECT_NEAR(before - order->GetPatienceLeft(), normal / 2.0f, 16.0f);
    // A mark every 1.2 s, starting 32 px up and left of the order.
    const auto& marks = m_run.Hud().SleepMarks();
    ASSERT_FALSE(marks.empty());
    EXPECT_FLOAT_EQ(marks.back().x, order->GetX() - 32.0f);
    EXPECT_FLOAT_EQ(marks.back().y, order->GetY() - 32.0f);
    EXPECT_GE(marks.back().angle, 0.0f);
    EXPECT_LE(marks.back().angle, 6.28f);

    Run(9000);
    ASSERT_FALSE(BonusAt(0)->IsRunning());
    before = order->GetPatienceLeft();
    Run(800);
    EXPECT_NEAR(before - order->GetPatienceLeft(), 800.0f, 16.0f) << "full speed again";
}

TEST_F(BonusPlay, TimeResetRestartsThePatienceAndFlashes)
{
    m_profile.AddBonus(3, 0.0f, 40, 1.0f, 1);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(3, 40, "0", "1", 700, 500) + "\"LOR\" 1 \"END\""), kLoadOk);
    UntilPlay();
    UntilOrders(1);
    Run(5000);
    GMOrderObj* order = FirstOrder();
    EXPECT_LT(order->GetPatienceLeft(), 55500.0f);
    Click(700, 500);
    EXPECT_EQ(BonusAt(0)->GetCount(), 0);
    EXPECT_FLOAT_EQ(order->GetPatienceLeft(), 60000.0f) << "a use of no duration acts once";
    EXPECT_FLOAT_EQ(m_run.Hud().GetTimeResetFlash(), 2000.0f - 16.0f) << "set, then run down by the frame";
    Run(1000);
    EXPECT_LT(order->GetPatienceLeft(), 60000.0f);
    EXPECT_NEAR(m_run.Hud().GetTimeResetFlash(), 2000.0f - 16.0f - 63.0f * 16.0f, 0.5f);
}

TEST_F(BonusPlay, SupplyAllCompletesWaitingOrdersButLeavesTheThiefToThePolice)
{
    m_profile.AddBonus(4, 0.0f, 40, 1.0f, 1);
    ASSERT_EQ(LoadText(Town(3) + Trade() +
                       "\"BL\" \"house.img\" 4 0 0 N\n"
                       "\"POL\" \"post.img\" \"post.img\" 180 120\n"
                       "\"PLC\" \"car.img\" \"car.img\" \"car.img\" \"car.img\"\n"
                       "\"CUS\" \"cus.img\" \"cus.img\" 3 60 1 -50 80\n" +
                       Bonus(4, 40, "0", "1", 700, 500) + "\"LOR\" 3 \"OSG\" 3 \"END\""),
              kLoadOk);
    UntilPlay();
    UntilOrders(2);
    int thieves = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));)
        thieves += static_cast<GMOrderObj*>(o)->GetGoodsNumber() == kPoliceGoods;
    ASSERT_EQ(thieves, 1) << "two customer kinds: one order each";
    const double cash = Value("cash");
    Click(700, 500);
    EXPECT_EQ(Value("delivered"), 1) << "the ordinary order only";
    EXPECT_EQ(Value("cash"), cash + 20) << "paid its price, no tip";
    EXPECT_EQ(CountTexts("$20"), 1) << "paid without the vehicle, and shown";
    int open = 0;
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));) {
        auto* order = static_cast<GMOrderObj*>(o);
        if (order->GetTransition() != GMOrderObj::kDisappearing) {
            ++open;
            EXPECT_EQ(order->GetGoodsNumber(), kPoliceGoods);
        }
    }
    EXPECT_EQ(open, 1);
}

TEST_F(BonusPlay, AddLevelTimeAddsItsStrengthEveryFrameItRuns)
{
    m_profile.AddBonus(2, 160.0f, 40, 10.0f, 1);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(2, 40, "0.16", "10", 700, 500) + "\"LTM\" 1 \"LOR\" 1 \"END\""),
              kLoadOk);
    UntilPlay();
    Click(700, 500);
    Run(320);
    EXPECT_FLOAT_EQ(m_run.Day().levelTime, 1000.0f + 10.0f * 10.0f) << "ten frames of 16 ms in 160 ms";
}

TEST_F(BonusPlay, CapacityHasNoButtonAndTwoUnitsGiveThreeSlots)
{
    m_profile.AddBonus(GMLevelRun::kCapacityBonus, 0.0f, 100, 1.0f, 2);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(7, 100, "0", "1", 700, 500) + "\"LOR\" 2 \"END\""), kLoadOk);
    EXPECT_EQ(m_run.GetVehicle()->GetCapacity(), 3);
    UntilPlay();
    BeginFrame();
    m_run.Draw(m_device);
    ReadBack();
    EndFrame();
    EXPECT_FALSE(Near(Pixel(700, 500), 0x20F020)) << "no button drawn";
    Click(700, 500);
    EXPECT_EQ(BonusAt(0)->GetCount(), 2) << "nothing to click";
    EXPECT_FALSE(BonusAt(0)->IsRunning());
}

TEST_F(BonusPlay, OwnedUnitsPileUnderTheButtonAndTheLastSecondsBlinkRed)
{
    m_profile.AddBonus(0, 6000.0f, 40, 1.5f, 3);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "6", "1.5", 700, 500) + "\"LOR\" 3 \"END\""), kLoadOk);
    UntilPlay();
    auto shot = [&] {
        BeginFrame();
        m_run.Draw(m_device);
        ReadBack();
        EndFrame();
    };
    shot();
    // Three units: copies at (+1.5, +2) and (+3, +4) reach 3 px right of the top button.
    EXPECT_TRUE(Near(Pixel(700 + 15 + 2, 500 + 15 + 3), 0x20F020));
    EXPECT_FALSE(Near(Pixel(700 + 15 + 4, 500), 0x20F020));
    Click(700, 500);
    Run(300);
    shot();
    EXPECT_TRUE(Near(Pixel(700, 500), 0x80FF80)) << "running: the highlight picture, white";
    EXPECT_TRUE(Near(Pixel(700 + 15 + 2, 500 + 15 + 3), 0x80FF80)) << "count 2 + the one running";
    Run(4000);  // into the last 5 s
    ASSERT_LE(BonusAt(0)->GetTimeLeft(), 5000.0f);
    shot();
    const uint32_t tint = GMHud::BonusBlinkColor(BonusAt(0)->GetTimeLeft());
    ASSERT_NE(tint, 0xFFFFFFFFu);
    // The top button's corner, clear of the pile: the highlight picture tinted FF2B2B.
    const uint32_t corner = Pixel(686, 486);
    EXPECT_GT(Red(corner), 0x40);
    EXPECT_GT(Red(corner), 2 * Green(corner)) << "red-tinted";
    // Once the day is over the bonus's time stands still: no blink is left
    // frozen on its button.
    m_run.SetStateWord(kStateReport | kStateReportDone);
    shot();
    EXPECT_TRUE(Near(Pixel(686, 486), 0x80FF80)) << "plain once the day is over";
}

TEST_F(BonusPlay, EndingSpeedAndTimeDelayStopTheirLoopsAndPlayTheEndSound)
{
    if (!UseGeneratedSounds())
        GTEST_SKIP() << "needs the generated sounds";
    m_profile.AddBonus(0, 500.0f, 40, 2.0f, 1);
    m_profile.AddBonus(1, 1000.0f, 40, 2.0f, 1);
    m_profile.AddBonus(3, 500.0f, 40, 1.0f, 1);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "0.5", "2", 700, 500) + Bonus(1, 40, "1", "2", 700, 440) +
                       Bonus(3, 40, "0.5", "1", 700, 380) + "\"LOR\" 3 \"END\""),
              kLoadOk);
    UntilPlay();
    SoundBuffer* speed = m_sound.FindEntry("sfx\\BonusSpeed.ogg")->buffer;
    SoundBuffer* freeze = m_sound.FindEntry("sfx\\BonusFreeze.ogg")->buffer;
    SoundBuffer* end = m_sound.FindEntry("sfx\\BonusEnd.ogg")->buffer;
    SoundBuffer* tolerance = m_sound.FindEntry("sfx\\BonusTolerance.ogg")->buffer;
    Click(700, 500);
    Click(700, 440);
    EXPECT_TRUE(speed->IsPlaying());
    EXPECT_TRUE(freeze->IsPlaying());
    EXPECT_FALSE(end->IsPlaying());
    Run(600);
    EXPECT_FALSE(speed->IsPlaying());
    EXPECT_TRUE(end->IsPlaying()) << "Speed Up ran out";
    EXPECT_TRUE(freeze->IsPlaying());
    end->Stop();
    Run(500);
    EXPECT_FALSE(freeze->IsPlaying());
    EXPECT_TRUE(end->IsPlaying()) << "Time Delay ran out";
    end->Stop();
    Click(700, 380);
    EXPECT_TRUE(tolerance->IsPlaying());
    tolerance->Stop();
    Run(600);
    EXPECT_FALSE(tolerance->IsPlaying()) << "once per use, not per frame";
    EXPECT_FALSE(end->IsPlaying()) << "Time Reset ends silently";
}

// Three customers of 60, 20 and 40 s at the three houses, all for goods 1;
// Show orders (3 s) and Who is next (3 s) with pictures of plain colours.
class OrderSignsPlay : public BonusPlay {
protected:
    void SetUp() override
    {
        BonusPlay::SetUp();
        std::filesystem::create_directories("Town/Bonus");
        WriteSolidTemplate("Town/Bonus/OrderCount", 1, 32, 32, 0xFFD02020);
        WriteSolidTemplate("Town/Bonus/NextGlow", 1, 128, 128, 0xFFFFD020);
        WriteSolidTemplate("Town/Bonus/NextArrow", 1, 64, 64, 0xFF2020D0);
        m_profile.AddBonus(5, 3000.0f, 80, 1.0f, 1);
        m_profile.AddBonus(6, 3000.0f, 90, 1.0f, 1);
    }

    int32_t LoadDay()
    {
        return LoadText(Town(3) + Trade() + "\"CUS\" \"cus.img\" \"cus.img\" 0 20 1 1 1\n" +
                        "\"CUS\" \"cus.img\" \"cus.img\" 0 40 1 1 1\n" + Bonus(5, 80, "3", "1", 700, 440) +
                        Bonus(6, 90, "3", "1", 700, 500) + "\"LOR\" 6 \"OTM\" 0.4 \"OTI\" 0.6 \"END\"");
    }

    // Orders still to place, then where each open order stands, what it wants
    // and how much patience it has left.
    std::string Orders()
    {
        std::string out = std::to_string(m_run.GetOrdersLeft());
        for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));) {
            auto* order = static_cast<GMOrderObj*>(o);
            out += " " + std::to_string(int(order->GetX())) + "/" + std::to_string(order->GetGoodsNumber()) + "/" +
                   std::to_string(int(order->GetPatienceLeft()));
        }
        return out;
    }
};

TEST_F(OrderSignsPlay, ShowOrdersCountsTheWaitingOrdersOnTheirGoodsWhileItRuns)
{
    ASSERT_EQ(LoadDay(), kLoadOk);
    UntilPlay();
    UntilOrders(3);
    EXPECT_EQ(GMOrderSigns::CountWaiting(m_run.Orders(), 1), 3);
    EXPECT_EQ(GMOrderSigns::CountWaiting(m_run.Orders(), 2), 0);
    // The badge sits on the icon's top-right corner at (107, 493); its left edge shows red.
    Shoot();
    EXPECT_FALSE(Near(Pixel(95, 493), 0xD02020)) << "nothing before it is used";
    Click(700, 440);
    ASSERT_TRUE(BonusAt(0)->IsRunning());
    Shoot();
    EXPECT_TRUE(Near(Pixel(95, 493), 0xD02020));
    EXPECT_FALSE(Near(Pixel(195, 493), 0xD02020)) << "no badge on goods nobody waits for";
    // A served order no longer counts.
    Click(100, 500);
    Click(FirstOrder()->GetX(), FirstOrder()->GetY());
    EXPECT_TRUE(FirstOrder()->IsTaken());
    EXPECT_EQ(GMOrderSigns::CountWaiting(m_run.Orders(), 1), 2);
    Run(3100);
    EXPECT_FALSE(BonusAt(0)->IsRunning());
    Shoot();
    EXPECT_FALSE(Near(Pixel(95, 493), 0xD02020)) << "gone with the bonus";
}

TEST_F(OrderSignsPlay, WhoIsNextMarksTheWaitingOrderThatRunsOutFirst)
{
    ASSERT_EQ(LoadDay(), kLoadOk);
    UntilPlay();
    UntilOrders(3);
    GMOrderObj* next = GMOrderSigns::NextToRunOut(m_run.Orders());
    ASSERT_NE(next, nullptr);
    for (int32_t c = -1; GMObject* o = static_cast<GMObject*>(m_run.Orders().GetNext(c));)
        EXPECT_LE(next->GetPatienceLeft(), static_cast<GMOrderObj*>(o)->GetPatienceLeft());
    EXPECT_LT(next->GetPatienceLeft(), 20000.0f) << "the customer of 20 s";
    // The pointer stands right of the bubble (60 wide), pointing left at it.
    const int px = int(next->GetX()) + 30 + 30, py = int(next->GetY());
    Shoot();
    EXPECT_FALSE(Near(Pixel(px, py), 0x2020D0));
    Click(700, 500);
    ASSERT_TRUE(BonusAt(1)->IsRunning());
    Shoot();
    EXPECT_TRUE(Near(Pixel(px, py), 0x2020D0));
    // Taken, it is no longer waiting: the mark moves on to the next.
    Click(100, 500);
    Click(next->GetX(), next->GetY());
    ASSERT_TRUE(next->IsTaken());
    EXPECT_NE(GMOrderSigns::NextToRunOut(m_run.Orders()), next);
    Shoot();
    EXPECT_FALSE(Near(Pixel(px, py), 0x2020D0));
}

// Both are only seen: the day that uses them places the same orders at the
// same houses at the same moments as the day that does not.
TEST_F(OrderSignsPlay, UsingThemLeavesTheOrdersOfTheDayAsTheyWere)
{
    std::vector<std::vector<std::string>> days;
    for (bool use : {false, true}) {
        m_run.Reset();
        m_run.Initialise();  // the same seed for both days
        ASSERT_EQ(LoadDay(), kLoadOk);
        UntilPlay();
        std::vector<std::string> frames;
        for (int frame = 0; frame < 600; ++frame) {
            if (use && frame == 10)
                Click(700, 440);
            else if (use && frame == 200)
                Click(700, 500);
            else
                Run(16);
            frames.push_back(Orders());
        }
        EXPECT_EQ(BonusAt(0)->GetCount() + BonusAt(1)->GetCount(), use ? 0 : 2);
        days.push_back(frames);
    }
    EXPECT_NE(days[0].front(), days[0].back()) << "orders came and aged";
    ASSERT_EQ(days[0].size(), days[1].size());
    for (size_t i = 0; i < days[0].size(); ++i)
        ASSERT_EQ(days[0][i], days[1][i]) << "frame " << i;
}

// ---- Between days -------------------------------------------------------------------------

TEST_F(BonusPlay, ABonusRunningWhenTheDayEndsStopsWithItAndNoneIsUsedInTheBonusGame)
{
    if (!UseGeneratedSounds())
        GTEST_SKIP() << "needs the generated sounds";
    const char* speed = "sfx\\BonusSpeed.ogg";
    const char* freeze = "sfx\\BonusFreeze.ogg";
    m_profile.AddBonus(0, 60000.0f, 40, 2.0f, 2);
    // Time Delay runs out before the day ends: its button is free in the bonus game.
    m_profile.AddBonus(1, 500.0f, 40, 2.0f, 2);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "60", "2", 700, 500) + Bonus(1, 40, "0.5", "2", 700, 440) +
                       "\"LOR\" 1 \"LSC\" 10 \"END\""),
              kLoadOk);
    UntilPlay();
    Click(700, 500);
    Click(700, 440);
    ASSERT_TRUE(Playing(speed));
    ASSERT_TRUE(Playing(freeze));
    UntilOrders(1);
    Run(600);
    ASSERT_FALSE(Playing(freeze));
    m_run.CompleteOrder(FirstOrder(), m_run.GetVehicle(), true);
    for (int i = 0; i < 100 && !(m_run.GetStateWord() & kStateUfoGame); ++i)
        Run(16);
    ASSERT_TRUE(m_run.GetStateWord() & kStateUfoGame) << "a perfect day";
    m_sound.ClearLog();
    // Through the bonus game, with clicks on both buttons, to the report.
    for (int i = 0; i < 3000 && !(m_run.GetStateWord() & kStateReport); ++i) {
        Click(700, 500);
        Click(700, 440);
    }
    ASSERT_TRUE(m_run.GetStateWord() & kStateReport);
    Run(1000);
    EXPECT_EQ(Looped(speed), 0) << "no loop of the day's bonuses after its end";
    EXPECT_EQ(Looped(freeze), 0);
    EXPECT_FALSE(Playing(speed));
    EXPECT_FALSE(Playing(freeze));
    EXPECT_EQ(Heard("sfx\\BonusEnd.ogg"), 0) << "they stop quietly under the day's closing sounds";
    EXPECT_EQ(Value("bonus0"), 1) << "no unit spent by a click in the bonus game";
    EXPECT_EQ(Value("bonus1"), 1);
    EXPECT_EQ(Value("bonus0-left"), 0);
    EXPECT_EQ(Value("bonus1-left"), 0);
    EXPECT_FLOAT_EQ(m_run.GetVehicle()->GetSpeed(), m_run.GetVehicleBaseSpeed());
    EXPECT_EQ(m_profile.GetMatchingBonusCount(*BonusAt(0)), 1) << "what the profile keeps";
}

TEST_F(BonusPlay, ABonusUsedOnADayWithoutAShopIsStillTakenFromTheProfile)
{
    m_profile.AddBonus(0, 2000.0f, 40, 2.0f, 2);
    WriteLevel("level4.lvl", "\"END\"");
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "2", "2", 700, 500) +
                       "\"LOR\" 2 \"BUY\" 0 \"LVL\" \"level4.lvl\" \"END\""),
              kLoadOk);
    UntilPlay();
    Click(700, 500);
    m_run.EndTheDay();
    for (int i = 0; i < 1000 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Run(16);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(0, 2000.0f, 2.0f), 1) << "written back when the day ends";
    EXPECT_EQ(Click(449, 506), kLevelGoOn);
    EXPECT_FALSE(m_run.GetStateWord() & (kStateShop | kStateShopSlideIn)) << "no shop today";
    GMProfile saved;
    ASSERT_EQ(saved.LoadProfile("Tess.prf"), 0);
    EXPECT_EQ(saved.GetMatchingBonusCount(0, 2000.0f, 2.0f), 1);
}

TEST_F(BonusPlay, TheShopOpensAfterTheReportWithItsButtonsAndBuysIntoTheProfile)
{
    m_profile.SetMoney(50);
    WriteLevel("level4.lvl", "\"END\"");
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "2", "2", 700, 500) + Bonus(7, 30, "0", "1", 0, 0) +
                       "\"LOR\" 2 \"LVL\" \"level4.lvl\" \"END\""),
              kLoadOk);
    UntilPlay();
    m_run.EndTheDay();  // receipts 15000; an order never placed: no bonus game
    for (int i = 0; i < 1000 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Run(16);
    float x = 0, y = 0;
    EXPECT_FALSE(m_run.FindButton("buy0", &x, &y)) << "only while the shop shows";
    Click(449, 506);
    EXPECT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateShopSlideIn));
    Run(400);
    ASSERT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateShop));
    ASSERT_EQ(m_run.GetBuyButtonCount(), 2);
    ASSERT_TRUE(m_run.FindButton("buy1", &x, &y));
    EXPECT_FLOAT_EQ(x, 231.0f);
    EXPECT_FLOAT_EQ(y, 175.0f);
    EXPECT_FALSE(m_run.FindButton("buy2", &x, &y));
    const int32_t cash = m_run.GetShopCash();
    EXPECT_GE(cash, 15050);
    Buy(1);
    EXPECT_EQ(m_run.GetShopCash(), cash - 30);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(7, 0.0f, 1.0f), 1);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(0, 2000.0f, 2.0f), 0) << "written back, though none was owned";
    EXPECT_EQ(Click(668, 476), kLevelGoOn);  // done: saved, then the fade-out
    GMProfile saved;
    ASSERT_EQ(saved.LoadProfile("Tess.prf"), 0);
    EXPECT_EQ(saved.GetMatchingBonusCount(7, 0.0f, 1.0f), 1);
    EXPECT_EQ(saved.GetMoney(), 0) << "what is left of the shop cash is not kept";
    EXPECT_EQ(Run(1000), kLevelNext);
}

TEST_F(BonusPlay, TheThirdUnitOrTheFifthCapacityGreysTheRowAtOnce)
{
    m_profile.SetMoney(1000);
    m_profile.AddBonus(0, 2000.0f, 40, 2.0f, 2);
    m_profile.AddBonus(7, 0.0f, 30, 1.0f, 4);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "2", "2", 700, 500) + Bonus(7, 30, "0", "1", 0, 0) +
                       "\"LOR\" 1 \"END\""),
              kLoadOk);
    OpenShop();
    EXPECT_TRUE(m_run.CanBuy(BonusAt(0)));
    EXPECT_TRUE(m_run.CanBuy(BonusAt(1)));
    Buy(0);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(0, 2000.0f, 2.0f), 3);
    EXPECT_FALSE(m_run.CanBuy(BonusAt(0)));
    EXPECT_FALSE(m_run.GetBuyButton(0)->IsEnabled()) << "switched off in the same frame";
    EXPECT_FALSE(m_run.GetBuyButton(0)->IsHighlighted());
    Buy(1);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(7, 0.0f, 1.0f), 5);
    EXPECT_FALSE(m_run.GetBuyButton(1)->IsEnabled());
    Buy(0);
    Buy(1);
    EXPECT_EQ(m_run.GetShopCash(), 1000 - 40 - 30) << "a switched-off row takes no money";
    BeginFrame();
    m_run.Draw(m_device);
    ReadBack();
    EndFrame();
    EXPECT_TRUE(Near(Pixel(131, 100), 0x909090)) << "the icon greyed";
    EXPECT_TRUE(Near(Pixel(131, 175), 0x909090));
}

TEST_F(BonusPlay, ARowThatCostsMoreThanTheCashIsGreyAndTakesNoClick)
{
    m_profile.SetMoney(35);
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(0, 40, "2", "2", 700, 500) + Bonus(5, 30, "10", "1", 700, 440) +
                       "\"LOR\" 1 \"END\""),
              kLoadOk);
    OpenShop();
    Buy(0);
    EXPECT_EQ(m_run.GetShopCash(), 35);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(0, 2000.0f, 2.0f), 0);
    Buy(1);
    EXPECT_EQ(m_run.GetShopCash(), 5);
    BeginFrame();
    m_run.Draw(m_device);
    ReadBack();
    EndFrame();
    EXPECT_TRUE(Near(Pixel(131, 100), 0x909090));
    EXPECT_TRUE(Near(Pixel(131, 175), 0x909090)) << "$5 left buys nothing";
}

TEST_F(BonusPlay, TheBonusHintMakesItsBonusAffordableAndOnlyItCanBeBought)
{
    WriteLevel("story3.lay", "\"TXT\" \"Bonuses\" \"BTN\" \"lit.img\" \"lit.img\" 400 500");
    WriteLevel("level4.lvl", "\"END\"");
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(3, 120, "0", "1", 700, 500) + Bonus(0, 20, "2", "2", 700, 440) +
                       "\"LOR\" 0 \"STO\" \"story3.lay\" \"TUT\" 4 \"lit.img\" \"unlit.img\" "
                       "\"LVL\" \"level4.lvl\" \"END\""),
              kLoadOk);
    EXPECT_EQ(m_run.GetTutorialStep(), 5);
    Run(1000);
    Click(400, 500);
    Run(800);
    ASSERT_TRUE(m_run.GetStateWord() & kStateShop);
    EXPECT_EQ(m_run.GetShopCash(), 120) << "raised to the hinted bonus's price";
    EXPECT_EQ(m_run.GetTutorialStep(), 5);
    Buy(1);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(0, 2000.0f, 2.0f), 0) << "not the hinted one";
    EXPECT_EQ(Click(668, 476), kLevelGoOn);
    EXPECT_FALSE(m_run.GetStateWord() & kStateFadeOut) << "done waits for the hint";
    Buy(0);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(3, 0.0f, 1.0f), 1);
    EXPECT_EQ(m_run.GetShopCash(), 0);
    EXPECT_EQ(m_run.GetTutorialStep(), 0) << "buying it ends the hint";
    Click(668, 476);
    EXPECT_TRUE(m_run.GetStateWord() & kStateFadeOut);
}

TEST_F(BonusPlay, AHintedBonusAlreadyAtItsLimitEndsTheHintInsteadOfLockingTheShop)
{
    m_profile.AddBonus(3, 0.0f, 120, 1.0f, 3);
    WriteLevel("story3.lay", "\"TXT\" \"Bonuses\" \"BTN\" \"lit.img\" \"lit.img\" 400 500");
    WriteLevel("level4.lvl", "\"END\"");
    ASSERT_EQ(LoadText(Town(1) + Trade() + Bonus(3, 120, "0", "1", 700, 500) +
                       "\"LOR\" 0 \"STO\" \"story3.lay\" \"TUT\" 4 \"lit.img\" \"unlit.img\" "
                       "\"LVL\" \"level4.lvl\" \"END\""),
              kLoadOk);
    Run(1000);
    Click(400, 500);
    Run(800);
    ASSERT_TRUE(m_run.GetStateWord() & kStateShop);
    EXPECT_EQ(m_run.GetTutorialStep(), 0);
    Click(668, 476);
    EXPECT_TRUE(m_run.GetStateWord() & kStateFadeOut);
}

// The extra cargo slot has no button, so the bonus hint passes it over: owned
// or listed first, the hint goes to the first bonus that can be clicked.
TEST_F(BonusPlay, TheBonusHintPassesOverTheCargoSlotToABonusWithAButton)
{
    const std::string day = Town(1) + Trade() + Bonus(7, 100, "0", "1", 0, 0) + Bonus(0, 40, "2", "2", 700, 440) +
                            Bonus(3, 60, "0", "1", 700, 500) + "\"LOR\" 2 \"TUT\" 4 \"lit.img\" \"unlit.img\" \"END\"";
    auto own = [&](int slots, int speed, int reset) {
        m_run.Reset();
        m_profile.SetMatchingBonusCount(slots, GMLevelRun::kCapacityBonus, 0.0f, 100, 1.0f);
        m_profile.SetMatchingBonusCount(speed, 0, 2000.0f, 40, 2.0f);
        m_profile.SetMatchingBonusCount(reset, 3, 0.0f, 60, 1.0f);
        return LoadText(day);
    };
    for (int slots : {0, 2}) {
        SCOPED_TRACE(slots);
        ASSERT_EQ(own(slots, 0, 0), kLoadOk);
        EXPECT_EQ(m_run.GetVehicle()->GetCapacity(), 1 + slots);
        ASSERT_EQ(m_run.GetTutorialStep(), GMLevelRun::kBonusHintStep);
        float x = 0, y = 0;
        ASSERT_TRUE(m_run.FindHintTarget(&x, &y));
        EXPECT_FLOAT_EQ(x, 700.0f) << "the Speed Up button, not the slot's (0, 0)";
        EXPECT_FLOAT_EQ(y, 440.0f);
        EXPECT_EQ(BonusAt(1)->GetCount(), 1) << "one given to try";
        EXPECT_EQ(BonusAt(2)->GetCount(), 0);
        UntilPlay();
        Click(700, 440);
        EXPECT_TRUE(BonusAt(1)->IsRunning());
        EXPECT_EQ(m_run.GetTutorialStep(), 0) << "using it ends the hint: the day goes on";
    }
    // Owned units come first: the Time Reset the player has is the one shown.
    ASSERT_EQ(own(1, 0, 1), kLoadOk);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindHintTarget(&x, &y));
    EXPECT_FLOAT_EQ(y, 500.0f);
    EXPECT_EQ(BonusAt(1)->GetCount(), 0);
}

TEST_F(BonusPlay, RowsPastTheFifthShareItAndOneClickBuysOnlyOne)
{
    m_profile.SetMoney(1000);
    std::string bonuses;
    for (int kind = 0; kind < 7; ++kind)
        bonuses += Bonus(kind, 10, "1", "1", 700, 100 + 60 * kind);
    ASSERT_EQ(LoadText(Town(1) + Trade() + bonuses + "\"LOR\" 1 \"END\""), kLoadOk);
    OpenShop();
    ASSERT_EQ(m_run.GetBuyButtonCount(), 7);
    EXPECT_FLOAT_EQ(m_run.GetBuyButton(6)->GetY(), 400.0f);
    Buy(4);
    EXPECT_EQ(m_run.GetShopCash(), 990);
    EXPECT_EQ(m_profile.GetMatchingBonusCount(6, 1000.0f, 1.0f), 1) << "the one drawn on top";
    EXPECT_EQ(m_profile.GetMatchingBonusCount(4, 1000.0f, 1.0f), 0);
}
