#include "app/GameModeMachine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Stand-in application: records what the machine asks of it and enters modes
// the way a test tells it to.
class FakeHost : public GameModeHost {
public:
    GameModeMachine machine{this};
    std::vector<std::string> log;
    std::vector<uint8_t> posted;
    std::vector<int32_t> quits;
    std::vector<std::string> errors;
    std::map<uint8_t, const char*> failing;   // mode -> failure line
    std::map<uint8_t, uint8_t> rewrites;      // transient mode -> mode it becomes
    std::vector<uint8_t> noHandlers;          // modes whose entry sets no handlers
    int updates = 0;
    uint32_t lastFlags = 0;
    float lastElapsed = -1.0f;

    void LeaveMode(uint8_t current, uint8_t next) override
    {
        log.push_back("leave " + std::to_string(current) + "->" + std::to_string(next));
    }
    void DiscardInterface() override { log.push_back("discard"); }
    EntryOutcome EnterMode(uint8_t& mode, uint8_t previous) override
    {
        log.push_back("enter " + std::to_string(mode) + " from " + std::to_string(previous));
        if (failing.count(mode))
            return {EntryOutcome::Failed, failing[mode], 0};
        if (rewrites.count(mode))
            mode = rewrites[mode];
        for (uint8_t m : noHandlers) {
            if (m == mode)
                return {};
        }
        machine.SetHandlers(
            [this](float, float, uint32_t flags, float elapsed) {
                ++updates;
                lastFlags = flags;
                lastElapsed = elapsed;
                return 0;
            },
            [] { return 0; });
        return {};
    }
    void PostModeMessage(uint8_t mode) override { posted.push_back(mode); }
    void PostQuit(int32_t code) override { quits.push_back(code); }
    void WriteErrorLog(const char* text) override { errors.push_back(text); }
};

}  // namespace

TEST(GameModeMachine, SwitchRunsLeaveDiscardAndEntryInOrder)
{
    FakeHost h;
    EXPECT_EQ(h.machine.SetGameMode(kModeMainMenu), kModeMainMenu);
    EXPECT_EQ(h.log, (std::vector<std::string>{"leave 1->2", "discard", "enter 2 from 1"}));
    EXPECT_EQ(h.machine.GetCurrentMode(), kModeMainMenu);
    EXPECT_EQ(h.machine.GetPendingMode(), 0);
    EXPECT_TRUE(h.machine.TakeResetTiming());

    h.log.clear();
    EXPECT_EQ(h.machine.SetGameMode(kModeMainMenu), kModeMainMenu) << "the current mode is not re-entered";
    EXPECT_TRUE(h.log.empty());

    EXPECT_EQ(h.machine.SetGameMode(kModeExitQuestion), kModeExitQuestion);
    EXPECT_EQ(h.log, (std::vector<std::string>{"leave 2->14", "enter 14 from 2"})) << "a dialog keeps the screen";
}

TEST(GameModeMachine, DialogsKeepTheScreenUnderThem)
{
    for (uint8_t dialog : {kModeNewGameQuestion, kModeMenuOptions, kModePauseOptions, kModeNewProfile,
                           kModeProfiles, kModeExitQuestion}) {
        FakeHost h;
        h.machine.SetGameMode(kModeMainMenu);
        h.log.clear();
        h.machine.SetGameMode(dialog);
        EXPECT_EQ(h.log.size(), 2u) << int(dialog);
    }
    for (uint8_t screen : {kModeSelectLevel, kModePause, kModePlaying, kModeHighscores, kModeLogo, kModeHelp}) {
        FakeHost h;
        h.machine.SetGameMode(kModeMainMenu);
        h.log.clear();
        h.machine.SetGameMode(screen);
        ASSERT_EQ(h.log.size(), 3u) << int(screen);
        EXPECT_EQ(h.log[1], "discard");
    }
}

TEST(GameModeMachine, QuitPostsCodeZeroWithoutLeaving)
{
    FakeHost h;
    h.machine.SetGameMode(kModeMainMenu);
    h.log.clear();
    EXPECT_EQ(h.machine.SetGameMode(kModeQuit), kModeQuit);
    EXPECT_EQ(h.quits, std::vector<int32_t>{0});
    EXPECT_TRUE(h.log.empty());
}

TEST(GameModeMachine, FailedEntryLogsAndQuitsWithCodeOne)
{
    FakeHost h;
    h.failing[kModeMainMenu] = "Can't initialize main menu interface";
    h.failing[kModeMenuOptions] = nullptr;  // fails without a log line
    EXPECT_EQ(h.machine.SetGameMode(kModeMainMenu), kModeQuit);
    EXPECT_EQ(h.errors, std::vector<std::string>{"Can't initialize main menu interface"});
    EXPECT_EQ(h.quits, std::vector<int32_t>{1});
    EXPECT_EQ(h.machine.GetCurrentMode(), kModeStartup);

    EXPECT_EQ(h.machine.SetGameMode(kModeMenuOptions), kModeQuit);
    EXPECT_EQ(h.errors.size(), 1u);
    EXPECT_EQ(h.quits, (std::vector<int32_t>{1, 1}));
}

TEST(GameModeMachine, AModeWithoutHandlersIsRetriedTwentyTimes)
{
    FakeHost h;
    h.noHandlers.push_back(6);
    EXPECT_EQ(h.machine.SetGameMode(6), kModeQuit);
    int entries = 0;
    for (const auto& line : h.log)
        entries += line.rfind("enter 6", 0) == 0;
    EXPECT_EQ(entries, GameModeMachine::kMaxRetries);
    EXPECT_EQ(h.errors, std::vector<std::string>{"Can't set new game mode (from 1 to 6)"});
    EXPECT_EQ(h.quits, std::vector<int32_t>{1});
}

TEST(GameModeMachine, TransientModesEndAsPlaying)
{
    FakeHost h;
    h.rewrites[kModeResume] = kModePlaying;
    h.rewrites[kModeContinueGame] = kModePlaying;
    EXPECT_EQ(h.machine.SetGameMode(kModeContinueGame), kModePlaying);
    EXPECT_EQ(h.machine.GetCurrentMode(), kModePlaying);
    h.machine.SetGameMode(kModePause);
    EXPECT_EQ(h.machine.SetGameMode(kModeResume), kModePlaying);
}

TEST(GameModeMachine, FadeOutSwitchesAtBlackThenFadesIn)
{
    FakeHost h;
    h.machine.SetGameMode(kModeMainMenu);
    h.machine.FadeToGameMode(kModeMainMenu);
    EXPECT_EQ(h.machine.GetTransition(), 0) << "fading to the current mode does nothing";

    h.machine.FadeToGameMode(kModeHighscores);
    EXPECT_EQ(h.machine.GetTransition(), 1);
    EXPECT_EQ(h.machine.GetPendingMode(), kModeHighscores);
    uint32_t flags = 1;
    h.machine.FrameUpdate(0, 0, &flags, 100.0f);
    EXPECT_FLOAT_EQ(h.machine.GetFadeLevel(), 70.0f);
    EXPECT_EQ(flags, 0u) << "clicks are dropped during a fade";
    EXPECT_EQ(h.updates, 0);
    h.machine.FrameUpdate(0, 0, &flags, 400.0f);
    EXPECT_FLOAT_EQ(h.machine.GetFadeLevel(), 255.0f);
    EXPECT_TRUE(h.posted.empty());
    h.machine.FrameUpdate(0, 0, &flags, 10.0f);
    EXPECT_EQ(h.posted, std::vector<uint8_t>{kModeHighscores}) << "at black the switch is posted";

    EXPECT_EQ(h.machine.SetGameMode(kModeHighscores), kModeHighscores);
    EXPECT_EQ(h.machine.GetTransition(), 2);
    EXPECT_FLOAT_EQ(h.machine.GetFadeLevel(), 255.0f);
    EXPECT_EQ(h.machine.GetPendingMode(), 0);
    h.machine.FrameUpdate(0, 0, &flags, 300.0f);
    EXPECT_NEAR(h.machine.GetFadeLevel(), 45.0f, 1e-3);
    h.machine.FrameUpdate(0, 0, &flags, 300.0f);
    EXPECT_FLOAT_EQ(h.machine.GetFadeLevel(), 0.0f);
    EXPECT_EQ(h.updates, 0);
    flags = 1;
    h.machine.FrameUpdate(5, 5, &flags, 12.0f);
    EXPECT_EQ(h.machine.GetTransition(), 0);
    EXPECT_EQ(h.updates, 1) << "the fade ends and the handler runs in the same frame";
    EXPECT_EQ(h.lastFlags, 0u) << "a click in the fade's last frame is still dropped";
    EXPECT_FLOAT_EQ(h.lastElapsed, 12.0f);
    EXPECT_EQ(flags, 0u);
}

TEST(GameModeMachine, ASwitchDuringAFadeOutCommitsAndFadesIn)
{
    FakeHost h;
    h.machine.SetGameMode(kModeMainMenu);
    h.machine.FadeToGameMode(kModeHighscores);
    uint32_t flags = 0;
    h.machine.FrameUpdate(0, 0, &flags, 100.0f);
    // Escape posts the exit question while the screen is fading out.
    EXPECT_EQ(h.machine.SetGameMode(kModeExitQuestion), kModeExitQuestion);
    EXPECT_EQ(h.machine.GetTransition(), 2);
    EXPECT_FLOAT_EQ(h.machine.GetFadeLevel(), 255.0f);
    EXPECT_EQ(h.machine.GetPendingMode(), 0) << "the fade's own target is forgotten";
}

TEST(GameModeMachine, TheLogoModeMayBeReentered)
{
    FakeHost h;
    h.machine.SetGameMode(kModeLogo);
    h.log.clear();
    h.machine.FadeToGameMode(kModeLogo);
    EXPECT_EQ(h.machine.GetTransition(), 1);
    EXPECT_EQ(h.machine.SetGameMode(kModeLogo), kModeLogo);
    EXPECT_EQ(h.log.size(), 3u);
}
