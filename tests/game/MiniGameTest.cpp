// The driving mini-game on a road the tests write: five lanes (columns 2 to
// 6) in row 12 of 40-pixel cells from the origin (0, 0), the van in lane 4.
#include "CourseWay.h"
#include "LevelFixture.h"

#include "platform/AudioDevice.h"
#include "sound/GMSoundSystem.h"
#include "world/GMDecorateObj.h"
#include "world/GMInteractiveObj.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

namespace {

class MiniGameTest : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        WriteSolidTemplate("van", 1, 30, 40, 0xFF2020F0);
        WriteSolidTemplate("tcar", 2, 30, 60, 0xFFF02020);
        WriteSolidTemplate("road", 1, 40, 40, 0xFF808080);
        for (const char* name : {"MGRangeBk", "RoadLineBtnI", "RoadLineBtnH"})
            WriteSolidTemplate(name, 1, 36, 20, 0xFF40A040);
        WriteSolidTemplate("MGRange", 1, 36, 20, 0xFFE0E040);
        WriteSolidTemplate("arrow", 1, 20, 20, 0xFFFFFF00);
        WriteText("cars.lst", "Traffic:\n\"tcar.img\" and \"tcar.img\"\n");
    }

    // speed in rows per second as the level file gives it (0: the default).
    static std::string Course(float seconds, float delay = 0.5f, const std::string& extra = "", float speed = 4.0f)
    {
        std::string t = "\"ORX\" 0 \"ORY\" 0 \"CLW\" 40 \"CLH\" 40 \"FLW\" 10 \"FLH\" 15 \"FLL\" 1\n";
        for (int x = 2; x <= 6; ++x)
            t += "\"RN\" \"road.img\" " + std::to_string(x) + " 12 0\n";
        t += "\"TR\" \"van.img\" \"van.img\" \"van.img\" \"van.img\" 4 12 0 " + std::to_string(speed) + " 1 T\n";
        t += "\"LVT\" 1 \"LOR\" 1 \"LSC\" 150 \"LST\" 5 \"LTM\" " + std::to_string(seconds) + " \"OTD\" " +
             std::to_string(delay) + "\n" + extra + "\"END\"\n";
        return t;
    }

    const GMMiniGame& Game() const { return m_run.MiniGame(); }

    // Clicks the button of a lane (the pointer rests on it for a frame first,
    // as a player's would).
    void ClickLane(int32_t lane)
    {
        float x = 0, y = 0;
        ASSERT_TRUE(Game().FindLaneButton(lane, &x, &y)) << lane;
        m_run.Frame(x, y, 0, 16.0f);
        m_run.Frame(x, y, 1, 16.0f);
    }

    // Runs frames until the report begins; false when it never does.
    bool UntilReport(int frames = 5000)
    {
        for (int i = 0; i < frames; ++i) {
            if (m_run.GetStateWord() & kStateReport)
                return true;
            m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
        }
        return false;
    }
};

TEST_F(MiniGameTest, SetUpMakesLaneButtonsFromTheRoadOfTheVehiclesRow)
{
    ASSERT_EQ(LoadText(Course(2.0f)), kLoadOk) << m_notes.failure;
    const auto& buttons = Game().LaneButtons();
    ASSERT_EQ(buttons.size(), 5u);
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(GMMiniGame::LaneOf(buttons[i]), static_cast<int32_t>(i) + 2);
        EXPECT_FLOAT_EQ(buttons[i]->GetX(), (i + 2 + 0.5f) * 40.0f);
        EXPECT_FLOAT_EQ(buttons[i]->GetY(), 560.0f);
    }
    EXPECT_FLOAT_EQ(Game().GetLanePosition(), 4.0f);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 4.0f);
    EXPECT_FLOAT_EQ(Game().GetVehicleRow(), 12.0f);
    // The van's stated size is its size on the road.
    EXPECT_FLOAT_EQ(Game().GetVehicleWidth(), 30.0f);
    EXPECT_FLOAT_EQ(Game().GetVehicleHeight(), 40.0f);
    // The progress starts at the course length; one order keeps the day going.
    EXPECT_FLOAT_EQ(m_run.GetRatingValue(), 2000.0f);
    EXPECT_EQ(m_run.GetOrdersLeft(), 1);
    EXPECT_EQ(Game().CarList().size(), 2u);
    EXPECT_FALSE(Game().Cars().empty());
}

TEST_F(MiniGameTest, AMissingProgressBarFailsTheLoad)
{
    std::filesystem::remove("MGRange.img");
    EXPECT_EQ(LoadText(Course(2.0f)), kLoadFailed);
    EXPECT_NE(m_notes.failure.find("MGRange"), std::string::npos) << m_notes.failure;
}

TEST_F(MiniGameTest, TrafficAlwaysLeavesAWayThroughAndNeverTwoCarsInALaneCloserThanTheVan)
{
    // Roads of two to five lanes; the van starts in the third column of the
    // road (or its second, on two lanes).
    size_t total = 0;
    for (int32_t width : {2, 3, 5}) {
        std::string course = Course(20.0f);
        if (width < 5) {
            for (int x = 2 + width; x <= 6; ++x) {
                const std::string cell = "\"RN\" \"road.img\" " + std::to_string(x) + " 12 0\n";
                course.erase(course.find(cell), cell.size());
            }
            if (width == 2) {
                const std::string at = "\"van.img\" 4 12";
                course.replace(course.find(at), at.size(), "\"van.img\" 3 12");
            }
        }
        std::vector<int32_t> lanes;
        for (int32_t x = 2; x < 2 + width; ++x)
            lanes.push_back(x);
        for (uint32_t seed = 1; seed <= 80; ++seed) {
            SCOPED_TRACE(testing::Message() << width << " lanes, seed " << seed);
            m_run.FixSeed(seed);
            ASSERT_EQ(LoadText(course), kLoadOk) << m_notes.failure;
            const auto& cars = Game().Cars();
            std::map<int32_t, float> lastTop;
            for (const auto& car : cars) {
                const GMMiniGame::Box box = GMMiniGame::CarBox(car.obj);
                EXPECT_FLOAT_EQ(car.obj->GetX(), (car.lane + 0.5f) * 40.0f);
                ASSERT_TRUE(std::find(lanes.begin(), lanes.end(), car.lane) != lanes.end()) << car.lane;
                // Ahead of the van, no further than half the course.
                EXPECT_LE(car.obj->GetY(), 520.0f - 3.5f * 40.0f + 0.01f);
                EXPECT_GE(car.obj->GetY(), 520.0f - 10000.0f - 60.0f - 1.75f * 40.0f);
                // Made going up the road: the one before in its lane is lower down.
                if (lastTop.count(car.lane)) {
                    EXPECT_GE(lastTop[car.lane] - (box.top + box.height), 40.0f - 0.01f) << "too close in its lane";
                }
                lastTop[car.lane] = box.top;
            }
            const float start = Game().GetChosenLane();
            ASSERT_TRUE(WayThrough(cars, lanes, static_cast<int32_t>(start), 520.0f, 40.0f, 40.0f / 4.0f))
                << "every lane closed somewhere";
            total += cars.size();
        }
    }
    EXPECT_GT(total, 80u * 3u * 30u) << "hardly any traffic";
}

TEST_F(MiniGameTest, ALongCourseOfMissingCarPicturesLoadsAtOnceWithoutTraffic)
{
    // Each missing picture is tried once, not once a row; the course length
    // is bounded.
    WriteText("cars.lst", "\"gone1.img\" \"gone2.img\" \"gone1.img\"\n");
    ASSERT_EQ(LoadText(Course(1e7f)), kLoadOk);
    EXPECT_TRUE(Game().Cars().empty());
    EXPECT_TRUE(Game().CarList().empty());
    EXPECT_FLOAT_EQ(m_run.GetRatingValue(), GMMiniGame::kMaxCourse);
    // With one picture that loads among them, traffic up to the bound.
    WriteText("cars.lst", "\"gone1.img\" \"tcar.img\"\n");
    ASSERT_EQ(LoadText(Course(1e7f)), kLoadOk);
    EXPECT_EQ(Game().CarList().size(), 1u);
    EXPECT_GT(Game().Cars().size(), 1000u);
    EXPECT_LE(Game().Cars().size(), GMMiniGame::kMaxCars);
    EXPECT_GE(Game().Cars().back().obj->GetY(), 520.0f - GMMiniGame::kMaxCourse / 2.0f - 200.0f);
}

TEST_F(MiniGameTest, NothingMovesBeforeTheStartDelayButLaneClicksStillChoose)
{
    ASSERT_EQ(LoadText(Course(5.0f, 2.0f)), kLoadOk);
    UntilPlay();
    std::vector<float> carsBefore;
    for (const auto& car : Game().Cars())
        carsBefore.push_back(car.obj->GetY());
    ClickLane(2);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 2.0f);
    Run(1000);
    EXPECT_LT(m_run.GetElapsed(), 2000.0f);
    EXPECT_FLOAT_EQ(Game().GetTravelled(), 0.0f);
    EXPECT_FLOAT_EQ(Game().GetLanePosition(), 4.0f);  // the change waits for the start too
    for (size_t i = 0; i < carsBefore.size(); ++i)
        EXPECT_FLOAT_EQ(Game().Cars()[i].obj->GetY(), carsBefore[i]);
    // Past the delay: the van drives and turns at twice its step.
    Run(1100);
    EXPECT_LT(Game().GetTravelled(), 0.0f);
    EXPECT_LT(Game().GetLanePosition(), 4.0f);
    const float travelled = Game().GetTravelled();
    const float lane = Game().GetLanePosition();
    const float carY = Game().Cars()[0].obj->GetY();
    m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    const float step = 0.004f * 16.0f;
    EXPECT_NEAR(Game().GetTravelled(), travelled - step * 40.0f, 1e-3);
    EXPECT_NEAR(Game().GetLanePosition(), std::fmax(lane - 2.0f * step, 2.0f), 1e-4);
    EXPECT_NEAR(Game().Cars()[0].obj->GetY(), carY + step * 40.0f / 2.0f, 1e-3);  // half the van's speed
}

TEST_F(MiniGameTest, AClickOnTheCurrentLaneDoesNothingAndPlaysNothing)
{
#ifdef BRIMVALE_GOLDEN_DATA_DIR
    // The generated sounds of the mini-game over a device that only mixes when asked.
    std::filesystem::create_directory("sfx");
    for (const char* name : {"MGTurn.ogg", "MGBtnHover.ogg", "MGMotor.ogg"})
        std::filesystem::copy_file(std::string(BRIMVALE_GOLDEN_DATA_DIR) + "/sfx/" + name, std::string("sfx/") + name);
    GMSoundSystem sound;
    ASSERT_EQ(sound.UseDevice(AudioDevice::OpenManual(44100, 2)), 0);
    WriteLevel("level3.lvl", Course(5.0f, 0.0f));
    ASSERT_EQ(m_run.LoadLevel("level3.lvl", m_manager.get(), m_device, &sound, nullptr, &m_notes), kLoadOk);
    UntilPlay();
    GMSoundEntry* turn = sound.FindEntry("sfx\\MGTurn.ogg");
    ASSERT_NE(turn, nullptr);
    float x = 0, y = 0;
    ASSERT_TRUE(Game().FindLaneButton(4, &x, &y));
    m_run.Frame(x, y, 0, 16.0f);
    EXPECT_TRUE(sound.FindEntry("sfx\\MGBtnHover.ogg")->buffer->IsPlaying());  // the hover
    m_run.Frame(x, y, 1, 16.0f);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 4.0f);
    EXPECT_FALSE(turn->buffer->IsPlaying());
    ClickLane(5);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 5.0f);
    EXPECT_TRUE(turn->buffer->IsPlaying());
    m_run.Reset();
#else
    GTEST_SKIP() << "needs the generated sounds";
#endif
}

TEST_F(MiniGameTest, AClickOnTheLaneItIsStillInWhileTurningAwayIsIgnored)
{
    ASSERT_EQ(LoadText(Course(5.0f, 0.0f)), kLoadOk);
    UntilPlay();
    ClickLane(4);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 4.0f);
    ClickLane(6);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 6.0f);
    // Half-way to 5 the van is still in lane 4 (truncated): 4 cannot be chosen, 3 can.
    ASSERT_LT(Game().GetLanePosition(), 5.0f);
    ClickLane(4);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 6.0f);
    ClickLane(3);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 3.0f);
}

TEST_F(MiniGameTest, ACourseOfLengthZeroFinishesAtOnce)
{
    ASSERT_EQ(LoadText(Course(0.0f, 5.0f)), kLoadOk);
    EXPECT_EQ(m_run.GetOrdersLeft(), 0);
    ASSERT_TRUE(UntilReport());
    EXPECT_LE(m_run.GetElapsed(), 16.0f);  // the first frame of play, long before the start delay
    EXPECT_EQ(m_run.GetBigMessageText(), "EXCELLENT!");
    EXPECT_EQ(m_run.GetReceipts(), 150);
    EXPECT_EQ(m_run.GetRatingPoints(), 5);
    EXPECT_TRUE(Game().Cars().empty());
}

TEST_F(MiniGameTest, ACoursesPayIsKeptForTheShopOfALaterDay)
{
    // No shop follows a course, so nothing is spent: the pay joins the money
    // the player had, saved for the next shop.
    WriteLevel("level4.lvl", Course(1.0f));
    m_profile.SetMoney(40);
    ASSERT_EQ(LoadText(Course(0.0f, 0.0f, "\"LVL\" \"level4.lvl\"\n")), kLoadOk);
    ASSERT_TRUE(UntilReport());
    EXPECT_EQ(m_run.GetReceipts(), 150);
    Run(3000);
    Click(-500.0f, -500.0f);
    ASSERT_TRUE(m_run.GetStateWord() & kStateReportDone);
    EXPECT_EQ(Click(449.0f, 506.0f), kLevelGoOn);
    EXPECT_EQ(Run(2000), kLevelNext);
    EXPECT_EQ(m_profile.GetMoney(), 190);
    GMProfile saved;
    ASSERT_EQ(saved.LoadProfile("Tess.prf"), 0);
    EXPECT_EQ(saved.GetMoney(), 190);
}

TEST_F(MiniGameTest, WithoutCarsLstTheCourseHasNoTrafficAndIsWonByDriving)
{
    std::filesystem::remove("cars.lst");
    ASSERT_EQ(LoadText(Course(1.0f, 0.0f)), kLoadOk);
    EXPECT_TRUE(Game().Cars().empty());
    UntilPlay();
    // 1000 px at 0.16 px per ms, then out through the top.
    ASSERT_TRUE(UntilReport());
    EXPECT_GE(m_run.GetElapsed(), 1000.0f / 0.16f);
    EXPECT_FLOAT_EQ(Game().GetVehicleRow(), -1.0f);
    EXPECT_FALSE(Game().IsCrashed());
    EXPECT_EQ(m_run.GetBigMessageText(), "EXCELLENT!");
    EXPECT_EQ(m_run.GetReceipts(), 150);
    EXPECT_FLOAT_EQ(m_run.GetRatingRatio(), 1.0f);
}

TEST_F(MiniGameTest, AListWithoutNamesAlsoGivesAnEmptyRoad)
{
    WriteText("cars.lst", "no quoted names here\n");
    ASSERT_EQ(LoadText(Course(3.0f)), kLoadOk);
    EXPECT_TRUE(Game().CarList().empty());
    EXPECT_TRUE(Game().Cars().empty());
}

TEST_F(MiniGameTest, ACrashEndsWithThePoorJobAndTheNextLevelStillFollows)
{
    WriteLevel("level4.lvl", Course(1.0f));
    ASSERT_EQ(LoadText(Course(20.0f, 0.0f, "\"LVL\" \"level4.lvl\"\n")), kLoadOk);
    UntilPlay();
    // Straight on in lane 4 runs into the first car there.
    ASSERT_TRUE(UntilReport());
    EXPECT_TRUE(Game().IsCrashed());
    EXPECT_FLOAT_EQ(m_run.GetRatingValue(), -1.0f);
    EXPECT_NE(m_run.GetBigMessageText().find("OOR"), std::string::npos) << m_run.GetBigMessageText();
    EXPECT_EQ(m_run.GetReceipts(), 0);
    GMHud::ReportLine lines[6];
    ASSERT_EQ(GMHud::ReportLines(m_run, lines), 4);
    EXPECT_EQ(lines[1].label, "has not been delivered");
    EXPECT_EQ(lines[2].value, "NONE");
    // The report has its four lines, then the continue button goes on to level 4.
    Run(3000);
    Click(-500.0f, -500.0f);
    ASSERT_TRUE(m_run.GetStateWord() & kStateReportDone);
    EXPECT_EQ(m_run.GetReportLines(), 4);
    EXPECT_EQ(Click(449.0f, 506.0f), kLevelGoOn);
    int32_t result = Run(2000);
    EXPECT_EQ(result, kLevelNext);
    EXPECT_EQ(m_run.GetNextLevel(), "level4.lvl");
    EXPECT_STREQ(m_profile.GetCurrentLevel(), "level4.lvl");
}

TEST_F(MiniGameTest, ChangingLanesPastTheTrafficWinsTheCourse)
{
  {
    ASSERT_EQ(LoadText(Course(6.0f, 0.0f)), kLoadOk);
    UntilPlay();
    // Steer like a player: when a car ahead is close in the chosen lane, take
    // the lane that is clear the furthest ahead among those every crossed
    // lane of which is clear for a while.
    auto clearFor = [&](int32_t lane) {
        const GMMiniGame::Box van = Game().VehicleBox(m_run);
        float clear = 1e9f;
        for (const auto& car : Game().Cars()) {
            const GMMiniGame::Box box = GMMiniGame::CarBox(car.obj);
            const bool inLane = std::fabs(car.obj->GetX() - (lane + 0.5f) * 40.0f) < 35.0f;
            if (inLane && box.top < van.top + van.height + 10.0f)
                clear = std::min(clear, std::max(0.0f, van.top - (box.top + box.height)));
        }
        return clear;
    };
    for (int i = 0; i < 10000 && !(m_run.GetStateWord() & kStateReport); ++i) {
        const int32_t current = static_cast<int32_t>(Game().GetChosenLane());
        if (!Game().IsFinishing() && Game().GetLanePosition() == Game().GetChosenLane() && clearFor(current) < 90.0f) {
            int32_t best = current;
            for (int32_t lane = 2; lane <= 6; ++lane) {
                bool clear = true;
                for (int32_t l = std::min(lane, current); clear && l <= std::max(lane, current); ++l)
                    clear = l == current || clearFor(l) >= 90.0f;  // every lane it crosses
                if (clear && clearFor(lane) > clearFor(best))
                    best = lane;
            }
            if (best != current)
                ClickLane(best);
        }
        m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    }
    ASSERT_TRUE(m_run.GetStateWord() & kStateReport);
    EXPECT_FALSE(Game().IsCrashed());
    EXPECT_EQ(m_run.GetBigMessageText(), "EXCELLENT!");
    EXPECT_EQ(m_run.GetReceipts(), 150);
    EXPECT_EQ(m_run.GetRatingPoints(), 5);
  }
}

TEST_F(MiniGameTest, TheCarefulDriversLaneWinsEveryCourseAndHoldingStillCrashesSome)
{
    // The lane scripts and the bot steer by; it also shows each generated
    // course can be won. The last is a longer course where the only lane on
    // opens a moment after a look, beside a lane change into a dead end: the
    // driver has to hold its lane and take the gap when it comes.
    int crashesHoldingStill = 0;
    std::vector<std::pair<uint32_t, float>> courses;
    for (uint32_t seed = 1; seed <= 30; ++seed)
        courses.emplace_back(seed, 8.0f);
    courses.emplace_back(172u, 20.0f);
    for (const auto& [seed, seconds] : courses) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << seconds << " s");
        for (bool careful : {true, false}) {
            m_run.FixSeed(seed);
            ASSERT_EQ(LoadText(Course(seconds, 0.0f)), kLoadOk);
            UntilPlay();
            for (int i = 0; i < 10000 && !(m_run.GetStateWord() & kStateReport); ++i) {
                const int32_t lane = careful ? Game().FindSafeLane(m_run) : -1;
                if (lane >= 0) {
                    EXPECT_NE(static_cast<float>(lane), Game().GetChosenLane());
                    EXPECT_LE(std::fabs(lane - Game().GetChosenLane()), 1.0f) << "one lane at a time";
                    ClickLane(lane);
                } else {
                    m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
                }
            }
            ASSERT_TRUE(m_run.GetStateWord() & kStateReport);
            if (careful)
                EXPECT_FALSE(Game().IsCrashed());
            else
                crashesHoldingStill += Game().IsCrashed();
        }
    }
    EXPECT_GE(crashesHoldingStill, 20) << "the traffic is no obstacle";
}

TEST_F(MiniGameTest, TheLaneHintHoldsTheCourseUntilItsLaneIsClicked)
{
    ASSERT_EQ(LoadText(Course(5.0f, 0.0f, "\"TUT\" 3 \"arrow.img\" \"arrow.img\"\n")), kLoadOk);
    // A car straight ahead, 1.5 van lengths up; the pointer on the lane after
    // the van's (lane 4 is third of five, so in the second half: the one before).
    ASSERT_FALSE(Game().Cars().empty());
    EXPECT_FLOAT_EQ(Game().Cars()[0].obj->GetX(), 4.5f * 40.0f);
    EXPECT_FLOAT_EQ(Game().Cars()[0].obj->GetY(), 520.0f - 60.0f);
    EXPECT_EQ(m_run.GetTutorialKind(), 0);
    UntilPlay();
    EXPECT_EQ(m_run.GetTutorialStep(), 4);
    Run(500);
    EXPECT_FLOAT_EQ(Game().GetTravelled(), 0.0f);
    ClickLane(5);  // not the hinted lane
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 4.0f);
    ClickLane(3);
    EXPECT_FLOAT_EQ(Game().GetChosenLane(), 3.0f);
    EXPECT_EQ(m_run.GetTutorialStep(), 0);
    Run(100);
    EXPECT_LT(Game().GetTravelled(), 0.0f);
}

TEST_F(MiniGameTest, TheDefaultSpeedDrivesAVehicleWithoutOne)
{
    ASSERT_EQ(LoadText(Course(5.0f, 0.0f, "", 0.0f)), kLoadOk);
    UntilPlay();
    const float before = Game().GetTravelled();
    Run(160);
    EXPECT_NEAR(Game().GetTravelled() - before, -GMMiniGame::kDefaultSpeed * 160.0f * 40.0f, 1e-2);
}

TEST_F(MiniGameTest, TheCourseIsDrawnScrollingWithItsLaneShadeAndProgressBar)
{
    std::filesystem::remove("cars.lst");
    WriteSolidTemplate("bak", 1, 64, 64, 0xFF305030);
    ASSERT_EQ(LoadText(Course(5.0f, 0.0f, "\"BAK\" \"bak.img\"\n")), kLoadOk);
    UntilPlay();
    Run(6000);
    BeginFrame();
    m_run.Draw(m_device);
    ReadBack();
    EndFrame();
    // The lane shade lightens the chosen column, all of it and evenly, and
    // nothing beside it.
    const int x = 4 * 40 + 20;
    const uint32_t shade = Pixel(x, 200) & 0xFFFFFF;
    EXPECT_GT(Green(shade), 0x50);
    for (int y = 0; y < 420; y += 3)  // down to the van
        EXPECT_EQ(Pixel(x, y) & 0xFFFFFF, shade) << y;
    for (int y = 40; y < 400; y += 4)
        EXPECT_EQ(Pixel(2 * 40 + 20, y) & 0xFFFFFF, 0x305030u) << y;
    // The in-game menu button, where a click opens the menu.
    EXPECT_EQ(Pixel(743, 560) & 0xFFFFFF, 0x606060u);
    // The van in its lane and the lane buttons.
    EXPECT_EQ(Pixel(180, 500) & 0xFFFFFF, 0x2020F0u);
    EXPECT_EQ(Pixel(100, 560) & 0xFFFFFF, 0x40A040u);
    // The bar's fill is cropped to the progress, over its frame.
    const float ratio = m_run.GetRatingRatio();
    ASSERT_GT(ratio, 0.1f);
    ASSERT_LT(ratio, 0.5f);
    const int fillEnd = static_cast<int>(99.5f + 36.0f * ratio);
    EXPECT_EQ(Pixel(102, 10) & 0xFFFFFF, 0xE0E040u);
    EXPECT_EQ(Pixel(fillEnd + 3, 10) & 0xFFFFFF, 0x40A040u);

    // Past the end the van drives off the top: the road keeps scrolling under
    // it and its lane stays shaded.
    for (int i = 0; i < 5000 && !Game().IsFinishing(); ++i)
        m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    ASSERT_TRUE(Game().IsFinishing());
    const float travelled = Game().GetTravelled();
    m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
    ASSERT_TRUE(Game().IsFinishing());
    EXPECT_LT(Game().GetTravelled(), travelled - 1.0f);
    BeginFrame();
    m_run.Draw(m_device);
    ReadBack();
    EndFrame();
    EXPECT_EQ(Pixel(x, 200) & 0xFFFFFF, shade);
}

}  // namespace
