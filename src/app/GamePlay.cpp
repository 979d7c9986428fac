// The playing modes of the shell: it creates the level run, feeds it the
// frame, draws it and acts on its result codes. The day itself is the level
// run's.
#include "app/GameApp.h"

#include "core/FileSys.h"
#include "core/Log.h"
#include "core/TaggedFile.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Window.h"
#include "world/GMInteractiveObj.h"

#include <cstdio>
#include <cstdlib>
#include <new>

bool GameApp::LoadLevelInto(GMLevelRun& run, const char* fileName, float* progress)
{
    LevelLoadNotes notes;
    int32_t r = run.LoadLevel(fileName, &m_images, GetDevice(), &m_sound, progress, &notes);
    if (r == kLoadOk)
        return true;
    WriteErrorLog("Can't load level from file");
    if (!notes.failure.empty())
        WriteErrorLog(notes.failure.c_str());
    m_dayGuard.Failed(fileName ? fileName : "", r, notes);
    return false;
}

// Hands the profile to the level run and loads the day's level file.
bool GameApp::EnterPlay(uint8_t mode)
{
    if (!m_levelRun)
        return false;
    m_levelRun->SetProfile(&m_profile);
    const char* current = m_profile.GetCurrentLevel();
    std::string level = "level1.lvl";
    if (mode == kModeContinueGame && current && *current) {
        level = current;
    } else {
        m_profile.ResetProgress();
        if (m_profile.FindLevel("level1.lvl") < 0)
            m_profile.AddLevel("level1.lvl");
        m_profile.SetCurrentLevel("level1.lvl");
    }
    if (!LoadLevelInto(*m_levelRun, level.c_str(), &m_progress)) {
        // A profile left on a damaged day goes on from the day offered for it.
        const std::string fallback = mode == kModeContinueGame ? m_dayGuard.OfferFor(m_profile) : "";
        if (fallback.empty() || !LoadLevelInto(*m_levelRun, fallback.c_str(), &m_progress)) {
            m_dayGuard.TellPlayer(m_profile, &m_images, GetDevice());
            return false;
        }
        m_dayGuard.Forget();
        m_profile.SetCurrentLevel(fallback.c_str());
        m_profile.SetCurrentLevelIndex(m_profile.FindLevel(fallback.c_str()));
        if (m_profile.GetFileName())
            m_profile.SaveProfile(m_profile.GetFileName());
    }
    SetPlayingHandlers();
    return true;
}

void GameApp::SetPlayingHandlers()
{
    m_modes.SetHandlers([this](float x, float y, uint32_t f, float dt) { return PlayingUpdate(x, y, f, dt); },
                        [this] {
                            if (m_levelRun)
                                m_levelRun->Draw(GetDevice());
                            return 0;
                        });
}

int32_t GameApp::PlayingUpdate(float x, float y, uint32_t clickFlags, float elapsedMs)
{
    if (!m_levelRun)
        return 0;
    int32_t r = m_levelRun->Frame(x, y, clickFlags, elapsedMs);
    // The day chooses the pointer: the UFO cursor during its bonus game.
    Cursor* cursor = m_levelRun->GetCursorId() == GMLevelRun::kUfoCursor ? m_secondCursor : m_gameCursor;
    if (m_window && cursor && m_window->GetClassCursor() != cursor)
        m_window->SetClassCursor(cursor);
    switch (r) {
    case kLevelNext: {
        std::string next = m_levelRun->GetNextLevel();
        if (next.empty()) {
            FadeToGameMode(kModeHighscores);
            break;
        }
        std::unique_ptr<GMLevelRun> fresh(new (std::nothrow) GMLevelRun);
        if (!fresh) {
            FadeToGameMode(kModeMainMenu);
            break;
        }
        fresh->SetProfile(m_levelRun->GetProfile());
        if (m_options.seed >= 0)
            fresh->FixSeed(static_cast<uint32_t>(m_options.seed));
        fresh->Initialise();
        if (!LoadLevelInto(*fresh, next.c_str(), nullptr)) {
            // The next day cannot be played: back to the menu rather than on
            // into a broken day; the won day is already in the profile.
            m_dayGuard.TellPlayer(m_profile, &m_images, GetDevice());
            FadeToGameMode(kModeMainMenu);
            break;
        }
        m_levelRun = std::move(fresh);
        m_modes.RequestResetTiming();
        m_modes.StartFadeIn();
        break;
    }
    case kLevelFailed:
        FadeToGameMode(kModeHighscores);
        break;
    case kLevelMenu:
        PostGameMode(kModePause);
        break;
    default:
        break;
    }
    return 0;
}

void GameApp::DeveloperKey(uint32_t vk)
{
    if (m_winCode.Feed(vk)) {
        m_winCode.Reset();
        if (m_levelRun)
            m_levelRun->EndTheDay();
    }
    if (m_jumpCode.Feed(vk)) {
        std::string name = std::string("level") + m_jumpCode.Digits() + ".lvl";
        m_jumpCode.Reset();
        m_winCode.Reset();
        if (m_levelRun && FileExists(name.c_str())) {
            m_levelRun->SetNextLevel(name.c_str());
            m_levelRun->EndTheDay();
        }
    }
}

bool GameApp::QueryValue(const std::string& name, double* value) const
{
    if (name == "mode") {
        *value = m_modes.GetCurrentMode();
        return true;
    }
    struct ProfileValue {
        const char* name;
        int32_t v;
    };
    const ProfileValue profile[] = {
        {"profile-score", m_profile.GetScore()},
        {"profile-points", m_profile.GetRatingPoints()},
        {"profile-money", m_profile.GetMoney()},
        {"profile-level-index", m_profile.GetCurrentLevelIndex()},
        {"profile-levels", m_profile.GetLevelCount()},
    };
    for (const ProfileValue& p : profile) {
        if (name == p.name) {
            *value = p.v;
            return true;
        }
    }
    if (name == "cursor") {
        Cursor* cursor = m_window ? m_window->GetClassCursor() : nullptr;
        *value = cursor ? cursor->GetResourceId() : 0;
        return true;
    }
    if (name == "highscore-row") {
        *value = m_highscores.GetHighlighted();
        return true;
    }
    return m_levelRun && m_levelRun->QueryValue(name, value);
}

bool GameApp::FindClickTarget(const std::string& what, const std::string& arg, float* x, float* y) const
{
    int32_t n = static_cast<int32_t>(std::strtol(arg.c_str(), nullptr, 10));
    if (what == "widget") {
        for (int32_t c = -1; GMObject* obj = static_cast<GMObject*>(m_widgets.GetNext(c));) {
            GMInteractiveObj* widget = AsInteractive(obj);
            if (widget && obj->GetMark() == n) {
                widget->GetHitCentre(x, y);  // where a click lands on it
                return true;
            }
        }
        return false;
    }
    if (!m_levelRun || m_modes.GetCurrentMode() != kModePlaying)
        return false;
    if (what == "goods")
        return m_levelRun->FindGoodsIcon(n, x, y);
    if (what == "order")
        return m_levelRun->FindOpenOrder(n, x, y);
    if (what == "bonus")
        return m_levelRun->FindBonusButton(n, x, y);
    if (what == "police")
        return m_levelRun->FindPolicePost(x, y);
    if (what == "serve")
        return m_levelRun->FindServeTarget(x, y);
    if (what == "button")
        return m_levelRun->FindButton(arg.c_str(), x, y);
    if (what == "lane")
        return m_levelRun->FindLaneButton(n, x, y);
    if (what == "hint")
        return m_levelRun->FindHintTarget(x, y);
    if (what == "ufo")
        return m_levelRun->FindUfo(n, x, y);
    return false;
}
