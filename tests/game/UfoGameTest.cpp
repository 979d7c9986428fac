#include "game/LevelFixture.h"

#include "world/GMCustomerObj.h"
#include "world/GMGoodsObj.h"
#include "world/GMMessage.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"

#include <cmath>
#include <set>

namespace {

// The fixture's UFO pictures are 100 x 40.
constexpr float kW = 100.0f;
constexpr float kH = 40.0f;

float LineLength(const GMUfoGame::Ufo& u)
{
    return std::hypot(u.targetX - u.startX, u.targetY - u.startY);
}

}  // namespace

class UfoGameTest : public LevelTest {
protected:
    // A town of one order of goods 1 (price 20); the day's money target is `target`.
    static std::string OneOrderDay(int target, const std::string& extra = "")
    {
        return Town(1) + Trade() + "\"LOR\" 1 \"LSC\" " + std::to_string(target) + " " + extra + "\"END\"";
    }

    const GMUfoGame& Ufos() { return m_run.UfoGame(); }

    // Plays the one order of the day and delivers it at once; returns with
    // the day over (UFO game or report).
    void DeliverTheOrder()
    {
        UntilPlay();
        for (int i = 0; i < 500 && m_run.Orders().GetCount() == 0; ++i)
            Run(16);
        ASSERT_EQ(m_run.Orders().GetCount(), 1);
        auto* order = static_cast<GMOrderObj*>(m_run.Orders().GetAt(0));
        m_run.CompleteOrder(order, m_run.GetVehicle(), true);
        for (int i = 0; i < 100 && m_run.GetStateWord() == 0; ++i)
            Run(16);
    }

    // A perfect day, with the "BONUS GAME!" message over.
    void UntilUfosFly()
    {
        ASSERT_EQ(LoadText(OneOrderDay(10)), kLoadOk);
        DeliverTheOrder();
        ASSERT_EQ(m_run.GetStateWord(), kStateUfoGame | kStateMessage);
        for (int i = 0; i < 1000 && (m_run.GetStateWord() & kStateMessage); ++i)
            Run(16);
        ASSERT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateUfoGame));
    }

    // Loads the one-order day with seeds from `seed` on until the UFOs fly
    // in pattern `pattern`.
    bool LoadWithPattern(int pattern, uint32_t seed = 1)
    {
        for (uint32_t s = seed; s < seed + 200; ++s) {
            m_run.FixSeed(s);
            if (LoadText(OneOrderDay(10)) == kLoadOk && Ufos().GetPattern() == pattern)
                return true;
        }
        return false;
    }
};

// ---- Set-up -------------------------------------------------------------------------------

TEST_F(UfoGameTest, TwentyUfosEnterOneAfterAnotherInEveryPattern)
{
    std::set<int> patterns;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        m_run.FixSeed(seed);
        ASSERT_EQ(LoadText(OneOrderDay(10)), kLoadOk);
        const int p = Ufos().GetPattern();
        patterns.insert(p);
        ASSERT_EQ(Ufos().Ufos().size(), 20u);
        float previous = -1.0f;
        for (const GMUfoGame::Ufo& u : Ufos().Ufos()) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", pattern " + std::to_string(p));
            // How far beyond its own screen edge it starts.
            const float off = u.fromLeft ? -u.startX - kW : u.startX - 800.0f - kW;
            if (previous < 0.0f) {
                EXPECT_FLOAT_EQ(off, 0.0f) << "the first UFO waits just off the screen";
            } else {
                EXPECT_GE(off - previous, 160.0f - 1e-2f);
                EXPECT_LE(off - previous, 320.0f + 1e-2f);
            }
            previous = off;
            EXPECT_FLOAT_EQ(u.targetX, u.fromLeft ? kW + 805.0f : -kW - 5.0f);
            EXPECT_GE(u.targetY, 64.0f + kH / 2.0f);
            EXPECT_LE(u.targetY, 464.0f - kH / 2.0f);
            EXPECT_GE(u.phase, 0.0f);
            EXPECT_LT(u.phase, 1500.0f);
            EXPECT_FLOAT_EQ(u.obj->GetFlySpeed(), 0.55f);
            if (p % 2 == 0) {
                EXPECT_FLOAT_EQ(u.startY, u.targetY) << "a level flight";
            } else {
                // The diagonal line crosses the entry edge in the other half of the band.
                const float edge = u.fromLeft ? -kW : 800.0f + kW;
                const float y1 = u.startY + (u.targetY - u.startY) * (edge - u.startX) / (u.targetX - u.startX);
                if (u.targetY >= 264.0f) {
                    EXPECT_GE(y1, 64.0f + kH / 2.0f - 0.05f);
                    EXPECT_LE(y1, 264.0f - kH / 2.0f + 0.05f);
                } else {
                    EXPECT_GE(y1, 264.0f + kH / 2.0f - 0.05f);
                    EXPECT_LE(y1, 464.0f - kH / 2.0f + 0.05f);
                }
            }
            if (p < 2) {
                EXPECT_EQ(u.amplitude, 0.0f) << "no bob";
            } else {
                // Bounded by the room the heights leave in the band 64..514.
                const float edge = u.fromLeft ? -kW : 800.0f + kW;
                const float y1 = u.startY + (u.targetY - u.startY) * (edge - u.startX) / (u.targetX - u.startX);
                auto room = [](float y) { return std::min(y - 64.0f, 514.0f - y); };
                const float r = (room(u.targetY) + room(y1)) / 2.0f * 1000.0f;
                const float low = p <= 3 ? 0.25f : 0.5f;
                EXPECT_GE(u.amplitude, low * r * 0.999f);
                EXPECT_LE(u.amplitude, (low + 0.5f) * r * 1.001f);
            }
        }
    }
    EXPECT_EQ(patterns.size(), 6u) << "sixty seeds show every pattern";
}

TEST_F(UfoGameTest, FirstTutorialDayFliesLevelWithoutBob)
{
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        m_run.FixSeed(seed);
        ASSERT_EQ(LoadText(OneOrderDay(10, "\"TUT\" 1 \"lit.img\" \"unlit.img\" ")), kLoadOk);
        EXPECT_EQ(Ufos().GetPattern(), 0);
        for (const GMUfoGame::Ufo& u : Ufos().Ufos()) {
            EXPECT_EQ(u.startY, u.targetY);
            EXPECT_EQ(u.amplitude, 0.0f);
        }
    }
}

TEST_F(UfoGameTest, AMissingUfoPictureFailsTheLoad)
{
    std::filesystem::remove("UfoH.img");
    EXPECT_EQ(LoadText(OneOrderDay(10)), kLoadFailed);
    EXPECT_NE(m_notes.failure.find("UfoH.img"), std::string::npos) << m_notes.failure;
    EXPECT_TRUE(Ufos().Ufos().empty()) << "a failed load keeps nothing";
}

// ---- When the game comes ------------------------------------------------------------------

TEST_F(UfoGameTest, EveryOrderDeliveredButTheMoneyShortGivesNoUfoGame)
{
    ASSERT_EQ(LoadText(OneOrderDay(1000)), kLoadOk);
    DeliverTheOrder();
    EXPECT_EQ(m_run.GetDelivered(), m_run.GetOrdersTotal());
    EXPECT_EQ(m_run.GetStateWord(), kStateReport | kStateMessage);
    EXPECT_EQ(m_run.GetBigMessageText(), "P%75zOOR%100z J%75zOB%100z!");
    EXPECT_EQ(m_run.GetCursorId(), GMLevelRun::kGameCursor);
    for (int i = 0; i < 300; ++i) {
        Run(16);
        ASSERT_FALSE(m_run.GetStateWord() & kStateUfoGame);
    }
}

TEST_F(UfoGameTest, PerfectDayAnnouncesTheGameAndFreezesTheWorldWhileTheMessageShows)
{
    ASSERT_EQ(LoadText(OneOrderDay(10)), kLoadOk);
    DeliverTheOrder();
    ASSERT_EQ(m_run.GetStateWord(), kStateUfoGame | kStateMessage);
    EXPECT_EQ(m_run.GetBigMessageText(), "B%75zONUS%100z G%75zAME%100z!\n%40zCLICK ON THE UFOS TO GET EXTRA MONEY!");
    EXPECT_EQ(m_run.GetCursorId(), GMLevelRun::kUfoCursor);
    const float x0 = Ufos().Ufos()[0].obj->GetX();
    const float elapsed = m_run.GetElapsed();
    Run(2000);
    EXPECT_EQ(Ufos().Ufos()[0].obj->GetX(), x0) << "nothing moves under the message";
    EXPECT_EQ(m_run.GetElapsed(), elapsed);
    float x = 0, y = 0;
    EXPECT_FALSE(m_run.FindUfo(1, &x, &y));
    Run(1000);
    ASSERT_EQ(m_run.GetStateWord(), static_cast<uint32_t>(kStateUfoGame));
    Run(160);
    EXPECT_NE(Ufos().Ufos()[0].obj->GetX(), x0);
    EXPECT_GT(m_run.GetElapsed(), elapsed) << "the day's clock runs on in the game";
}

// ---- Playing it ---------------------------------------------------------------------------

TEST_F(UfoGameTest, ClickingEveryUfoPaysTwoThousandAsExtraPay)
{
    UntilUfosFly();
    const double cash = Value("cash"), extra = Value("extra");
    bool checkedFirstHit = false;
    for (int i = 0; i < 5000 && (m_run.GetStateWord() & kStateUfoGame); ++i) {
        float x = 0, y = 0;
        if (!m_run.FindUfo(1, &x, &y)) {
            Run(16);
            continue;
        }
        EXPECT_GE(x, 0.0f);
        EXPECT_LT(x, 800.0f);
        const double before = Value("cash");
        const int32_t hits = Ufos().HitCount();
        const size_t texts = m_run.GetFloatingTextCount();
        Click(x, y);
        ASSERT_GT(Ufos().HitCount(), hits) << "a click on a flying UFO hits it";
        ASSERT_EQ(Value("cash"), before + 100.0 * (Ufos().HitCount() - hits)) << "100 for each UFO hit";
        if (!checkedFirstHit) {
            checkedFirstHit = true;
            ASSERT_EQ(m_run.GetFloatingTextCount(), texts + 1);
            const GMMessage* text = m_run.GetFloatingText(texts);
            EXPECT_STREQ(text->GetText(), "$100");
            EXPECT_EQ(text->GetDrawColor() & 0xFFFFFF, 0xFDEB58u);
            EXPECT_FLOAT_EQ(text->GetTimeLeft(), 3000.0f - 16.0f) << "3 s, less the frame it was made in";
            EXPECT_NEAR(text->GetX(), x, 40.0f) << "centred on the UFO";
            ASSERT_EQ(Ufos().HitCount(), 1);
            // The hit one vanishes over 300 ms where it was hit.
            const GMUfoGame::Ufo* hit = nullptr;
            for (const GMUfoGame::Ufo& u : Ufos().Ufos())
                hit = u.hit ? &u : hit;
            ASSERT_NE(hit, nullptr);
            const float hx = hit->obj->GetX();
            EXPECT_FALSE(hit->moving);
            Run(144);
            EXPECT_NEAR(hit->obj->GetScale(), 0.5f, 0.06f);
            EXPECT_EQ(hit->obj->GetX(), hx);
            EXPECT_EQ(Ufos().DoneCount(), 0);
            Click(hit->obj->GetX(), hit->obj->GetY());
            EXPECT_EQ(Ufos().HitCount(), 1) << "a fading UFO is not hit again";
            EXPECT_EQ(Value("cash"), before + 100);
            Run(160);
            EXPECT_EQ(Ufos().DoneCount(), 1);
        }
    }
    EXPECT_EQ(m_run.GetStateWord(), kStateReport | kStateMessage);
    EXPECT_EQ(Value("cash"), cash + 2000);
    EXPECT_EQ(Value("extra"), extra + 2000);
    EXPECT_EQ(Ufos().HitCount(), 20);
    EXPECT_EQ(m_run.GetBigMessageText(), "EXCELLENT!");
    EXPECT_EQ(m_run.GetCursorId(), GMLevelRun::kGameCursor);
    EXPECT_EQ(m_run.GetShopCash(), static_cast<int32_t>(cash) + 2000) << "the totals count the UFO money";
    EXPECT_EQ(m_run.Score(), static_cast<int32_t>(cash) + 2000);
}

TEST_F(UfoGameTest, ClickingNoneEndsWhenTheLastUfoHasCrossed)
{
    UntilUfosFly();
    const double cash = Value("cash");
    float longest = 0.0f;
    for (const GMUfoGame::Ufo& u : Ufos().Ufos())
        longest = std::max(longest, LineLength(u));
    const float start = m_run.GetElapsed();
    size_t left = Ufos().Ufos().size();
    while (m_run.GetStateWord() & kStateUfoGame) {
        Run(16);
        ASSERT_LE(Ufos().Ufos().size(), left) << "escaped UFOs are removed";
        left = Ufos().Ufos().size();
        ASSERT_LT(m_run.GetElapsed() - start, 60000.0f);
    }
    // The game's last frame is not a play frame, so the clock stops one frame short.
    const float took = m_run.GetElapsed() - start + 16.0f;
    EXPECT_GE(took, longest / 0.55f);
    EXPECT_LE(took, longest / 0.55f + 32.0f);
    EXPECT_TRUE(Ufos().Ufos().empty());
    EXPECT_EQ(Value("cash"), cash) << "nothing hit, nothing paid";
    EXPECT_EQ(m_run.GetStateWord(), kStateReport | kStateMessage);
    EXPECT_EQ(m_run.GetBigMessageText(), "EXCELLENT!");
}

TEST_F(UfoGameTest, UfosBobAboutTheirFlightLine)
{
    ASSERT_TRUE(LoadWithPattern(5));
    DeliverTheOrder();
    for (int i = 0; i < 1000 && (m_run.GetStateWord() & kStateMessage); ++i)
        Run(16);
    const GMUfoGame::Ufo& u = Ufos().Ufos()[0];
    ASSERT_GT(u.amplitude, 0.0f);
    const float phase0 = u.phase;
    for (int frames = 1; frames <= 60; ++frames) {
        Run(16);
        const float x = u.obj->GetX();
        const float line = u.startY + (u.targetY - u.startY) * (x - u.startX) / (u.targetX - u.startX);
        const float bob = u.amplitude / 1000.0f * std::sin((phase0 + 16.0f * frames) * 3.1415f / 1500.0f);
        ASSERT_NEAR(u.obj->GetY() - line, bob, 0.05f) << "frame " << frames;
        ASSERT_NEAR(std::fabs(x - u.startX), 0.55f * 16.0f * frames * std::fabs(u.targetX - u.startX) / LineLength(u),
                    0.05f)
            << "0.55 px per ms along the line";
    }
}

TEST_F(UfoGameTest, FindUfoNamesOnlyFlyingUnhitUfosOnTheScreen)
{
    UntilUfosFly();
    float x = 0, y = 0;
    for (int i = 0; i < 1000 && !m_run.FindUfo(1, &x, &y); ++i)
        Run(16);
    ASSERT_TRUE(m_run.FindUfo(1, &x, &y));
    int onScreen = 0;
    for (const GMUfoGame::Ufo& u : Ufos().Ufos())
        onScreen += u.obj->GetX() >= 0.0f && u.obj->GetX() < 800.0f;
    EXPECT_FALSE(m_run.FindUfo(onScreen + 1, &x, &y));
    ASSERT_TRUE(m_run.FindUfo(1, &x, &y));
    Click(x, y);
    float x2 = 0, y2 = 0;
    if (m_run.FindUfo(1, &x2, &y2)) {
        EXPECT_FALSE(std::fabs(x2 - x) < 20.0f && std::fabs(y2 - y) < 20.0f) << "the hit one is not named";
    }
    EXPECT_FALSE(m_run.FindUfo(0, &x, &y));
}

TEST_F(UfoGameTest, ResetGivesTheOrdinaryCursorBack)
{
    ASSERT_EQ(LoadText(OneOrderDay(10)), kLoadOk);
    DeliverTheOrder();
    ASSERT_EQ(m_run.GetCursorId(), GMLevelRun::kUfoCursor);
    m_run.Reset();
    EXPECT_EQ(m_run.GetCursorId(), GMLevelRun::kGameCursor);
    EXPECT_TRUE(Ufos().Ufos().empty());
}
