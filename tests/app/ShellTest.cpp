// The shell's own rules around the platform: splash filtering, activation,
// notices, damaged days, and the script runner's handling of an inactive game.
#include "app/DamagedDayGuard.h"
#include "app/GameApp.h"
#include "app/NoticeBanner.h"
#include "app/ScriptRunner.h"
#include "app/ShutdownSave.h"
#include "app/SplashPages.h"
#include "game/GMLevelRun.h"
#include "gfx/DisplayDevice.h"
#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "game/LevelFixture.h"
#include "player/GMPlayerStore.h"
#include "player/GMProfile.h"
#include "support/TempDir.h"
#include "support/gfx/GfxTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class DamagedDays : public LevelTest {
protected:
    void SetUp() override
    {
        LevelTest::SetUp();
        GMPlayerStore::ResetNotices();
        for (const char* day : {"level1.lvl", "level2.lvl", "level3.lvl"}) {
            WriteLevel(day, Town(1) + Trade() + "\"LOR\" 1 \"END\"");
            m_profile.AddLevel(day);
        }
    }
    void TearDown() override
    {
        GMPlayerStore::ResetNotices();
        LevelTest::TearDown();
    }
    std::string LastLoading(const std::string& broken)
    {
        return DamagedDayGuard::FindLastLoadingDay(m_profile, broken, m_manager.get(), m_device);
    }
};

// The day offered for a broken one is the last of the profile's days before
// it that loads; trying them changes nothing of the profile.
TEST_F(DamagedDays, TheLastDayThatLoadsIsOfferedForTheBrokenOne)
{
    WriteLevel("level3.lvl", Town(1) + Trade() + "\"LOR\" 1");
    m_profile.SetCurrentLevel("level3.lvl");
    EXPECT_EQ(LastLoading("level3.lvl"), "level2.lvl");
    EXPECT_EQ(LastLoading("LEVEL3.LVL"), "level2.lvl") << "names as the profile compares them";
    WriteLevel("level2.lvl", "\"LVT\" 7 \"END\"");
    EXPECT_EQ(LastLoading("level3.lvl"), "level1.lvl");
    EXPECT_EQ(LastLoading("level9.lvl"), "level1.lvl") << "a day not in the list: from the last one back";
    std::filesystem::remove("level1.lvl");
    EXPECT_EQ(LastLoading("level3.lvl"), "") << "none loads";
    EXPECT_EQ(m_profile.GetLevelCount(), 3);
    EXPECT_STREQ(m_profile.GetCurrentLevel(), "level3.lvl");
}

TEST_F(DamagedDays, ThePlayerIsToldEachTimeAndTheOfferHoldsForThatProfileAndDay)
{
    WriteLevel("level3.lvl", Town(1) + Trade() + "\"LOR\" 1");
    m_profile.SetCurrentLevel("level3.lvl");
    LevelLoadNotes notes;
    const int32_t r = m_run.LoadLevel("level3.lvl", m_manager.get(), m_device, nullptr, nullptr, &notes);
    ASSERT_EQ(r, kLoadFailed);
    DamagedDayGuard guard;
    EXPECT_EQ(guard.OfferFor(m_profile), "") << "nothing offered before the player was told";
    guard.Failed("level3.lvl", r, notes);
    guard.TellPlayer(m_profile, m_manager.get(), m_device);
    guard.TellPlayer(m_profile, m_manager.get(), m_device);
    const std::string told = "The day \"level3.lvl\" cannot be played: it is damaged (the file ends before "
                             "\"END\"). Your progress is kept. Continue goes on from \"level2.lvl\", the last day "
                             "that loads, until it is repaired.";
    std::string text;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
        EXPECT_EQ(text, told);
    }
    EXPECT_FALSE(GMPlayerStore::TakeNotice(&text));
    EXPECT_EQ(guard.OfferFor(m_profile), "level2.lvl");
    m_profile.SetCurrentLevel("level1.lvl");
    EXPECT_EQ(guard.OfferFor(m_profile), "") << "another day of the profile is played as it is";
    m_profile.SetCurrentLevel("level3.lvl");
    m_profile.SetFileName("Other.prf");
    EXPECT_EQ(guard.OfferFor(m_profile), "") << "another player's profile";
    guard.Forget();
    m_profile.SetFileName("Tess.prf");
    EXPECT_EQ(guard.OfferFor(m_profile), "");

    // A missing first day: nothing to go back to.
    std::filesystem::remove("level1.lvl");
    m_profile.SetCurrentLevel("level1.lvl");
    ASSERT_EQ(m_run.LoadLevel("level1.lvl", m_manager.get(), m_device, nullptr, nullptr, &notes), kLoadNoFile);
    guard.Failed("level1.lvl", kLoadNoFile, notes);
    guard.TellPlayer(m_profile, m_manager.get(), m_device);
    ASSERT_TRUE(GMPlayerStore::TakeNotice(&text));
    EXPECT_EQ(text, "The day \"level1.lvl\" cannot be played: the file is missing. Your progress is kept: Continue "
                    "plays it once it is repaired.");
    EXPECT_EQ(guard.OfferFor(m_profile), "");
}

class SplashPagesTest : public DeviceTest {};

TEST_F(SplashPagesTest, AfterThePagesAllThreeFiltersAreBackToPoint)
{
    VirtualClock clock(0);
    int presented = 0;
    std::vector<int> held;
    // No splash templates in this data directory: both pages are skipped.
    ShowSplashPages(
        m_device, m_manager.get(), [&] { ++presented; }, [&](int page) { held.push_back(page); });
    EXPECT_EQ(presented, 0);
    EXPECT_TRUE(held.empty());
    uint32_t mag = 0, min = 0, mip = 0;
    m_device->GetTextureStageState(0, D3DTSS_MAGFILTER, &mag);
    m_device->GetTextureStageState(0, D3DTSS_MINFILTER, &min);
    m_device->GetTextureStageState(0, D3DTSS_MIPFILTER, &mip);
    EXPECT_EQ(mag, static_cast<uint32_t>(D3DTFG_POINT));
    EXPECT_EQ(min, static_cast<uint32_t>(D3DTFN_POINT));
    EXPECT_EQ(mip, static_cast<uint32_t>(D3DTFP_POINT));
}

TEST(Activation, FullScreenDeactivationActsOnlyWhileTheDeviceIsReady)
{
    ASSERT_TRUE(StartPlatform());
    GameApp app;
    ASSERT_TRUE(app.CreateGameWindow(true));  // full screen: the setting's default
    Window* window = app.GetWindow();
    ASSERT_NE(window, nullptr);
    DisplayState& display = GetDisplayState();
    display = DisplayState{};
    display.window = window;
    display.windowed = false;

    Message off;
    off.type = WM_ACTIVATEAPP;
    off.wParam = 0;
    display.deviceReady = false;
    app.WindowProc(off);
    EXPECT_FALSE(app.IsActive());
    EXPECT_FALSE(window->IsMinimized()) << "a device that is not ready is left alone";

    display.deviceReady = true;
    app.WindowProc(off);
    EXPECT_TRUE(window->IsMinimized());

    display = DisplayState{};
    delete window;
    MessageQueue::Clear();
}

TEST(NoticeBanner, WrapsWordsToTheWidthAndShowsForAWhile)
{
    auto measure = [](const std::string& s) { return static_cast<float>(s.size()) * 10.0f; };
    std::vector<std::string> lines =
        NoticeBanner::WrapWords("Progress cannot be saved: the folder cannot be written.", 120.0f, measure);
    ASSERT_EQ(lines, (std::vector<std::string>{"Progress", "cannot be", "saved: the", "folder", "cannot be",
                                               "written."}));
    for (const std::string& line : lines)
        EXPECT_LE(measure(line), 120.0f);
    // A word wider than the line stands alone rather than being lost.
    EXPECT_EQ(NoticeBanner::WrapWords("a verylongword b", 50.0f, measure),
              (std::vector<std::string>{"a", "verylongword", "b"}));
    EXPECT_TRUE(NoticeBanner::WrapWords("   ", 50.0f, measure).empty());

    NoticeBanner banner;
    EXPECT_FALSE(banner.IsShowing());
    banner.Show("Saved games are kept aside.");
    EXPECT_TRUE(banner.IsShowing());
    banner.Update(NoticeBanner::kShowMs - 1.0f);
    EXPECT_TRUE(banner.IsShowing());
    banner.Update(2.0f);
    EXPECT_FALSE(banner.IsShowing());
}

class ScriptRunnerRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        MessageQueue::Clear();
    }
    void TearDown() override { MessageQueue::Clear(); }

    // Loads the script text through a file, as the game does.
    void Load(const std::string& text)
    {
        std::string path = dir.File("run.script");
        std::ofstream(path) << text;
        ASSERT_TRUE(runner.Load(path.c_str(), 16, ""));
    }
    std::vector<Message> Queued()
    {
        std::vector<Message> all;
        for (Message m; MessageQueue::Peek(&m, true);)
            all.push_back(m);
        return all;
    }

    TempDir dir;
    ScriptRunner runner;
    GameApp app;
};

TEST_F(ScriptRunnerRun, AnInactiveGameIsBroughtBackWhileCommandsRemainAndClosedAfter)
{
    Load("frames 1\nexpect-mode 2\n");
    runner.WhileInactive(app);
    std::vector<Message> queued = Queued();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].type, WM_ACTIVATEAPP);
    EXPECT_EQ(queued[0].wParam, 1u);

    ScriptRunner done;
    std::string path = dir.File("empty.script");
    std::ofstream(path) << "# nothing\n";
    ASSERT_TRUE(done.Load(path.c_str(), 16, ""));
    done.WhileInactive(app);
    queued = Queued();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].type, WM_CLOSE);
}

TEST_F(ScriptRunnerRun, AGameThatDoesNotCloseEndsTheRunInsteadOfSpinning)
{
    Load("quit\n");
    EXPECT_FALSE(runner.BeforeIdle(app));  // asks to close
    ASSERT_EQ(Queued().size(), 1u);        // the close message, taken but ignored
    int frames = 0;
    while (frames < 1000 && runner.BeforeIdle(app) && Queued().empty())
        ++frames;
    EXPECT_LT(frames, 1000);
    EXPECT_FALSE(runner.Succeeded());
    EXPECT_EQ(runner.Failure(), "the game did not close when asked");
}

TEST_F(ScriptRunnerRun, NoticesAndLinksAreRecordedAndExpected)
{
    dir.Write("site.url", "[InternetShortcut]\r\nURL=https://brimvale.example/x \r\nIconIndex=0\r\n");
    EXPECT_EQ(ScriptRunner::ReadLinkAddress(dir.File("site.url").c_str()), "https://brimvale.example/x");
    EXPECT_EQ(ScriptRunner::ReadLinkAddress(dir.File("none.url").c_str()), "");

    Load("expect-notice cannot be saved\nexpect-link brimvale.example/x\nexpect-notice was damaged\n");
    runner.NoticeShown("Progress cannot be saved: the folder cannot be written.");
    runner.RecordLink(dir.File("site.url").c_str());
    ASSERT_EQ(runner.Links().size(), 1u);
    for (int i = 0; i < 3; ++i)
        runner.BeforeIdle(app);
    EXPECT_FALSE(runner.Succeeded());
    EXPECT_NE(runner.Failure().find("line 3"), std::string::npos) << runner.Failure();
    EXPECT_NE(runner.Failure().find("no such notice"), std::string::npos) << runner.Failure();
}

// The window closed on a won day's report: the day is written only while it
// is still the screen the player sees (in play or under its pause menu).
TEST(ShutdownSave, AWonDayIsSavedOnlyWhileItIsStillOnScreen)
{
    TempDir dir;
    ScopedChdir inside(dir.Path());
    GMProfile profile;
    profile.SetFileName("Tess.prf");
    profile.SetScore(100);
    for (uint8_t mode : {kModeMainMenu, kModeHighscores, kModeExitQuestion, kModePlaying, kModePause,
                         kModePauseOptions}) {
        SCOPED_TRACE(static_cast<int>(mode));
        GMLevelRun run;
        run.SetProfile(&profile);
        run.SetNextLevel("level2.lvl");
        run.SetOrdersForTest(0, 0);  // rating 1: nothing lost
        run.AddMoney(40, 0, 0);
        run.SetStateWord(kStateReport | kStateReportDone);
        const bool onScreen = mode == kModePlaying || mode == kModePause || mode == kModePauseOptions;
        EXPECT_EQ(SaveWhatWasShown(mode, &run), onScreen);
        EXPECT_EQ(run.IsDaySaved(), onScreen);
        EXPECT_FALSE(SaveWhatWasShown(mode, &run)) << "once";
    }
    EXPECT_EQ(profile.GetScore(), 100 + 3 * 40) << "the three days left on screen";
    GMProfile saved;
    ASSERT_EQ(saved.LoadProfile("Tess.prf"), 0);
    EXPECT_EQ(saved.GetScore(), 220);
    EXPECT_STREQ(saved.GetCurrentLevel(), "level2.lvl");
    EXPECT_FALSE(SaveWhatWasShown(kModePlaying, nullptr)) << "no day";
}

}  // namespace
