// Golden pictures of a working day: a scripted day in a town of the
// generated data set, from a fixed seed, shot at fixed moments and compared
// pixel for pixel with the PNGs kept in tests/golden.
//
// On a mismatch the actual picture and a difference picture (changed pixels
// red over a dimmed copy of the golden one) are written to the build's
// golden-out directory and the test says where they differ. After an intended
// change of the art or the drawing, `make golden` (scripts/update-golden.sh)
// rewrites the golden files; look at them before committing.
#if defined(BRIMVALE_GOLDEN_DIR) && defined(BRIMVALE_GOLDEN_DATA_DIR)

#include "GoldenTown.h"
#include "LevelFixture.h"

#include "support/gfx/GoldenPicture.h"
#include "world/GMOrderObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <cmath>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class GoldenDayTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        // The generated data set, seen from the test's own directory.
        for (const auto& entry : fs::directory_iterator(BRIMVALE_GOLDEN_DATA_DIR)) {
            // The test writes its own days: a link would write through into the shipped ones.
            if (entry.path().extension() == ".lvl")
                continue;
            fs::path link = fs::current_path() / entry.path().filename();
            std::error_code ec;
            fs::remove_all(link, ec);
            fs::create_symlink(entry.path(), link, ec);
        }
        m_profile.AddBonus(0, 10000.0f, 100, 1.5f, 2);
        m_profile.AddBonus(7, 0.0f, 150, 1.0f, 2);  // three goods per pick-up
    }

    void Shot(const std::string& name)
    {
        BeginFrame();
        m_run.Draw(m_device);
        ReadBack();
        EndFrame();
        const std::string golden = std::string(BRIMVALE_GOLDEN_DIR) + "/" + name + ".png";
        const std::string failure =
            CompareWithGolden(golden, name, m_pixels.data(), m_width, m_height, BRIMVALE_GOLDEN_OUT_DIR);
        if (!failure.empty())
            ADD_FAILURE() << failure;
    }

    // Frames as the game runs them: each one updated, then drawn (the drawing
    // keeps the rating bar's memory and clears the route marks).
    void Frames(int count, float x = -500.0f, float y = -500.0f, uint32_t buttons = 0)
    {
        for (int i = 0; i < count; ++i) {
            m_run.Frame(x, y, buttons, 16.0f);
            BeginFrame();
            m_run.Draw(m_device);
            EndFrame();
        }
    }
    void Click(float x, float y, uint32_t buttons = 1) { Frames(1, x, y, buttons); }
};

const char* const kCustomers =
    "\"CUS\" \"Town\\People\\AnnaI.img\" \"Town\\People\\AnnaH.img\" 0 60 1 1 1\n"
    "\"CUS\" \"Town\\People\\BenI.img\" \"Town\\People\\BenH.img\" 0 60 1 1 1\n"
    "\"CUS\" \"Town\\People\\GrandmaI.img\" \"Town\\People\\GrandmaH.img\" 0 60 1 1 1\n"
    "\"CUS\" \"Town\\People\\OmarI.img\" \"Town\\People\\OmarH.img\" 0 60 1 1 1\n";

// A bonus kind of the town, as its level-file line: pictures named after it.
std::string BonusLine(const std::string& name, int kind, int price, const char* seconds, const char* value,
                      int x, int y)
{
    const std::string stem = "\"Town\\Bonus\\" + name;
    return "\"BON\" " + stem + "I.img\" " + stem + "H.img\" " + stem + "Shop.img\" " + std::to_string(kind) + " " +
           std::to_string(price) + " " + seconds + " " + value + " " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

}  // namespace

TEST_F(GoldenDayTest, AWorkingDayFromTheTitleToTheReport)
{
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, "\"LOR\" 6 \"LSC\" 100 \"OSG\" 5 \"OTD\" 0.5 \"OTM\" 1.2 \"OTI\" 0.8 "
                                              "\"CMB\" 10 20 30 2 3 4 \"LVN\" \"M%75zONDAY%100z M%75zORNING\"\n"),
                       "level1.lvl"),
              kLoadOk)
        << (m_notes.failure.empty() ? "" : m_notes.failure);
    EXPECT_TRUE(m_notes.refused.empty()) << m_notes.refused.front();

    // The title over the town, once the fade has gone.
    Frames(40);
    ASSERT_TRUE(m_run.GetStateWord() & kStateMessage);
    Shot("day-title");

    // Four orders waiting; one delivered already, so a combo runs.
    UntilPlay();
    for (int i = 0; i < 2000 && m_run.Orders().GetCount() < 1; ++i)
        Frames(1);
    float ix = 0, iy = 0;
    int32_t c = -1;
    auto* first = static_cast<GMOrderObj*>(m_run.Orders().GetNext(c));
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(m_run.FindGoodsIcon(first->GetGoodsNumber(), &ix, &iy));
    Click(ix, iy);
    Frames(30, first->GetX(), first->GetY());
    Click(first->GetX(), first->GetY());
    Frames(2);
    Click(-500.0f, -500.0f, 2);  // let the other two pick-ups go
    for (int i = 0; i < 3000 && !(m_run.Orders().GetCount() >= 4 && m_run.GetDelivered() >= 1); ++i)
        Frames(1);
    ASSERT_GE(m_run.GetDelivered(), 1);
    Frames(130);  // past the rating bar's flash
    Shot("day-orders");

    // Goods picked up for three orders, held over one of them; the van has a job.
    c = -1;
    GMOrderObj* target = nullptr;
    for (GMObject* o; (o = static_cast<GMObject*>(m_run.Orders().GetNext(c)));) {
        auto* order = static_cast<GMOrderObj*>(o);
        if (!order->IsTaken())
            target = order;
    }
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(m_run.FindGoodsIcon(target->GetGoodsNumber(), &ix, &iy));
    Click(ix, iy);
    Frames(20, (ix + target->GetX()) / 2.0f, (iy + target->GetY()) / 2.0f);
    Frames(10, target->GetX(), target->GetY());
    EXPECT_EQ(m_run.GetRemainingAssignments(), 3);
    Shot("day-held");

    // The end of the day: the report zooming in, then complete.
    Click(target->GetX(), target->GetY());
    m_run.EndTheDay();
    for (int i = 0; i < 1000 && !(m_run.GetStateWord() & kStateReport); ++i)
        Frames(1);
    for (int i = 0; i < 1000 && (m_run.GetStateWord() & kStateMessage); ++i)
        Frames(1);
    Frames(5);  // 80 ms of the 150 ms zoom
    Shot("report-zooming");
    // The lines come one by one; a click shows the rest.
    for (int i = 0; i < 1000 && m_run.GetReportLines() < 3; ++i)
        Frames(1);
    Shot("report-lines");
    Click(-500.0f, -500.0f);
    Frames(2, 449.0f, 506.0f);  // over the continue button
    ASSERT_TRUE(m_run.GetStateWord() & kStateReportDone);
    Shot("report-done");
}

TEST_F(GoldenDayTest, AFailedDay)
{
    const char* impatient = "\"CUS\" \"Town\\People\\GrandpaI.img\" \"Town\\People\\GrandpaH.img\" 0 4 1 1 1\n";
    ASSERT_EQ(LoadText(golden::GoldenTown(impatient, "\"LOR\" 3 \"LSC\" 60 \"OTD\" 0.2 \"OTM\" 1 \"OTI\" 0\n"), "level2.lvl"),
              kLoadOk);
    for (int i = 0; i < 3000 && !(m_run.GetStateWord() & kStateReport); ++i)
        Frames(1);
    ASSERT_TRUE(m_run.GetStateWord() & kStateMessage);
    Frames(30);
    Shot("failed-message");
    for (int i = 0; i < 1000 && (m_run.GetStateWord() & kStateMessage); ++i)
        Frames(1);
    Frames(30);
    Click(-500.0f, -500.0f);
    Frames(1);
    Shot("failed-report");
}


// Bonuses: Time Delay in its last seconds (blinking, sleep marks rising)
// while Speed Up drives the van with its trail; then the shop after the
// report, one bonus bought, the pointer on a row and one row too dear.
TEST_F(GoldenDayTest, ARunningBonusAndTheBonusShop)
{
    m_profile.AddBonus(1, 10000.0f, 150, 2.0f, 1);
    const std::string bonuses = BonusLine("TimeDelay", 1, 150, "10", "2", 762, 194) +
                                BonusLine("TimeReset", 3, 100, "0", "1", 762, 256) +
                                BonusLine("Capacity", 7, 150, "0", "1", 0, 0) +
                                BonusLine("SupplyAll", 4, 90000, "0", "1", 762, 318);
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, bonuses + "\"LOR\" 6 \"LSC\" 100 \"OSG\" 5 \"OTD\" 0.5 "
                                                                "\"OTM\" 1.2 \"OTI\" 0.8\n"),
                       "level3.lvl"),
              kLoadOk)
        << m_notes.failure;
    UntilPlay();
    for (int i = 0; i < 2000 && m_run.Orders().GetCount() < 3; ++i)
        Frames(1);
    Click(762.0f, 194.0f);  // Time Delay: 10 s
    ASSERT_TRUE(m_run.GetBonus(1)->IsRunning());
    Frames(300);
    Click(762.0f, 132.0f);  // Speed Up, one more left under it
    int32_t c = -1;
    auto* first = static_cast<GMOrderObj*>(m_run.Orders().GetNext(c));
    ASSERT_NE(first, nullptr);
    float ix = 0, iy = 0;
    ASSERT_TRUE(m_run.FindGoodsIcon(first->GetGoodsNumber(), &ix, &iy));
    Click(ix, iy);
    Click(first->GetX(), first->GetY());
    Click(-500.0f, -500.0f, 2);
    Frames(24);
    ASSERT_LT(m_run.GetBonus(1)->GetTimeLeft(), 5000.0f);
    ASSERT_FALSE(m_run.Hud().SleepMarks().empty());
    Shot("bonus-running");

    m_run.EndTheDay();
    for (int i = 0; i < 1000 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Frames(1);
    Click(449.0f, 506.0f);
    Frames(30);
    ASSERT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateShop));
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindButton("buy2", &x, &y));
    Click(x, y);  // one Time Reset
    ASSERT_TRUE(m_run.FindButton("buy1", &x, &y));
    Frames(2, x + 60.0f, y);
    Shot("shop");
}

// The van mid-leg, just short of the next road piece: driving right along the
// lower street and down the lane it is drawn whole over the road; with Speed Up
// its trail lies behind it and the van keeps its colours.
TEST_F(GoldenDayTest, TheVanOnItsWayAndItsSpeedUpTrail)
{
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, "\"LOR\" 2 \"OTD\" 60\n"), "level4.lvl"), kLoadOk)
        << m_notes.failure;
    UntilPlay();
    GMTransportObj* van = m_run.GetVehicle();
    ASSERT_NE(van, nullptr);
    auto node = [&](int x, int y) { return static_cast<GMRoadNodeObj*>(m_run.Grid().Lookup(x, y, 0)); };
    // Frames until the van's position passes the mark on its axis.
    auto driveTo = [&](bool horizontal, float mark) {
        float x = 0, y = 0;
        for (int i = 0; i < 2000 && van->GetPosition(&x, &y) && (horizontal ? x : y) < mark; ++i)
            Frames(1);
        ASSERT_TRUE(van->GetPosition(&x, &y));
        EXPECT_GE(horizontal ? x : y, mark);
        EXPECT_LT(horizontal ? x : y, std::floor(mark) + 1.0f) << "still short of the next cell";
    };

    ASSERT_EQ(van->GoTo(node(14, 9)), 0);
    driveTo(true, 11.9f);
    Shot("van-driving-right");

    ASSERT_EQ(van->GoTo(node(9, 4)), 0);
    for (int i = 0; i < 2000 && van->IsBusy(); ++i)
        Frames(1);
    ASSERT_EQ(van->GoTo(node(9, 9)), 0);
    driveTo(false, 6.9f);
    Shot("van-driving-down");

    // Speed Up, and the van drives left along the lower street: the trail
    // follows it from the right, over the road and under the van.
    for (int i = 0; i < 2000 && van->IsBusy(); ++i)
        Frames(1);
    Click(762.0f, 132.0f);
    ASSERT_TRUE(m_run.GetBonus(0)->IsRunning());
    ASSERT_EQ(van->GoTo(node(5, 9)), 0);
    float x = 0, y = 0;
    for (int i = 0; i < 2000 && van->GetPosition(&x, &y) && x > 6.6f; ++i)
        Frames(1);
    Shot("speed-up-trail");
}

// The longest title the days ship with, shrunk into its banner.
TEST_F(GoldenDayTest, TheLongestTitleInItsBanner)
{
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, "\"LOR\" 2 \"OTD\" 60 \"LVN\" \"Wednesday: on the evening news\"\n"),
                       "level8.lvl"),
              kLoadOk);
    Frames(40);
    ASSERT_TRUE(m_run.GetStateWord() & kStateMessage);
    Shot("title-longest");
}

// A shop of five rows with Capacity last and four of it owned: the marks, the
// money box and the description of the row under the pointer keep apart.
TEST_F(GoldenDayTest, TheFiveRowShopWithCapacityOwned)
{
    m_profile.SetMatchingBonusCount(4, 7, 0.0f, 150, 1.0f);
    const std::string bonuses = BonusLine("TimeDelay", 1, 150, "10", "2", 762, 194) +
                                BonusLine("TimeReset", 3, 100, "0", "1", 762, 256) +
                                BonusLine("SupplyAll", 4, 90000, "0", "1", 762, 318) +
                                BonusLine("Capacity", 7, 150, "0", "1", 0, 0);
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, bonuses + "\"LOR\" 2 \"OTD\" 60\n"), "level9.lvl"),
              kLoadOk)
        << m_notes.failure;
    UntilPlay();
    m_run.EndTheDay();
    for (int i = 0; i < 1000 && !(m_run.GetStateWord() & kStateReportDone); ++i)
        Frames(1);
    Click(449.0f, 506.0f);
    Frames(30);
    ASSERT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateShop));
    ASSERT_EQ(m_run.GetBuyButtonCount(), 5);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindButton("buy2", &x, &y));  // Time Reset: the longest description
    Frames(2, x + 60.0f, y);
    Shot("shop-five-rows");
}

// Show orders: the number of waiting orders on each goods at its shop; then
// Who is next: the glow and the pointer at the order that runs out first.
TEST_F(GoldenDayTest, ShowOrdersAndWhoIsNext)
{
    m_profile.AddBonus(5, 2000.0f, 80, 1.0f, 1);
    m_profile.AddBonus(6, 10000.0f, 90, 1.0f, 1);
    const std::string bonuses =
        "\"BON\" \"Town\\Bonus\\ShowOrdersI.img\" \"Town\\Bonus\\ShowOrdersH.img\" "
        "\"Town\\Bonus\\ShowOrdersShop.img\" 5 80 2 1 762 194\n"
        "\"BON\" \"Town\\Bonus\\WhoIsNextI.img\" \"Town\\Bonus\\WhoIsNextH.img\" "
        "\"Town\\Bonus\\WhoIsNextShop.img\" 6 90 10 1 762 256\n";
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, bonuses + "\"LOR\" 8 \"LSC\" 100 \"OSG\" 5 \"OTD\" 0.5 "
                                                                "\"OTM\" 1.2 \"OTI\" 0.8\n"),
                       "level3.lvl"),
              kLoadOk)
        << m_notes.failure;
    UntilPlay();
    for (int i = 0; i < 3000 && m_run.Orders().GetCount() < 4; ++i)
        Frames(1);
    Frames(30);
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindBonusButton(5, &x, &y));
    Click(x, y);
    ASSERT_TRUE(m_run.GetBonus(1)->IsRunning());
    Frames(10);
    Shot("bonus-show-orders");
    Frames(130);  // Show orders is over
    ASSERT_FALSE(m_run.GetBonus(1)->IsRunning());
    ASSERT_TRUE(m_run.FindBonusButton(6, &x, &y));
    Click(x, y);
    ASSERT_TRUE(m_run.GetBonus(2)->IsRunning());
    Frames(20);
    Shot("bonus-who-is-next");
}

// The bonus game of a perfect day: the announcement, then UFOs crossing the
// town, one of them just hit and fading under its "$100".
TEST_F(GoldenDayTest, TheUfoBonusGame)
{
    ASSERT_EQ(LoadText(golden::GoldenTown(kCustomers, "\"LOR\" 1 \"LSC\" 10 \"OTD\" 0.2\n"), "level3.lvl"),
              kLoadOk)
        << m_notes.failure;
    UntilPlay();
    for (int i = 0; i < 1000 && m_run.Orders().GetCount() < 1; ++i)
        Frames(1);
    Frames(20);
    ASSERT_EQ(m_run.Orders().GetCount(), 1);
    m_run.CompleteOrder(static_cast<GMOrderObj*>(m_run.Orders().GetAt(0)), m_run.GetVehicle(), true);
    for (int i = 0; i < 100 && !(m_run.GetStateWord() & kStateUfoGame); ++i)
        Frames(1);
    ASSERT_EQ(m_run.GetStateWord(), kStateUfoGame | kStateMessage);
    Frames(30);
    Shot("ufo-message");
    for (int i = 0; i < 1000 && (m_run.GetStateWord() & kStateMessage); ++i)
        Frames(1);
    float x = 0, y = 0;
    for (int i = 0; i < 2000 && !m_run.FindUfo(3, &x, &y); ++i)
        Frames(1);
    ASSERT_TRUE(m_run.FindUfo(1, &x, &y));
    Click(x, y);
    ASSERT_EQ(m_run.UfoGame().HitCount(), 1);
    Frames(8, x, y);  // half-way through its fade, the pointer still there
    Shot("ufo-game");
}

// The driving mini-game on the generated road: the course in traffic with the
// chosen lane shaded, then the report of a crash.
TEST_F(GoldenDayTest, TheMiniGameCourseAndItsReport)
{
    std::string t = "\"ORX\" -22 \"ORY\" -22 \"CLW\" 45 \"CLH\" 45 \"FLW\" 18 \"FLH\" 14 \"FLL\" 1\n"
                    "\"BAK\" \"MiniGame\\Road.img\"\n";
    for (int x = 6; x <= 10; ++x)
        t += "\"RN\" \"MiniGame\\Lane.img\" " + std::to_string(x) + " 11 0\n";
    t += "\"TR\" \"Town\\Vehicle\\VanLeft.img\" \"Town\\Vehicle\\VanUp.img\" \"Town\\Vehicle\\VanRight.img\" "
         "\"Town\\Vehicle\\VanDown.img\" 8 11 0 4 1 T\n"
         "\"LVT\" 1 \"LOR\" 1 \"LSC\" 150 \"LTM\" 6 \"OTD\" 0\n\"END\"\n";
    ASSERT_EQ(LoadText(t, "level5.lvl"), kLoadOk) << m_notes.failure;
    UntilPlay();
    float x = 0, y = 0;
    ASSERT_TRUE(m_run.FindLaneButton(7, &x, &y));
    Click(x, y);
    Frames(60, x, y);  // the pointer stays on the lit button
    Shot("minigame-course");
    for (int i = 0; i < 3000 && !(m_run.GetStateWord() & kStateReport); ++i)
        Frames(1);
    ASSERT_TRUE(m_run.MiniGame().IsCrashed());
    for (int i = 0; i < 1000 && (m_run.GetStateWord() & kStateMessage); ++i)
        Frames(1);
    Frames(30);
    Click(-500.0f, -500.0f);
    Frames(2, 449.0f, 506.0f);
    Shot("minigame-crash-report");
}

#endif
