// Input recordings and the runner's side of replaying them, and a player
// program feeding the runner.
#include "app/GameApp.h"
#include "app/InputRecorder.h"
#include "app/ScriptRunner.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <string>
#include <vector>

namespace {

Message Input(uint32_t type, uintptr_t wParam, intptr_t lParam)
{
    Message m;
    m.type = type;
    m.wParam = wParam;
    m.lParam = lParam;
    return m;
}

TEST(InputRecorder, WritesInputWithItsFrameAndReadsBackAsAScript)
{
    TempDir dir;
    InputRecorder rec;
    ASSERT_TRUE(rec.Open(dir.File("day.rec"), 4242, 16));
    rec.Note(Input(WM_MOUSEMOVE, 0, MakeMouseLParam(400, 300)), 0);
    rec.NoteStep(0, 16.0f);  // as declared: nothing written
    rec.Note(Input(WM_LBUTTONDOWN, MK_LBUTTON, MakeMouseLParam(12, -3)), 7);
    rec.Note(Input(WM_LBUTTONUP, 0, MakeMouseLParam(12, -3)), 7);
    rec.Note(Input(WM_RBUTTONDOWN, MK_RBUTTON, MakeMouseLParam(1, 2)), 8);
    rec.Note(Input(WM_MBUTTONUP, 0, MakeMouseLParam(1, 2)), 8);
    rec.NoteStep(9, 11.0f);
    rec.NoteStep(10, 11.0f);  // unchanged: nothing written
    rec.Note(Input(WM_SYSKEYDOWN, VK_MENU, 0), 10);
    rec.Note(Input(WM_KEYDOWN, 'A', 0), 10);
    rec.Note(Input(WM_KEYUP, 'A', 0), 11);
    rec.Note(Input(WM_ACTIVATEAPP, 1, 0), 11);  // not input
    rec.Note(Input(kModeChangeMessage, 4, 0), 11);  // the game's own
    rec.NoteStep(12, 0.0f);  // a frame of no time cannot be given: nothing written
    rec.Close(30);
    rec.Close(31);  // once only

    std::string text = dir.Read("day.rec");
    size_t body = text.find("seed 4242\nstep 16\n");
    ASSERT_NE(body, std::string::npos) << text;
    EXPECT_EQ(text.substr(body),
              "seed 4242\nstep 16\n"
              "at 0 move 400 300\n"
              "at 7 down 12 -3 left\nat 7 up 12 -3 left\n"
              "at 8 down 1 2 right\nat 8 up 1 2 middle\n"
              "at 9 step 11\n"
              "at 10 key-down 18\nat 10 key-down 65\nat 11 key-up 65\n"
              "at 30 quit\n");

    ScriptRunner replay;
    std::string error;
    ASSERT_TRUE(replay.Parse(text, &error)) << error;
    EXPECT_EQ(replay.Seed(), 4242);
    EXPECT_FALSE(rec.Open(dir.File("no/such/dir/day.rec"), 1, 16));
}

TEST(ScriptRunner, RecordingLinesAreCheckedWhenRead)
{
    ScriptRunner s;
    std::string error;
    EXPECT_TRUE(s.Parse("seed 7\nstep 11\nno-draw\nat 3\nat 3 move -5 9\nat 4 down 1 2 middle\nat 4 up 1 2 left\n"
                        "at 5 key-down 27\nat 5 key-up 27\nat 6 step 33\nat 9 quit\n",
                        &error))
        << error;
    EXPECT_EQ(s.Seed(), 7);
    for (const char* bad : {"at", "at -1", "at x", "at 3 jump", "at 3 move 1", "at 3 move 1 2 3", "at 3 down 1 2",
                            "at 3 down 1 2 thumb", "at 3 key-down a", "at 3 quit now", "step 0", "step x", "seed -2",
                            "seed", "no-draw 1"}) {
        ScriptRunner t;
        EXPECT_FALSE(t.Parse(std::string("frames 1\n") + bad + "\n", &error)) << bad;
        EXPECT_EQ(t.Seed(), -1) << bad;
    }
}

// A shared recording or script cannot run for ever: frames, waits and steps
// have sane bounds, and the message says which line went beyond.
TEST(ScriptRunner, FramesAndWaitsHaveBounds)
{
    for (const char* fine : {"at 10000000 quit", "frames 10000000", "wait 86400000", "serve 86400000", "step 1000",
                             "at 5 step 1000", "move 2147483647 -2147483648"}) {
        ScriptRunner s;
        std::string error;
        EXPECT_TRUE(s.Parse(std::string(fine) + "\n", &error)) << fine << ": " << error;
    }
    const struct {
        const char* line;
        const char* error;
    } bad[] = {
        {"at 10000001 quit", "line 1: \"at 10000001 quit\" is past frame 10000000"},
        {"at 9223372036854775807 quit", "line 1: \"at 9223372036854775807 quit\" is past frame 10000000"},
        {"frames 10000001", "line 1: \"frames 10000001\" is more than 10000000 frames"},
        {"wait 86400001", "line 1: \"wait 86400001\" is more than 86400000 ms"},
        {"serve 2147483647", "line 1: \"serve 2147483647\" is more than 86400000 ms"},
        {"step 1001", "line 1: \"step 1001\" is more than 1000 ms"},
        {"at 5 step 1001", "line 1: cannot understand \"at 5 step 1001\""},
        {"serve -1", "line 1: cannot understand \"serve -1\""},
        {"serve x", "line 1: cannot understand \"serve x\""},
        {"wait 99999999999999999999", "line 1: cannot understand \"wait 99999999999999999999\""},
        {"move 2147483648 0", "line 1: cannot understand \"move 2147483648 0\""},
    };
    for (const auto& b : bad) {
        ScriptRunner s;
        std::string error;
        EXPECT_FALSE(s.Parse(std::string(b.line) + "\n", &error)) << b.line;
        EXPECT_EQ(error, b.error);
    }
#ifdef BRIMVALE_FUZZ_DIR
    // Found: a recording whose last input is at frame 2^63 - 1.
    ScriptRunner found;
    std::string error;
    EXPECT_FALSE(found.Load(BRIMVALE_FUZZ_DIR "/recording-at-huge.script", 16, ""));
    std::ifstream in(BRIMVALE_FUZZ_DIR "/recording-at-huge.script");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(found.Parse(text, &error));
    EXPECT_EQ(error, "line 4: \"at 9223372036854775807 quit\" is past frame 10000000");
#endif
}

// A recording names the data, profiles and settings it was made with; a
// replay against others is refused with a message saying so.
TEST(InputRecorder, RecordingNamesWhatItStartedFrom)
{
    TempDir dir;
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    dir.Write("level1.lvl", "day one");
    dir.Write("option.cfg", "1\n");
    dir.Write("Error.log", "a log changes nothing");
    std::filesystem::create_directories(dir.File("Town"));
    dir.Write("Town/House.png", "house");
    const std::string start = InputRecorder::DigestStart(dir.File("day.rec"));
    ASSERT_EQ(start.size(), 16u);

    InputRecorder rec;
    ASSERT_TRUE(rec.Open(dir.File("day.rec"), 9, 16, start));
    rec.Close(3);
    EXPECT_EQ(InputRecorder::DigestStart(dir.File("day.rec")), start) << "the recording itself is left out";
    ScriptRunner replay;
    std::string error;
    ASSERT_TRUE(replay.Parse(dir.Read("day.rec"), &error)) << error;
    EXPECT_EQ(replay.DataDigest(), start);

    dir.Write("Error.log", "another log line");
    EXPECT_EQ(InputRecorder::DigestStart(dir.File("day.rec")), start);
    std::string why;
    EXPECT_TRUE(InputRecorder::MatchesStart(start, start, &why));
    EXPECT_TRUE(InputRecorder::MatchesStart("", start, &why)) << "a script of its own names no start";

    // A changed level, setting or picture, or a profile more, is another start.
    for (const char* changed : {"level1.lvl", "option.cfg", "Town/House.png", "Mia.prf"}) {
        const std::string before = dir.Read(changed);
        dir.Write(changed, before + "!");
        const std::string other = InputRecorder::DigestStart(dir.File("day.rec"));
        EXPECT_NE(other, start) << changed;
        EXPECT_FALSE(InputRecorder::MatchesStart(start, other, &why));
        EXPECT_EQ(why, "the recording was made with other data, profiles or settings than these (digest " + start +
                           ", here " + other + "): its replay would go another way. Replay it from the same start.");
        if (before.empty())
            std::filesystem::remove(dir.File(changed));
        else
            dir.Write(changed, before);
    }
    EXPECT_EQ(InputRecorder::DigestStart(dir.File("day.rec")), start);
    std::filesystem::current_path(here);
}

// A player program: hands out its lines, one batch a call, then is done.
class Feed : public ScriptSource {
public:
    explicit Feed(std::vector<std::string> batches) : m_batches(std::move(batches)) {}
    bool More(GameApp&, std::string* commands) override
    {
        ++calls;
        if (m_next >= m_batches.size())
            return false;
        *commands += m_batches[m_next++];
        return true;
    }
    int calls = 0;

private:
    std::vector<std::string> m_batches;
    size_t m_next = 0;
};

class FedRunner : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        MessageQueue::Clear();
    }
    void TearDown() override { MessageQueue::Clear(); }
    std::vector<uint32_t> Queued()
    {
        std::vector<uint32_t> all;
        for (Message m; MessageQueue::Peek(&m, true);)
            all.push_back(m.type);
        return all;
    }
    ScriptRunner runner;
    GameApp app;
};

TEST_F(FedRunner, ThePlayersLinesRunAndTheGameClosesWhenItIsDone)
{
    Feed feed({"frames 2\n", "step 20\nframes 1\n"});
    runner.Begin(16, "", &feed);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(runner.BeforeIdle(app)) << "a frame is due";
        runner.AfterFrame(16.0f);
    }
    EXPECT_EQ(feed.calls, 1) << "asked again only when its lines are used up";
    EXPECT_TRUE(runner.BeforeIdle(app));
    EXPECT_EQ(runner.Step(), 20u);
    runner.AfterFrame(20.0f);
    EXPECT_FALSE(runner.BeforeIdle(app)) << "done: the game is asked to close";
    EXPECT_EQ(feed.calls, 3);
    EXPECT_EQ(Queued(), std::vector<uint32_t>{WM_CLOSE});
    EXPECT_TRUE(runner.Succeeded());
}

TEST_F(FedRunner, ALineThePlayerGetsWrongEndsTheRun)
{
    Feed feed({"frames 1\n", "jump 3\n"});
    runner.Begin(16, "", &feed);
    EXPECT_TRUE(runner.BeforeIdle(app));
    runner.AfterFrame(16.0f);
    EXPECT_FALSE(runner.BeforeIdle(app));
    EXPECT_FALSE(runner.Succeeded());
    EXPECT_NE(runner.Failure().find("cannot read"), std::string::npos) << runner.Failure();
    EXPECT_EQ(Queued(), std::vector<uint32_t>{WM_CLOSE});
}

TEST_F(FedRunner, UndrawnFramesButForShotsAndRecordedFramesWaitForTheirTurn)
{
    Feed feed({"no-draw\nshot first\n", "at 2\n"});
    runner.Begin(16, "", &feed);
    EXPECT_TRUE(runner.WantsDraw()) << "drawn until told otherwise";
    EXPECT_TRUE(runner.BeforeIdle(app));
    EXPECT_TRUE(runner.WantsDraw()) << "the shot's frame is drawn";
    runner.AfterFrame(16.0f);
    EXPECT_FALSE(runner.WantsDraw());
    // No frame runs in this game: "at 2" keeps asking for frames until two have run.
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(runner.BeforeIdle(app));
        runner.AfterFrame(16.0f);
    }
    EXPECT_EQ(feed.calls, 2);
    EXPECT_TRUE(Queued().empty());
}

}  // namespace
