#include "app/GameBot.h"

#include "app/GameApp.h"
#include "game/GMLevelRun.h"
#include "platform/System.h"
#include "world/GMBonusObj.h"
#include "world/GMInteractiveObj.h"
#include "world/GMOrderObj.h"
#include "world/GMQueryGoodsObj.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Widgets of the menus the bot passes (their command ids).
constexpr int32_t kPlay = 2, kNewGame = 4, kMainMenu = 8, kResume = 15, kNameOk = 21, kStart = 34, kFirstLevel = -1;
// Longest a screen or a day may take before the bot calls itself stuck (game time).
constexpr int64_t kMenuLimitMs = 60000;
constexpr int64_t kDayLimitMs = 30 * 60000;

const char* const kBotName = "Bot";

template <class T>
std::vector<T*> Items(const GMObjectArray& list)
{
    std::vector<T*> out;
    for (int32_t c = -1; void* p = list.GetNext(c);)
        out.push_back(static_cast<T*>(p));
    return out;
}

// Which bonus to buy first: the permanent extra cargo slot, then the strong
// helpers; kinds not named come last.
int32_t BuyRank(int32_t kind)
{
    static const int32_t order[] = {7, 4, 0, 3, 1, 6, 5, 2};
    for (int32_t i = 0; i < 8; ++i) {
        if (order[i] == kind)
            return i;
    }
    return 8;
}

double MegaBytes(int64_t kb)
{
    return static_cast<double>(kb) / 1024.0;
}

}  // namespace

GameBot::GameBot(const BotOptions& options) : m_options(options), m_dice(options.seed) {}

bool GameBot::Chance(double p)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_dice) < p;
}

bool GameBot::Find(GameApp& app, const char* what, const std::string& arg, Target* t) const
{
    return app.FindClickTarget(what, arg, &t->x, &t->y);
}

void GameBot::Click(const Target& t, std::string* out, const char* button)
{
    char line[96];
    std::snprintf(line, sizeof line, "click %ld %ld%s%s\n", std::lround(t.x), std::lround(t.y), button ? " " : "",
                  button ? button : "");
    *out += line;
}

bool GameBot::ClickWidget(GameApp& app, int32_t id, std::string* out)
{
    Target t;
    if (!Find(app, "widget", std::to_string(id), &t))
        return false;
    Click(t, out);
    return true;
}

void GameBot::Wait(int32_t frames, std::string* out) const
{
    *out += "frames " + std::to_string(frames) + "\n";
}

int64_t GameBot::GameTimeMs(GameApp& app) const
{
    return app.FrameCount() * static_cast<int64_t>(m_options.stepMs);
}

bool GameBot::Stuck(const char* why)
{
    if (m_failure.empty())
        m_failure = why;
    std::printf("bot: stuck: %s\n", why);
    std::fflush(stdout);
    m_done = true;
    return false;
}

bool GameBot::More(GameApp& app, std::string* out)
{
    if (m_done)
        return false;
    uint8_t mode = app.Modes().GetCurrentMode();
    int64_t now = GameTimeMs(app);
    if (mode != m_lastMode) {
        m_lastMode = mode;
        m_modeSince = now;
        m_modeActions = 0;
    }
    if (app.Modes().GetTransition() != 0 || !app.IsActive()) {
        Wait(2, out);  // a fade takes no clicks
        return true;
    }
    if (mode == kModeMainMenu || mode == kModeHighscores) {
        if (m_dayOpen && !m_dayReported)
            std::printf("level %2d left without a report\n", m_dayLevel);
        m_dayOpen = false;
    }
    if (mode == kModePlaying) {
        const GMLevelRun* run = app.GetLevelRun();
        if (!run)
            return Stuck("playing without a day");
        return Playing(app, *run, out);
    }
    if (now - m_modeSince > kMenuLimitMs)
        return Stuck(("no way on from screen " + std::to_string(mode)).c_str());
    return Menu(app, mode, out);
}

// ---- Menus --------------------------------------------------------------------

bool GameBot::Menu(GameApp& app, uint8_t mode, std::string* out)
{
    // A screen gets a moment before each click, as a player reads it.
    if (app.FrameCount() < m_nextActionFrame) {
        Wait(static_cast<int32_t>(m_nextActionFrame - app.FrameCount()), out);
        return true;
    }
    m_nextActionFrame = app.FrameCount() + (m_options.careless ? 40 : 12);
    ++m_modeActions;
    switch (mode) {
    case kModeLogo:
        Click({400.0f, 300.0f}, out);
        return true;
    case kModeNewProfile:
        if (m_modeActions == 1) {
            for (int i = 0; i < 12; ++i)
                *out += "key backspace\n";
            *out += std::string("type ") + kBotName + "\n";
            return true;
        }
        if (!ClickWidget(app, kNameOk, out))
            Wait(10, out);
        return true;
    case kModeMainMenu:
        if (m_reachedHighscores && (m_daysLost > 0 || m_round >= m_options.repeat))
            return false;  // done: the runner closes the game
        if (m_options.levels > 0 && m_daysPlayed >= m_options.levels)
            return false;
        if (m_reachedHighscores) {
            m_reachedHighscores = false;
            ++m_round;
            std::printf("bot: game %d\n", m_round);
        }
        if (!ClickWidget(app, kPlay, out))
            Wait(10, out);
        return true;
    case kModeNewGameQuestion:
        if (!ClickWidget(app, kNewGame, out))
            Wait(10, out);
        return true;
    case kModeSelectLevel:
        // The first day, then start.
        if (m_modeActions % 2 == 1 && ClickWidget(app, kFirstLevel, out))
            return true;
        if (!ClickWidget(app, kStart, out))
            Wait(10, out);
        return true;
    case kModeHighscores: {
        if (!m_reachedHighscores) {
            m_reachedHighscores = true;
            double row = -1.0, score = 0.0;
            app.QueryValue("highscore-row", &row);
            app.QueryValue("profile-score", &score);
            std::printf("bot: highscores reached: %s at row %d\n", kBotName, static_cast<int>(row) + 1);
            std::fflush(stdout);
        }
        if (m_daysLost > 0 || (m_round >= m_options.repeat))
            return false;
        if (!ClickWidget(app, kMainMenu, out))
            Wait(10, out);
        return true;
    }
    case kModePause:
        if (!ClickWidget(app, kResume, out))
            *out += "key escape\n";
        return true;
    default:
        // Any other screen (options, profiles, a question): back the way a player goes.
        *out += "key escape\n";
        return true;
    }
}

// ---- A day --------------------------------------------------------------------

void GameBot::DayStarts(GameApp& app, const GMLevelRun& run)
{
    m_dayOpen = true;
    m_dayReported = false;
    m_dayLevel = run.GetLevelNumber();
    m_dayRun = &run;
    m_dayStartMs = GameTimeMs(app);
    m_dayWall = std::chrono::steady_clock::now();
    m_dayResidentKb = GetResidentMemoryKb(false);
    m_shopClicks = 0;
}

void GameBot::DayEnds(GameApp& app, const GMLevelRun& run)
{
    (void)app;
    m_dayReported = true;
    bool course = run.Day().levelKind == 1;
    bool lost = course ? run.MiniGame().IsCrashed() || run.GetRatingValue() <= 0.0f : run.TargetCheck(true) != 0;
    ++m_daysPlayed;
    if (lost)
        ++m_daysLost;
    else
        ++m_daysWon;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_dayWall).count();
    char round[24] = "";
    if (m_options.repeat > 1)
        std::snprintf(round, sizeof round, "game %d ", m_round);
    std::printf("%slevel %2d %-6s %s receipts $%d, rating %.2f, orders %d/%d, time %.1f s "
                "(wall %.2f s, resident %.1f MB at its start)\n",
                round, run.GetLevelNumber(), course ? "course" : "day", lost ? "LOST" : "won ", run.GetReceipts(),
                run.GetRatingRatio(), run.GetDelivered(), run.GetOrdersTotal(), run.GetElapsed() / 1000.0f, wall,
                MegaBytes(m_dayResidentKb));
    std::fflush(stdout);
}

bool GameBot::Playing(GameApp& app, const GMLevelRun& run, std::string* out)
{
    uint32_t st = run.GetStateWord();
    if (!m_dayOpen || m_dayRun != &run || run.GetLevelNumber() != m_dayLevel) {
        if (m_dayOpen && !m_dayReported) {
            std::printf("level %2d ended without a report\n", m_dayLevel);
            ++m_daysPlayed;
        }
        if (m_options.levels > 0 && m_daysPlayed >= m_options.levels)
            return false;  // the days asked for are played and saved
        DayStarts(app, run);
    }
    if (GameTimeMs(app) - m_dayStartMs > kDayLimitMs) {
        double held = 0.0, left = 0.0, open = 0.0, queue = 0.0;
        app.QueryValue("held", &held);
        app.QueryValue("orders-left", &left);
        app.QueryValue("orders-open", &open);
        app.QueryValue("queue", &queue);
        std::printf("bot: state %u, hint %d, held %g, queue %g, orders open %g, left %g\n", st,
                    run.GetTutorialStep(), held, queue, open, left);
        return Stuck(("day " + std::to_string(run.GetLevelNumber()) + " never ends").c_str());
    }
    if (app.FrameCount() < m_nextActionFrame) {
        Wait(static_cast<int32_t>(m_nextActionFrame - app.FrameCount()), out);
        return true;
    }
    Target t;
    if (m_dayReported && (st & kStateFadeOut) && m_options.levels > 0 && m_daysPlayed >= m_options.levels)
        return false;  // the last day asked for is saved: stop while its figures still show
    if (st & (kStateFadeIn | kStateFadeOut)) {
        Wait(4, out);
    } else if (st & kStateMessage) {
        // A click shortens the big message to its fade-out; a careless player reads it whole.
        if (!m_options.careless && m_messageSeen != (st | static_cast<uint32_t>(run.GetLevelNumber() << 16))) {
            m_messageSeen = st | static_cast<uint32_t>(run.GetLevelNumber() << 16);
            Click({400.0f, 300.0f}, out);
        }
        Wait(4, out);
    } else if (st & kStateIntro) {
        if (Find(app, "button", "story", &t))
            Click(t, out);
        m_nextActionFrame = app.FrameCount() + 20;
    } else if (st & kStateUfoGame) {
        Ufos(app, out);
    } else if (st & kStateShopSlideIn) {
        Wait(4, out);
    } else if (st & kStateShop) {
        Shop(app, run, out);
    } else if (st & kStateReportDone) {
        if (!m_dayReported)
            DayEnds(app, run);
        if (Find(app, "button", "continue", &t))
            Click(t, out);
        m_nextActionFrame = app.FrameCount() + 20;
    } else if (st & kStateReport) {
        Click({400.0f, 300.0f}, out);  // every line of the report at once
        m_nextActionFrame = app.FrameCount() + 10;
    } else if (run.Day().levelKind == 1) {
        Drive(app, out);
    } else {
        Serve(app, run, out);
    }
    if (out->empty())
        Wait(1, out);
    return true;
}

// ---- Serving orders -------------------------------------------------------------

void GameBot::Serve(GameApp& app, const GMLevelRun& run, std::string* out)
{
    Target t;
    // A hint holds the day until its object is clicked.
    if (run.GetTutorialStep() != 0 && Find(app, "hint", "", &t)) {
        Click(t, out);
        m_nextActionFrame = app.FrameCount() + (m_options.careless ? 40 : 3);
        return;
    }
    std::vector<GMOrderObj*> open;
    for (GMOrderObj* order : Items<GMOrderObj>(run.Orders())) {
        if (!GMLevelRun::IsOrderFinished(order) && !order->IsTaken())
            open.push_back(order);
    }
    // The most impatient first.
    std::stable_sort(open.begin(), open.end(),
                     [](const GMOrderObj* a, const GMOrderObj* b) { return a->GetPatienceLeft() < b->GetPatienceLeft(); });
    const GMQueryGoodsObj* heldIcon = run.GetHeldIcon();
    int32_t held = heldIcon ? heldIcon->GetGoodsNumber() : 0;
    int32_t gap = m_options.careless ? 70 + static_cast<int32_t>(m_dice() % 60) : 2;

    if (!m_options.careless && UseBonus(app, run, out)) {
        m_nextActionFrame = app.FrameCount() + gap;
        return;
    }
    if (held != 0) {
        // Give the held goods to the order they were picked for, else to the
        // most impatient one that wants them.
        auto planned = std::find(open.begin(), open.end(), m_planned);
        if (planned != open.end() && ((*planned)->GetGoodsNumber() == held || m_wrongGoods))
            std::rotate(open.begin(), planned, planned + 1);
        for (GMOrderObj* order : open) {
            if (order->GetGoodsNumber() == held || m_wrongGoods) {
                m_wrongGoods = false;
                m_lastGoods = held;
                m_lastHouseX = order->GetX();
                m_lastHouseY = order->GetY();
                Click({order->GetX(), order->GetY()}, out);
                m_nextActionFrame = app.FrameCount() + gap;
                return;
            }
        }
        Click({heldIcon->GetX(), heldIcon->GetY()}, out, "right");  // nothing wants them: let go
        m_nextActionFrame = app.FrameCount() + gap;
        return;
    }
    // A thief first: the police station's icon, then the thief.
    for (GMOrderObj* order : open) {
        if (order->GetGoodsNumber() == kPoliceGoods && Find(app, "goods", std::to_string(kPoliceGoods), &t)) {
            Click(t, out);
            m_nextActionFrame = app.FrameCount() + gap;
            return;
        }
    }
    // Keep a short queue, so a newer, more impatient order can still go first.
    const size_t queueLimit = m_options.careless ? 1 : m_queueLimit;
    if (run.Jobs().size() >= queueLimit)
        return;
    // From where the van will be: the house of its last job, or where it stands.
    float fromX = 0.0f, fromY = 0.0f;
    if (!run.Jobs().empty()) {
        fromX = run.Jobs().back().order->GetX();
        fromY = run.Jobs().back().order->GetY();
    } else {
        fromX = m_lastHouseX;  // where the van went last
        fromY = m_lastHouseY;
    }
    GMOrderObj* next = nullptr;
    float nextCost = 0.0f;
    for (GMOrderObj* order : open) {
        int32_t goods = order->GetGoodsNumber();
        if (goods == kPoliceGoods || !Find(app, "goods", std::to_string(goods), &t))
            continue;
        // An order about to run out goes first; otherwise the nearest house.
        float cost = std::hypot(order->GetX() - fromX, order->GetY() - fromY);
        if (goods == m_lastGoods)
            cost -= 400.0f;  // the same goods again build a combo
        if (m_options.careless || order->GetPatienceLevel() <= 2)
            cost = -1e6f + order->GetPatienceLeft();
        if (!next || cost < nextCost) {
            next = order;
            nextCost = cost;
        }
    }
    if (!next)
        return;
    int32_t goods = next->GetGoodsNumber();
    if (m_options.careless && Chance(0.1)) {
        // The wrong shop, now and then.
        for (const GMQueryGoodsObj* icon : Items<GMQueryGoodsObj>(run.Icons())) {
            int32_t other = icon->GetGoodsNumber();
            if (other != goods && other != kPoliceGoods && Find(app, "goods", std::to_string(other), &t)) {
                goods = other;
                m_wrongGoods = true;  // and given to this order all the same
                break;
            }
        }
    }
    if (Find(app, "goods", std::to_string(goods), &t)) {
        m_planned = next;
        Click(t, out);
        m_nextActionFrame = app.FrameCount() + gap;
    }
}

// Bonuses the player owns, used when they help most.
bool GameBot::UseBonus(GameApp& app, const GMLevelRun& run, std::string* out)
{
    int32_t open = 0, urgent = 0;
    for (GMOrderObj* order : Items<GMOrderObj>(run.Orders())) {
        if (GMLevelRun::IsOrderFinished(order) || order->GetGoodsNumber() == kPoliceGoods)
            continue;
        ++open;
        if (order->GetPatienceLevel() <= 2)
            ++urgent;
    }
    size_t jobs = run.Jobs().size();
    for (const GMBonusObj* bonus : Items<GMBonusObj>(run.Bonuses())) {
        if (bonus->GetCount() <= 0 || bonus->IsRunning())
            continue;
        bool use = false;
        switch (bonus->GetBonusKind()) {
        case 0: use = jobs >= 2 && open >= 3; break;  // speed
        case 1: use = open >= 4; break;               // time delay
        case 3: use = urgent >= 2; break;             // time reset
        case 4: use = open >= 4; break;               // supply all
        case 7: break;                                // capacity: permanent
        default: use = open >= 2; break;
        }
        Target t;
        if (use && Find(app, "bonus", std::to_string(bonus->GetBonusKind()), &t)) {
            Click(t, out);
            return true;
        }
    }
    return false;
}

// ---- The driving course ----------------------------------------------------------

void GameBot::Drive(GameApp& app, std::string* out)
{
    // The course's own careful driver names the lane to take (the hinted one
    // while a hint shows) when the one ahead closes; a careless player looks
    // up only now and then.
    Target t;
    if (Find(app, "serve", "", &t))
        Click(t, out);
    m_nextActionFrame = app.FrameCount() + (m_options.careless ? 45 : 2);
}

// ---- Between days ---------------------------------------------------------------------

void GameBot::Shop(GameApp& app, const GMLevelRun& run, std::string* out)
{
    Target t;
    m_nextActionFrame = app.FrameCount() + 8;
    if (run.GetTutorialStep() != 0) {
        // The hinted bonus is the only one the shop sells now.
        if (Find(app, "hint", "", &t) && ++m_shopClicks < 20) {
            Click(t, out);
            return;
        }
    }
    const GMProfile* profile = run.GetProfile();
    if (m_shopClicks < 6 && profile) {
        std::vector<const GMBonusObj*> rows;
        for (const GMBonusObj* bonus : Items<GMBonusObj>(run.Bonuses()))
            rows.push_back(bonus);
        int32_t pick = -1;
        for (size_t i = 0; i < rows.size() && i < 5; ++i) {
            const GMBonusObj* b = rows[i];
            int32_t limit = b->GetBonusKind() == GMLevelRun::kCapacityBonus ? 5 : 3;
            if (b->GetPrice() > run.GetShopCash() || profile->GetMatchingBonusCount(*b) >= limit)
                continue;
            if (!Find(app, "button", "buy" + std::to_string(i), &t))
                continue;  // a shop without buy buttons yet
            if (pick < 0 || BuyRank(b->GetBonusKind()) < BuyRank(rows[static_cast<size_t>(pick)]->GetBonusKind()))
                pick = static_cast<int32_t>(i);
        }
        if (pick >= 0 && Find(app, "button", "buy" + std::to_string(pick), &t)) {
            ++m_shopClicks;
            Click(t, out);
            return;
        }
    }
    if (Find(app, "button", "done", &t))
        Click(t, out);
}

void GameBot::Ufos(GameApp& app, std::string* out)
{
    // The first saucer still flying on screen (one already hit is not offered).
    Target t;
    if (Find(app, "ufo", "1", &t)) {
        Click(t, out);
        m_nextActionFrame = app.FrameCount() + (m_options.careless ? 60 : 2);
        return;
    }
    Wait(2, out);
}

// ---- The end ---------------------------------------------------------------------------

int32_t GameBot::ExitStatus(bool runFailed) const
{
    if (!m_failure.empty() || (runFailed && m_daysLost == 0))
        return 3;
    if (m_daysLost > 0)
        return 1;
    bool complete = m_options.levels > 0 ? m_daysPlayed >= m_options.levels : m_reachedHighscores;
    return complete ? 0 : 3;
}

void GameBot::PrintSummary() const
{
    std::printf("bot: %d days played, %d won, %d lost%s; peak resident memory %.1f MB\n", m_daysPlayed, m_daysWon,
                m_daysLost, m_failure.empty() ? "" : (", stuck: " + m_failure).c_str(),
                MegaBytes(GetResidentMemoryKb(true)));
    std::fflush(stdout);
}
