// Level files found by fuzzing the level loader (tests/fuzz/found/level-*.bin)
// or written by hand from what it trusted (tests/fuzz/found/level*.txt), fed
// the way the fuzz target feeds them: scrambled as "level5.lvl" beside
// the generated data set, loaded, played with a wandering, clicking pointer
// and drawn.
#include "core/TaggedFile.h"
#include "game/GMLevelRun.h"
#include "player/GMProfile.h"
#include "support/gfx/GfxTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#if defined(BRIMVALE_GAME_DATA_DIR) && defined(BRIMVALE_FUZZ_DIR)

namespace {

class LevelFoundByFuzzing : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(BRIMVALE_GAME_DATA_DIR))
            if (entry.path().extension() != ".lvl")
                std::filesystem::create_symlink(entry.path(), m_dir.File(entry.path().filename()), error);
        m_profile.SetDisplayName("Fuzz");
        m_profile.SetFileName("FUZZ.prf");
        m_run.SetProfile(&m_profile);
        m_run.FixSeed(5);
    }
    void TearDown() override
    {
        m_run.Reset();
        DeviceTest::TearDown();
    }

    // Loads the found file; plays and draws it when it loads.
    int32_t Feed(const char* found)
    {
        std::ifstream in(std::string(BRIMVALE_FUZZ_DIR) + "/" + found, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_FALSE(bytes.empty()) << found << " is missing";
        FileKey key("level5.lvl");
        for (char& c : bytes)
            c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
        m_dir.Write("level5.lvl", bytes);
        const int32_t result = m_run.LoadLevel("level5.lvl", m_manager.get(), m_device, nullptr, nullptr, &m_notes);
        if (result != kLoadOk)
            return result;
        for (int i = 0; i < 24; ++i) {
            const float x = static_cast<float>((i * 137) % 820) - 10.0f;
            const float y = static_cast<float>((i * 71) % 620) - 10.0f;
            const int32_t frame = m_run.Frame(x, y, i % 3 == 2 ? 1u : 0u, 160.0f);
            EXPECT_GE(frame, 0);
            EXPECT_LE(frame, 3);
        }
        BeginFrame();
        m_run.Draw(m_device);
        EndFrame();
        return result;
    }

    GMProfile m_profile;
    GMLevelRun m_run;
    LevelLoadNotes m_notes;
};

}  // namespace

// A town whose road node is replaced in its cell while link tags still follow.
TEST_F(LevelFoundByFuzzing, LinksAfterAReplacedRoadNode)
{
    // The links are read and the town linked (where the freed node was
    // written to); no house is left with a road at its door, so the day is
    // refused as one that could never end.
    ASSERT_EQ(Feed("level-1.bin"), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level5.lvl: 20 orders (\"LOR\") but no house that places orders (a house needs a "
                               "road at its door): the day could never end");
}

// Day 1 without its buildings: no order could ever be placed, so the day
// could never end; refused with the reason.
TEST_F(LevelFoundByFuzzing, WorkingDayWithoutBuildingsIsRefused)
{
    ASSERT_EQ(Feed("level1-no-buildings.txt"), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level5.lvl: 6 orders (\"LOR\") but no house that places orders (a house needs a "
                               "road at its door): the day could never end");
}

// A course whose length is infinite once read ("LTM" 1e39): refused.
TEST_F(LevelFoundByFuzzing, CourseWithoutEndIsRefused)
{
    ASSERT_EQ(Feed("level5-ltm-inf.txt"), kLoadFailed);
    EXPECT_EQ(m_notes.failure, "level5.lvl: the course never ends (\"LTM\" is too large)");
}

// A course whose money target (1e308) is beyond a float: bounded, so the pay
// at the finish is a defined number.
TEST_F(LevelFoundByFuzzing, CourseMoneyTargetBeyondAFloatIsBounded)
{
    ASSERT_EQ(Feed("level5-lsc-1e308.txt"), kLoadOk) << m_notes.failure;
    EXPECT_FLOAT_EQ(m_run.Day().moneyTarget, 1.0e9f);
    EXPECT_NE(std::find(m_notes.refused.begin(), m_notes.refused.end(), "LSC inf: bounded to 1e+09"),
              m_notes.refused.end());
}

// A course 10,000,000 px long whose car pictures do not load: the load
// ends (each missing picture is tried once), without traffic, and the
// course is no longer than the game drives.
TEST_F(LevelFoundByFuzzing, AnEndlessCourseWhoseCarPicturesDoNotLoad)
{
    std::ifstream in(std::string(BRIMVALE_FUZZ_DIR) + "/cars-missing.lst", std::ios::binary);
    std::string cars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(cars.empty());
    std::filesystem::remove(m_dir.File("cars.lst"));  // a link into the data set
    m_dir.Write("cars.lst", cars);
    ASSERT_EQ(Feed("level5-ltm1e7.txt"), kLoadOk) << m_notes.failure;
    EXPECT_EQ(m_run.Day().levelKind, 1);
    EXPECT_TRUE(m_run.MiniGame().Cars().empty());
    EXPECT_TRUE(m_run.MiniGame().CarList().empty());
    EXPECT_GT(GMMiniGame::CourseLength(m_run), 0.0f);
    EXPECT_LE(GMMiniGame::CourseLength(m_run), GMMiniGame::kMaxCourse);
}

#endif
