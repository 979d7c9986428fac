#include "game/Arith.h"
#include "game/GMLevelRun.h"
#include "player/GMProfile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>

// The money and rating rules of a day, without a town.

TEST(LevelRating, MaximumIsFourPointEightPerOrderRounded)
{
    GMLevelRun run;
    run.SetOrdersForTest(10, 10);
    EXPECT_FLOAT_EQ(run.GetRatingMaximum(), 48.0f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), 48.0f * 0.23f + 1.0f);
    run.SetOrdersForTest(3, 3);
    EXPECT_FLOAT_EQ(run.GetRatingMaximum(), 14.0f) << "14.4 + 0.5 truncated";
    run.SetOrdersForTest(1, 1);
    EXPECT_FLOAT_EQ(run.GetRatingMaximum(), 5.0f);
    run.SetOrdersForTest(0, 0);
    EXPECT_FLOAT_EQ(run.GetRatingMaximum(), 0.0f);
    EXPECT_FLOAT_EQ(run.GetRatingRatio(), 0.0f) << "no division by a zero maximum";
}

TEST(LevelRating, SmallPositiveDeltasAreIgnoredAndTheValueIsCapped)
{
    GMLevelRun run;
    run.SetOrdersForTest(10, 10);  // maximum 48
    run.SetRating(20.0f);
    run.AddRating(1.0f);
    run.AddRating(2.0f);
    run.AddRating(2.9f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), 20.0f) << "whole parts 1 and 2 leave the rating alone";
    run.AddRating(3.0f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), 23.0f);
    run.AddRating(0.5f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), 23.5f);
    run.AddRating(-1.0f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), 22.5f) << "negative deltas always count";
    run.AddRating(100.0f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), 48.0f);
    EXPECT_FLOAT_EQ(run.GetRatingRatio(), 1.0f);
    run.AddRating(-200.0f);
    EXPECT_FLOAT_EQ(run.GetRatingValue(), -152.0f) << "no lower bound";
}

TEST(LevelMoney, AddMoneyAndTargets)
{
    GMLevelRun run;
    run.DayForLoading().moneyTarget = 50.0f;
    run.DayForLoading().ratingTarget = 5;
    run.SetOrdersForTest(5, 5);
    run.AddMoney(30, 10, 4);
    EXPECT_EQ(run.GetReceipts(), 40);
    EXPECT_EQ(run.GetExtraPay(), 10);
    EXPECT_EQ(run.GetRatingPoints(), 4);
    EXPECT_EQ(run.TargetCheck(false), 2);
    run.AddMoney(10, 0, 1);
    EXPECT_EQ(run.TargetCheck(false), 0) << "both targets met exactly";
    run.SetRating(0.0f);
    EXPECT_EQ(run.TargetCheck(true), 1) << "a rating of exactly 0 is used up";
    EXPECT_EQ(run.TargetCheck(false), 0);
}

TEST(LevelMoney, HostileAmountsSaturate)
{
    EXPECT_EQ(ToInt32(1e30f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32(-1e30f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32(-2.7f), -2);
    GMLevelRun run;
    run.AddMoney(std::numeric_limits<int32_t>::max(), 5, 0);
    EXPECT_EQ(run.GetReceipts(), std::numeric_limits<int32_t>::max());
}

class LevelSaving : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_chdir = std::make_unique<ScopedChdir>(m_dir.Path());
        m_profile.SetDisplayName("Tess");
        m_profile.SetFileName("Tess.prf");
        m_profile.AddLevel("level1.lvl");
        m_profile.AddLevel("level2.lvl");
        m_profile.SetCurrentLevel("level2.lvl");
        m_profile.SetCurrentLevelIndex(1);
        m_profile.SetScore(100);
        m_profile.SetRatingPoints(30);
        m_profile.SetMoney(7);
        m_run.SetProfile(&m_profile);
    }

    // The profile as written to its file.
    const GMProfile& Reloaded()
    {
        EXPECT_EQ(m_saved.LoadProfile("Tess.prf"), 0);
        return m_saved;
    }

    TempDir m_dir;
    std::unique_ptr<ScopedChdir> m_chdir;
    GMProfile m_profile;
    GMProfile m_saved;
    GMLevelRun m_run;
};

TEST_F(LevelSaving, WonDayWithNextLevel)
{
    m_run.SetNextLevel("level3.lvl");
    m_run.AddMoney(40, 5, 12);
    m_run.ComputeTotals();
    EXPECT_EQ(m_run.GetTotalRatingPoints(), 42);
    EXPECT_EQ(m_run.GetShopCash(), 52);
    m_run.SaveToProfile(false);
    const GMProfile& p = Reloaded();
    EXPECT_EQ(p.GetScore(), 145);
    EXPECT_EQ(p.GetRatingPoints(), 42);
    // Saved with no shop open (the shop's own save spends it: BonusTest).
    EXPECT_EQ(p.GetMoney(), 52) << "nothing was spent: the money is kept";
    EXPECT_STREQ(p.GetCurrentLevel(), "level3.lvl");
    EXPECT_EQ(p.GetCurrentLevelIndex(), 2);
    EXPECT_GE(p.FindLevel("level3.lvl"), 0);
    EXPECT_EQ(m_run.Score(), 145);
}

TEST_F(LevelSaving, WithoutShopTheMoneyIsKept)
{
    m_run.SetNextLevel("level3.lvl");
    m_run.DayForLoading().shopAfterDay = false;
    m_run.AddMoney(40, 0, 0);
    m_run.ComputeTotals();
    m_run.SaveToProfile(false);
    EXPECT_EQ(Reloaded().GetMoney(), 47);
}

TEST_F(LevelSaving, NegativeReceiptsNeverTakeTheScoreBelowZero)
{
    m_run.SetNextLevel("level3.lvl");
    m_run.AddMoney(-250, 0, -18);
    m_run.ComputeTotals();
    EXPECT_EQ(m_run.Score(), -150) << "the score offered is not clamped";
    m_run.SaveToProfile(false);
    EXPECT_EQ(Reloaded().GetScore(), 0);
}

TEST_F(LevelSaving, FailedDayZeroesTheProgressValues)
{
    m_run.AddMoney(30, 0, 0);
    m_run.SaveToProfile(true);
    const GMProfile& p = Reloaded();
    EXPECT_EQ(p.GetScore(), 0);
    EXPECT_EQ(p.GetRatingPoints(), 0);
    EXPECT_EQ(p.GetMoney(), 0);
    EXPECT_EQ(p.GetCurrentLevel(), nullptr);
    EXPECT_EQ(m_run.Score(), 130) << "the old score plus the day, for the highscore table";
}

TEST_F(LevelSaving, TheScoreOfferedSaturatesLikeEveryMoneySum)
{
    m_profile.SetScore(std::numeric_limits<int32_t>::max() - 10);
    m_run.ComputeTotals();
    m_run.AddMoney(40, 0, 0);
    EXPECT_EQ(m_run.Score(), std::numeric_limits<int32_t>::max()) << "not wrapped round to a negative score";
    m_run.AddMoney(-50, 0, 0);
    EXPECT_EQ(m_run.Score(), std::numeric_limits<int32_t>::max() - 20);
}

TEST(LevelMessages, BigMessageRunsItsThreeTimesAndAClickCutsTheHold)
{
    GMLevelRun run;
    run.SetOrdersForTest(1, 1);
    run.ShowBigMessage(100.0f, 1000.0f, 100.0f, "Hello", 0xFFB600);
    run.ShowBigMessage(10.0f, 10.0f, 10.0f, "Dropped", 0xFFFFFF);
    EXPECT_EQ(run.GetBigMessageText(), "Hello") << "one at a time";
    EXPECT_EQ(run.GetStateWord(), static_cast<uint32_t>(kStateMessage));
    for (int i = 0; i < 7; ++i)
        run.Frame(0, 0, 0, 16.0f);  // fade-in over
    run.Frame(0, 0, 0, 16.0f);
    EXPECT_TRUE(run.IsBigMessageShowing());
    run.Frame(0, 0, 1, 16.0f);  // a click in the hold
    int frames = 0;
    while (run.IsBigMessageShowing() && frames < 100) {
        run.Frame(0, 0, 0, 16.0f);
        ++frames;
    }
    EXPECT_LE(frames, 7) << "only the fade-out was left";
}
