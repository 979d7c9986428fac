// The day's drawing: the HUD's texts and formats, the rating bar, the combo
// box, the painter's order of the vehicle, and that a frame only draws.
#include "game/GMHud.h"
#include "LevelFixture.h"

#include "gfx/GMImageManager.h"
#include "world/GMMessage.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"
#include "world/GMRoadNodeObj.h"
#include "world/GMTransportObj.h"

#include <climits>
#include <cmath>

namespace {

bool Near(uint32_t pixel, uint32_t rgb, int tolerance = 2)
{
    return std::abs(Red(pixel) - int((rgb >> 16) & 0xFF)) <= tolerance &&
           std::abs(Green(pixel) - int((rgb >> 8) & 0xFF)) <= tolerance &&
           std::abs(Blue(pixel) - int(rgb & 0xFF)) <= tolerance;
}

::testing::AssertionResult PixelIs(uint32_t pixel, uint32_t rgb)
{
    if (Near(pixel, rgb))
        return ::testing::AssertionSuccess();
    char buf[64];
    std::snprintf(buf, sizeof buf, "pixel %06X, wanted %06X", pixel & 0xFFFFFF, rgb);
    return ::testing::AssertionFailure() << buf;
}

}  // namespace

TEST(HudTexts, MoneyTimeAndRatingWords)
{
    EXPECT_EQ(GMHud::Money(0), "$0");
    EXPECT_EQ(GMHud::Money(125), "$125");
    EXPECT_EQ(GMHud::Money(-40), "-$40");
    EXPECT_EQ(GMHud::Money(INT_MIN), "-$2147483648");

    EXPECT_EQ(GMHud::Time(125000.0f), "2:05");  // seconds padded, minutes not
    EXPECT_EQ(GMHud::Time(605999.0f), "10:05");
    EXPECT_EQ(GMHud::Time(59999.0f), "0:59");
    EXPECT_EQ(GMHud::Time(0.0f), "0:00");
    EXPECT_EQ(GMHud::Time(-5.0f), "0:00");

    EXPECT_STREQ(GMHud::RatingWord(1.0f), "excellent");
    EXPECT_STREQ(GMHud::RatingWord(5.0f / 6.0f), "excellent");
    EXPECT_STREQ(GMHud::RatingWord(0.7f), "good");
    EXPECT_STREQ(GMHud::RatingWord(0.5f), "good");
    EXPECT_STREQ(GMHud::RatingWord(0.34f), "not bad");
    EXPECT_STREQ(GMHud::RatingWord(0.2f), "poor");
    EXPECT_STREQ(GMHud::RatingWord(1.0f / 6.0f - 0.001f), "terrible");
    EXPECT_STREQ(GMHud::RatingWord(0.0f), "terrible");
    EXPECT_STREQ(GMHud::RatingWord(-3.0f), "terrible");
}

TEST(HudTexts, RatingSegmentsAndTheLowRatingPulse)
{
    EXPECT_EQ(GMHud::FullSegments(1.0f), 7);
    EXPECT_EQ(GMHud::FullSegments(0.5f), 3);
    EXPECT_EQ(GMHud::FullSegments(0.1f), 0);
    EXPECT_EQ(GMHud::FullSegments(-1.0f), 0);
    EXPECT_EQ(GMHud::FullSegments(1.5f), 7);

    EXPECT_EQ(GMHud::SegmentColor(0.23f, 100.0f), 0xFFFFFFFFu);
    EXPECT_EQ(GMHud::SegmentColor(0.5f, 0.0f), 0xFFFFFFFFu);
    // Pale at the start of each half second, deepest red half way.
    EXPECT_EQ(GMHud::SegmentColor(0.1f, 0.0f), 0xFFFF3F3Fu);      // v = trunc(63.5)
    EXPECT_EQ(GMHud::SegmentColor(0.1f, 125.0f), 0xFFFF9F9Fu);    // level 0.5: 159
    EXPECT_EQ(GMHud::SegmentColor(0.1f, 250.9f), 0xFFFFFFFFu);    // level 1: 255
    EXPECT_EQ(GMHud::SegmentColor(0.1f, 1375.0f), 0xFFFF9F9Fu);   // 375 into the cycle: 0.5 again
}

TEST(HudSleepMarks, RiseAndGo)
{
    GMHud hud;
    hud.StartSleepMark(100.0f, 200.0f, 1.0f);
    hud.Advance(2000.0f);  // progress 50 of 100
    ASSERT_EQ(hud.SleepMarks().size(), 1u);
    EXPECT_FLOAT_EQ(hud.SleepMarks()[0].progress, 50.0f);
    hud.Advance(2000.0f);  // exactly at the limit: still there
    EXPECT_EQ(hud.SleepMarks().size(), 1u);
    hud.Advance(1.0f);
    EXPECT_TRUE(hud.SleepMarks().empty());

    hud.StartTimeResetFlash();
    hud.Advance(500.0f);
    EXPECT_FLOAT_EQ(hud.GetTimeResetFlash(), 1500.0f);
    hud.Advance(5000.0f);
    EXPECT_FLOAT_EQ(hud.GetTimeResetFlash(), 0.0f);
}

class HudDrawTest : public LevelTest {
protected:
    void DrawFrame()
    {
        BeginFrame();
        m_run.Draw(m_device);
        ReadBack();
        EndFrame();
    }
};

TEST_F(HudDrawTest, ReportLinesOfAnOrdinaryDay)
{
    ASSERT_EQ(LoadText(Town() + Trade() + "\"LOR\" 2 \"LSC\" 10 \"END\"\n"), kLoadOk);
    m_run.AddMoney(-50, 20, 0);  // receipts -30, of which 20 extra
    GMHud::ReportLine lines[6];
    ASSERT_EQ(GMHud::ReportLines(m_run, lines), 6);
    EXPECT_EQ(lines[0].label, "Daily receipts:");
    EXPECT_EQ(lines[0].value, "-$50");
    EXPECT_EQ(lines[0].valueColor, 0xFFFF0000u);
    EXPECT_EQ(lines[1].value, "$20");
    EXPECT_EQ(lines[1].valueColor, 0xFFFBF42Au);
    EXPECT_EQ(lines[2].label, "Total receipts:");
    EXPECT_EQ(lines[2].value, "-$30");
    EXPECT_EQ(lines[2].valueColor, 0xFFFF0000u);  // the money target is missed
    EXPECT_EQ(lines[3].label, "Level time:");
    EXPECT_EQ(lines[3].value, "0:00");
    EXPECT_EQ(lines[4].label, "Level rating:");
    EXPECT_EQ(lines[5].label, "TOTAL SCORE:");
    EXPECT_EQ(lines[5].value, "0");  // never below 0
    EXPECT_EQ(lines[5].valueColor, 0xFFFF7800u);
    for (const auto& line : lines)
        EXPECT_EQ(line.labelColor, 0xFFFBF42Au) << line.label;

    // Money met, a used-up rating: the total is yellow, the rating word red.
    m_run.AddMoney(100, 0, 0);
    m_run.SetRating(0.0f);
    GMHud::ReportLines(m_run, lines);
    EXPECT_EQ(lines[0].value, "$50");
    EXPECT_EQ(lines[0].valueColor, 0xFFFBF42Au);
    EXPECT_EQ(lines[2].value, "$70");
    EXPECT_EQ(lines[2].valueColor, 0xFFFBF42Au);
    EXPECT_EQ(lines[4].value, "terrible");
    EXPECT_EQ(lines[4].valueColor, 0xFFFF0000u);
    m_run.SetRating(m_run.GetRatingMaximum());
    GMHud::ReportLines(m_run, lines);
    EXPECT_EQ(lines[4].value, "excellent");
    EXPECT_EQ(lines[4].valueColor, 0xFFFBF42Au);
}

TEST_F(HudDrawTest, ReportLinesOfTheMiniGame)
{
    // A course of length 0 is driven at once; a crash is in the mini-game's tests.
    WriteSolidTemplate("MGRangeBk", 1, 32, 16, 0xFF808080);
    WriteSolidTemplate("MGRange", 1, 32, 16, 0xFFFFFFFF);
    ASSERT_EQ(LoadText(Town() + "\"LVT\" 1 \"LOR\" 1 \"LSC\" 100 \"END\"\n"), kLoadOk);
    GMHud::ReportLine lines[6];
    ASSERT_EQ(GMHud::ReportLines(m_run, lines), 4);
    EXPECT_EQ(lines[0].label, "Special order");
    EXPECT_EQ(lines[0].labelColor, 0xFFFBF42Au);
    EXPECT_EQ(lines[1].label, "has been delivered");
    EXPECT_EQ(lines[2].label, "Extra pay:");
    EXPECT_EQ(lines[2].value, "$100");
}

TEST_F(HudDrawTest, RatingBarFillsCropsAndFlashes)
{
    WriteSolidTemplate("RatingBk", 1, 48, 24, 0xFF808080);
    WriteSolidTemplate("Rating", 1, 48, 24, 0xFFFFFFFF);
    WriteSolidTemplate("FlashRating", 1, 336, 24, 0xFFFFFFFF);
    ASSERT_EQ(LoadText(Town() + Trade() + "\"LOR\" 10 \"END\"\n"), kLoadOk);
    m_run.SetStateWord(0);
    auto segment = [](int i, int dx) { return 283 + 48 * i + dx; };

    // From the starting ratio to 1: seven segments gained, the flash lights the
    // bar. The frame sees the gain (drawn or not); the drawing only shows it.
    m_run.SetRating(m_run.GetRatingMaximum());
    DrawFrame();
    EXPECT_FALSE(PixelIs(Pixel(segment(6, 10), 545), 0xFFFFFF)) << "no frame has seen the gain yet";
    m_run.Frame(-500.0f, -500.0f, 0, 0.0f);
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(segment(6, 10), 545), 0xFFFFFF));
    // The countdown runs out in every state the bar is drawn in: after a
    // perfect day it goes on through the bonus game and the report, and the
    // bar shows its seven full segments, not a white block.
    m_run.SetStateWord(kStateReport | kStateReportDone);
    Run(2100.0f);
    DrawFrame();
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(PixelIs(Pixel(segment(i, 24), 545), 0xD3D93C)) << "segment " << i;
    m_run.SetStateWord(0);
    m_run.SetRating(m_run.GetRatingMaximum());

    // 3.5 segments: the fourth is cut in half; losing segments starts nothing.
    m_run.SetRating(m_run.GetRatingMaximum() * 0.5f);
    m_run.Frame(-500.0f, -500.0f, 0, 0.0f);
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(segment(2, 40), 545), 0xD3D93C));
    EXPECT_TRUE(PixelIs(Pixel(segment(3, 20), 545), 0xD3D93C));
    EXPECT_TRUE(PixelIs(Pixel(segment(3, 30), 545), 0x808080));
    EXPECT_TRUE(PixelIs(Pixel(segment(4, 10), 545), 0x808080));

    // One segment more lights the flash again.
    m_run.SetRating(m_run.GetRatingMaximum() * 0.6f);
    m_run.Frame(-500.0f, -500.0f, 0, 0.0f);
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(segment(6, 10), 545), 0xFFFFFF));
}

// Sleep marks, the time-reset flash and floating texts move on to their end
// once the day is over, in the report and in the shop, instead of freezing.
TEST_F(HudDrawTest, PicturesOfTheDayRunOutAfterItIsOver)
{
    ASSERT_EQ(LoadText(Town() + Trade() + "\"LOR\" 3 \"END\"\n"), kLoadOk);
    UntilPlay();
    for (uint32_t state : {kStateReport | kStateReportDone, static_cast<uint32_t>(kStateShop)}) {
        SCOPED_TRACE(state);
        m_run.Hud().StartSleepMark(300.0f, 300.0f, 0.0f);
        m_run.Hud().StartTimeResetFlash();
        m_run.AddFloatingText("$100", 400.0f, 300.0f, 3000.0f, 0xFDEB58, true, true, 0);
        m_run.SetStateWord(state);
        Run(1000.0f);
        EXPECT_EQ(m_run.GetStateWord(), state);
        EXPECT_LT(m_run.Hud().GetTimeResetFlash(), GMHud::kTimeResetFlashTime - 900.0f);
        ASSERT_EQ(m_run.GetFloatingTextCount(), 1u);
        EXPECT_LT(m_run.GetFloatingText(0)->GetTimeLeft(), 2100.0f);
        Run(3100.0f);
        EXPECT_TRUE(m_run.Hud().SleepMarks().empty());
        EXPECT_EQ(m_run.Hud().GetTimeResetFlash(), 0.0f);
        EXPECT_EQ(m_run.GetFloatingTextCount(), 0u);
    }
}

TEST_F(HudDrawTest, LowRatingPulsesRed)
{
    WriteSolidTemplate("RatingBk", 1, 48, 24, 0xFFFFFFFF);
    ASSERT_EQ(LoadText(Town() + Trade() + "\"LOR\" 10 \"END\"\n"), kLoadOk);
    UntilPlay();
    m_run.SetRating(m_run.GetRatingMaximum() * 0.1f);
    for (int i = 0; i < 8; ++i)  // 128 ms into the low rating: close to the deepest red
        m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    DrawFrame();
    uint32_t p = Pixel(283 + 48 * 6 + 20, 545);
    EXPECT_EQ(Red(p), 255);
    EXPECT_LT(Green(p), 200);
    EXPECT_EQ(Green(p), Blue(p));
}

TEST_F(HudDrawTest, ComboBoxOnlyWithCombos)
{
    WriteSolidTemplate("ComboBk", 1, 128, 64, 0xFFFF0000);
    ASSERT_EQ(LoadText(Town() + Trade() + "\"LOR\" 3 \"END\"\n"), kLoadOk);
    m_run.SetStateWord(0);
    DrawFrame();
    EXPECT_FALSE(PixelIs(Pixel(224, 567), 0xFF0000));
    EXPECT_LT(m_manager->FindTemplate("ComboBk.img"), 0);

    ASSERT_EQ(LoadText(Town() + Trade() + "\"LOR\" 3 \"CMB\" 10 20 30 2 3 4 \"END\"\n"), kLoadOk);
    m_run.SetStateWord(0);
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(224, 567), 0xFF0000));
    EXPECT_TRUE(PixelIs(Pixel(224 - 44, 567), 0xFF0000));  // 0.7 of 128 wide
    EXPECT_FALSE(PixelIs(Pixel(224 - 46, 567), 0xFF0000));
}

// A vehicle in cell (3, 5) of layer 1 among objects whose pictures reach
// over it: what was drawn before it lies under it, what comes after covers it.
TEST_F(HudDrawTest, VehicleDrawnAmongTheFieldObjectsByItsCell)
{
    WriteSolidTemplate("dot", 1, 4, 4, 0xFF808080);
    WriteSolidTemplate("van", 1, 30, 100, 0xFF0000FF);
    WriteSolidTemplate("tall", 1, 40, 360, 0xFFFF0000);   // layer 0, row 9
    WriteSolidTemplate("row4", 1, 40, 40, 0xFF00FFFF);    // layer 1, row 4
    WriteSolidTemplate("left", 1, 120, 40, 0xFF00FF00);   // layer 1, row 5, column 2
    WriteSolidTemplate("right", 1, 60, 40, 0xFFFFFF00);   // layer 1, row 5, column 4
    WriteSolidTemplate("below", 1, 10, 60, 0xFFFF00FF);   // layer 1, row 6
    const std::string level =
        "\"ORX\" 0 \"ORY\" 0 \"CLW\" 40 \"CLH\" 40 \"FLW\" 10 \"FLH\" 10 \"FLL\" 2\n"
        "\"RN\" \"dot.img\" 3 5 1\n"
        "\"BL\" \"tall.img\" 3 9 0 N\n"
        "\"BL\" \"row4.img\" 3 4 1 N\n"
        "\"BL\" \"left.img\" 2 5 1 N\n"
        "\"BL\" \"right.img\" 4 5 1 N\n"
        "\"BL\" \"below.img\" 3 6 1 N\n"
        "\"TR\" \"van.img\" \"van.img\" \"van.img\" \"van.img\" 3 5 1 10 1 R\n"
        "\"LOR\" 0 \"END\"\n";  // no house places orders: a day without any
    ASSERT_EQ(LoadText(level), kLoadOk);
    m_run.SetStateWord(0);
    DrawFrame();
    // The van stands from (125, 140) to (155, 240).
    EXPECT_TRUE(PixelIs(Pixel(128, 150), 0x0000FF)) << "after layer 0";
    EXPECT_TRUE(PixelIs(Pixel(128, 180), 0x0000FF)) << "after row 4";
    EXPECT_TRUE(PixelIs(Pixel(128, 230), 0x0000FF)) << "after column 2 of row 5";
    EXPECT_TRUE(PixelIs(Pixel(153, 230), 0xFFFF00)) << "before column 4 of row 5";
    EXPECT_TRUE(PixelIs(Pixel(140, 230), 0xFF00FF)) << "before row 6";
    EXPECT_TRUE(PixelIs(Pixel(110, 230), 0x00FF00));
}

// Roads are ground: a van mid-leg reaching into the next cell, driving right
// or down, is drawn over that cell's road piece.
TEST_F(HudDrawTest, RoadsLieUnderTheVanDrivingRightOrDown)
{
    // A house at the first node's door, so the day has someone to serve.
    const std::string level = "\"ORX\" 0 \"ORY\" 0 \"CLW\" 40 \"CLH\" 40 \"FLW\" 10 \"FLH\" 10 \"FLL\" 1\n"
                              "\"RN\" \"road.img\" 3 5 0\n\"RNR\" 4 5 0\n"
                              "\"RN\" \"road.img\" 4 5 0\n\"RNL\" 3 5 0\n\"RNB\" 4 6 0\n"
                              "\"RN\" \"road.img\" 4 6 0\n\"RNT\" 4 5 0\n"
                              "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 3 5 0 10 1 R\n"
                              "\"BL\" \"house.img\" 3 4 0 Y\n" + Trade() + "\"LOR\" 1 \"OTD\" 60 \"END\"\n";
    ASSERT_EQ(LoadText(level), kLoadOk);
    UntilPlay();
    GMTransportObj* van = m_run.GetVehicle();
    auto node = [&](int x, int y) { return static_cast<GMRoadNodeObj*>(m_run.Grid().Lookup(x, y, 0)); };
    float x = 0, y = 0;
    // Short frames until the van is past the mark on its axis, not yet in the next cell.
    auto driveTo = [&](GMRoadNodeObj* target, bool across, float mark) {
        ASSERT_EQ(van->GoTo(target), 0);
        for (int i = 0; i < 100 && van->GetPosition(&x, &y) && (across ? x : y) < mark; ++i)
            m_run.Frame(-500.0f, -500.0f, 0, 5.0f);
        ASSERT_GE(across ? x : y, mark);
        ASSERT_LT(across ? x : y, std::floor(mark) + 1.0f);
        DrawFrame();
    };
    driveTo(node(4, 5), true, 3.75f);
    // The van (30 px wide) stands centred on ((x + 0.5) * 40, 240): its front is in cell 4.
    const int front = static_cast<int>((x + 0.5f) * 40.0f) + 12;
    ASSERT_GE(front, 160);
    EXPECT_TRUE(PixelIs(Pixel(front, 232), 0x2020F0)) << "driving right";

    for (int i = 0; i < 100 && van->IsBusy(); ++i)
        m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    driveTo(node(4, 6), false, 5.7f);
    // The van's foot is at (y + 1) * 40, past the top of row 6 (y 240).
    const int foot = static_cast<int>((y + 1.0f) * 40.0f);
    ASSERT_GT(foot - 3, 240);
    EXPECT_TRUE(PixelIs(Pixel(180, foot - 3), 0x2020F0)) << "driving down";
}

// A house on the top row has its bubble pushed down onto the road; the job
// queue's mark on that road steps below the bubble's patience row.
TEST_F(HudDrawTest, TheQueueMarkLeavesThePatienceRowReadable)
{
    WriteSolidTemplate("mark", 1, 20, 20, 0xFFFF00FF);
    std::string town = Town();
    town.replace(town.find("\"ORY\" 100 \"CLW\" 40 \"CLH\" 40"), 31, "\"ORY\" -80 \"CLW\" 40 \"CLH\" 100");
    ASSERT_EQ(LoadText(town + Trade() + "\"TSM\" \"mark.img\" \"LOR\" 2 \"END\"\n"), kLoadOk);
    UntilPlay();
    for (int i = 0; i < 200 && m_run.Orders().GetCount() == 0; ++i)
        m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    Run(600.0f);  // grown in
    float ox = 0, oy = 0, gx = 0, gy = 0;
    ASSERT_TRUE(m_run.FindOpenOrder(1, &ox, &oy));
    ASSERT_TRUE(m_run.FindGoodsIcon(1, &gx, &gy));
    Click(gx, gy);
    m_run.Frame(ox, oy, 0, 16.0f);
    Click(ox, oy);
    ASSERT_EQ(m_run.Jobs().size(), 1u);
    m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    DrawFrame();
    const GMOrderObj* order = m_run.Jobs().front().order;
    const float rowTop = order->GetY() + order->GetScaledFrameHeight() / 2.0f;
    ASSERT_GT(order->GetPatienceRowBottom(), rowTop);
    // The mark's place on the road (its bottom at the cell's middle, y 70)
    // would cover the row; the third lit icon shows, the mark below it.
    ASSERT_LT(rowTop, 70.0f);
    const int x = static_cast<int>(order->GetX() - order->GetScaledFrameWidth() / 2.0f + 2.0f * 10.4f + 4.0f);
    EXPECT_TRUE(PixelIs(Pixel(x, static_cast<int>(rowTop) + 4), 0xFFFF00)) << "the patience row";
    EXPECT_TRUE(PixelIs(Pixel(static_cast<int>(order->GetX()), static_cast<int>(order->GetPatienceRowBottom()) + 8),
                        0xFF00FF))
        << "the mark under it";
}

// The goods are on their plates while the day fades in and shows its title,
// before any frame of play could grow them in.
TEST_F(HudDrawTest, GoodsWaitOnTheirPlatesWhenTheDayOpens)
{
    ASSERT_EQ(LoadText(Town() + Trade() + "\"LVN\" \"Go\" \"LOR\" 2 \"END\"\n"), kLoadOk);
    Run(500.0f);  // the fade is over, the title shows
    ASSERT_TRUE(m_run.GetStateWord() & kStateMessage);
    ASSERT_EQ(m_run.Icons().GetCount(), 2);
    for (int32_t c = -1; auto* icon = static_cast<GMQueryGoodsObj*>(m_run.Icons().GetNext(c));) {
        EXPECT_EQ(icon->GetScale(), 1.0f);
        EXPECT_EQ(icon->GetTransition(), GMQueryGoodsObj::kNoTransition);
    }
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(100, 500), 0x20F020)) << "the goods at (100, 500)";
}

TEST_F(HudDrawTest, DrawingCreatesAndLoadsNothing)
{
    WriteSolidTemplate("grass", 1, 64, 64, 0xFF20C020);
    ASSERT_EQ(LoadText(Town(3) + Trade() +
                       "\"BAK\" \"grass.img\" \"LOR\" 6 \"CMB\" 10 20 30 2 3 4 \"LVN\" \"Go\" \"END\"\n"),
              kLoadOk);
    DrawFrame();
    const int32_t templates = m_manager->GetTemplateCount();
    const int32_t surfaces = m_manager->GetSurfaceCount();
    for (int i = 0; i < 400; ++i) {
        m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
        DrawFrame();
    }
    EXPECT_EQ(m_manager->GetTemplateCount(), templates);
    EXPECT_EQ(m_manager->GetSurfaceCount(), surfaces);
    // The stretched background was made once for the day, and stays with its
    // picture: the same day loaded again draws it without making another.
    EXPECT_EQ(m_run.Hud().Backdrop().GetBuildCount(), 1u);
    ASSERT_EQ(LoadText(Town(3) + Trade() + "\"BAK\" \"grass.img\" \"LOR\" 6 \"LVN\" \"Again\" \"END\"\n"), kLoadOk);
    DrawFrame();
    EXPECT_EQ(m_run.Hud().Backdrop().GetBuildCount(), 1u);
}

TEST_F(HudDrawTest, BackgroundStretchedOverTheScreen)
{
    // Left half red, right half blue, a transparent bottom row: stretched to
    // 800 x 600 it splits the screen at x 400 and fades to black at the bottom.
    TestPicture picture(16, 16, 0xFFFF0000);
    for (int y = 0; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            picture.At(x, y) = 0xFF0000FF;
    for (int x = 0; x < 16; ++x)
        picture.At(x, 15) = 0x00FFFFFF;
    WritePng("split.png", picture);
    WriteText("split.img", "\"FR\" 1 \"split.png\"\n");
    ASSERT_EQ(LoadText(Town() + Trade() + "\"BAK\" \"split.img\" \"LOR\" 2 \"END\"\n"), kLoadOk);
    UntilPlay();
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(200, 60), 0xFF0000));
    EXPECT_TRUE(PixelIs(Pixel(600, 60), 0x0000FF));
    uint32_t seam = Pixel(400, 60);  // filtered: a blend of both sides
    EXPECT_GT(Red(seam), 40);
    EXPECT_GT(Blue(seam), 40);
    EXPECT_TRUE(PixelIs(Pixel(700, 598), 0x000000));

    // An animated background is stretched frame by frame instead.
    WriteSolidTemplate("waves", 2, 32, 32, 0xFF2080C0, "", true);
    const uint32_t builds = m_run.Hud().Backdrop().GetBuildCount();
    ASSERT_EQ(LoadText(Town() + Trade() + "\"BAK\" \"waves.img\" \"LOR\" 2 \"END\"\n"), kLoadOk);
    UntilPlay();
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(700, 60), 0x2080C0));
    EXPECT_EQ(m_run.Hud().Backdrop().GetBuildCount(), builds);
}

TEST_F(HudDrawTest, FadeCoversTheDayOnlyWhileItRuns)
{
    WriteSolidTemplate("grass", 1, 64, 64, 0xFF20C020);
    ASSERT_EQ(LoadText(Town() + Trade() + "\"BAK\" \"grass.img\" \"LOR\" 2 \"END\"\n"), kLoadOk);
    DrawFrame();  // FadeIn at alpha 255: black
    EXPECT_TRUE(PixelIs(Pixel(700, 20), 0x000000));
    UntilPlay();
    DrawFrame();
    EXPECT_TRUE(PixelIs(Pixel(700, 20), 0x20C020));
}
